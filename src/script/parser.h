// The parser: tokens to the syntax tree of one piece of source (a module's
// code, an Execute text) or of one expression (Eval). Errors are CompileErrors
// with VBScript's numbers and the position of the offending token.
#pragma once

#include <string_view>

#include "script/ast.h"
#include "script/lexer.h"

namespace zantrel::script {

Program ParseProgram(std::string_view source);
ExprPtr ParseExpression(std::string_view source);

}  // namespace zantrel::script
