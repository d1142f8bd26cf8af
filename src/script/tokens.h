// The tokens of VBScript: the keyword table and the token kinds the lexer
// produces. Keywords are written once here; the lexer looks them up by name and
// the dumps print them by kind.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/variant.h"

namespace zantrel::script {

// Reserved words. Words that are keywords only in one place (Step, Preserve,
// Explicit, Error, Resume, Get, Default, Property) stay identifiers and the parser
// tests them.
#define ZANTREL_SCRIPT_KEYWORDS(X)                                                                        \
  X(And) X(ByRef) X(ByVal) X(Call) X(Case) X(Class) X(Const) X(Dim) X(Do) X(Each) X(Else) X(ElseIf)         \
  X(Empty) X(End) X(Eqv) X(Erase) X(Exit) X(False) X(For) X(Function) X(GoTo) X(If) X(Imp) X(In) X(Is)      \
  X(Let) X(Loop) X(Me) X(Mod) X(New) X(Next) X(Not) X(Nothing) X(Null) X(On) X(Option) X(Or) X(Private)     \
  X(Public) X(ReDim) X(Select) X(Set) X(Stop) X(Sub) X(Then) X(To) X(True) X(Until) X(Wend)     \
  X(While) X(With) X(Xor)

enum class Tok : uint8_t {
  EndOfFile,
  NewLine,     // a line end; ':' is Colon
  Colon,
  Identifier,
  Literal,     // number, string or date; the value is in Token::value
  Plus, Minus, Star, Slash, Backslash, Caret, Ampersand,
  Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual,
  LParen, RParen, Comma, Dot,
#define ZANTREL_TOK(name) Kw##name,
  ZANTREL_SCRIPT_KEYWORDS(ZANTREL_TOK)
#undef ZANTREL_TOK
};

struct Token {
  Tok kind = Tok::EndOfFile;
  int line = 1;
  int column = 1;
  bool spaceBefore = false;  // white space right before: tells "F (a)" from "F(a)", ".x" in With
  std::string text;          // identifier name or the token's source text
  Variant value;             // literal value
};

// The display name of a token kind ("identifier", "'Then'", "'('").
std::string_view TokName(Tok kind);

// The keyword of a word, or Tok::Identifier.
Tok KeywordKind(std::string_view word);

}  // namespace zantrel::script
