// The lexer: turns VBScript source text into tokens with their line and column.
// Line continuations and comments disappear here; a lexical error (an
// unterminated string, a bad number, a stray character) is a CompileError.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "script/tokens.h"

namespace zantrel::script {

// A compile error with its position; the parser and compiler raise it too.
struct CompileError {
  int32_t number;
  std::string description;
  int line;
  int column;
};

// Raises a CompileError; the description defaults to VBScript's text for the number.
[[noreturn]] void SyntaxError(int32_t number, int line, int column, std::string description = {});

// All tokens of the text, ending with NewLine and EndOfFile.
std::vector<Token> Tokenize(std::string_view source);

}  // namespace zantrel::script
