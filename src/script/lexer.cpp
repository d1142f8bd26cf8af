// VBScript's lexical rules: case-insensitive keywords, "" inside strings (which
// may span lines), &H/&O literals whose type depends on their digits and a
// trailing &, #date# literals, [bracketed identifiers], ' and Rem comments, and
// " _" at a line end continuing the line.
#include "script/lexer.h"

#include <array>
#include <cctype>
#include <cmath>

#include "core/convert.h"
#include "core/error.h"
#include "core/names.h"

namespace zantrel::script {
namespace {

struct Keyword {
  std::string_view name;
  Tok kind;
};

constexpr std::array kKeywords = {
#define ZANTREL_KW(name) Keyword{#name, Tok::Kw##name},
    ZANTREL_SCRIPT_KEYWORDS(ZANTREL_KW)
#undef ZANTREL_KW
};

bool IsIdentStart(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80; }
bool IsIdentChar(unsigned char c) { return IsIdentStart(c) || (c >= '0' && c <= '9') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

class Lexer {
 public:
  explicit Lexer(std::string_view s) : s_(s) {}

  std::vector<Token> Run() {
    std::vector<Token> out;
    for (;;) {
      bool space = SkipBlanks();
      Token t;
      t.line = line_;
      t.column = Column();
      t.spaceBefore = space || out.empty() || out.back().kind == Tok::NewLine || out.back().kind == Tok::Colon;
      if (pos_ >= s_.size()) break;
      Scan(t);
      if (t.kind == Tok::NewLine && (out.empty() || out.back().kind == Tok::NewLine)) continue;
      out.push_back(std::move(t));
    }
    Token nl;
    nl.kind = Tok::NewLine;
    nl.line = line_;
    nl.column = Column();
    if (out.empty() || out.back().kind != Tok::NewLine) out.push_back(nl);
    nl.kind = Tok::EndOfFile;
    out.push_back(nl);
    return out;
  }

 private:
  int Column() const { return static_cast<int>(pos_ - lineStart_) + 1; }
  char Peek(std::size_t ahead = 0) const { return pos_ + ahead < s_.size() ? s_[pos_ + ahead] : '\0'; }

  void NewLine() {
    ++line_;
    lineStart_ = pos_;
  }

  // Blanks, comments up to the line end and line continuations; true when any.
  bool SkipBlanks() {
    const std::size_t start = pos_;
    for (;;) {
      while (IsBlank(Peek())) ++pos_;
      if (Peek() == '_' && !IsIdentChar(static_cast<unsigned char>(Peek(1))) && ContinuationAhead()) continue;
      if (Peek() == '\'' || (AtWord("rem") && (pos_ == 0 || (!IsIdentChar(static_cast<unsigned char>(s_[pos_ - 1])) &&
                                                              s_[pos_ - 1] != '.')))) {
        while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
      }
      break;
    }
    return pos_ > start;
  }

  // At "_" followed by blanks and a line end: skips them all.
  bool ContinuationAhead() {
    std::size_t p = pos_ + 1;
    while (p < s_.size() && IsBlank(s_[p])) ++p;
    if (p < s_.size() && s_[p] != '\n') return false;
    pos_ = p < s_.size() ? p + 1 : p;
    NewLine();
    return true;
  }

  bool AtWord(std::string_view w) const {
    if (pos_ + w.size() > s_.size()) return false;
    for (std::size_t i = 0; i < w.size(); ++i)
      if ((s_[pos_ + i] | 0x20) != w[i]) return false;
    const char after = Peek(w.size());
    return !IsIdentChar(static_cast<unsigned char>(after));
  }

  void Scan(Token& t) {
    const char c = s_[pos_];
    if (c == '\n') {
      ++pos_;
      t.kind = Tok::NewLine;
      NewLine();
      return;
    }
    if (IsIdentStart(static_cast<unsigned char>(c))) return Identifier(t);
    if (IsDigit(c) || (c == '.' && IsDigit(Peek(1)))) return Number(t);
    if (c == '"') return String(t);
    if (c == '#') return DateLiteral(t);
    if (c == '[') return Bracketed(t);
    if (c == '&' && RadixAhead()) return RadixNumber(t);
    Operator(t);
  }

  // "&H1F", "&O17" or "&17"; "&hi" is the operator & before the name hi.
  bool RadixAhead() const {
    const char k = Peek(1) | 0x20;
    if (k == 'h') return std::isxdigit(static_cast<unsigned char>(Peek(2))) != 0;
    if (k == 'o') return Peek(2) >= '0' && Peek(2) <= '7';
    return Peek(1) >= '0' && Peek(1) <= '7';
  }

  void Identifier(Token& t) {
    const std::size_t start = pos_;
    while (pos_ < s_.size() && IsIdentChar(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    t.text.assign(s_.substr(start, pos_ - start));
    if (pos_ - start > 255) SyntaxError(1030, t.line, t.column);
    t.kind = KeywordKind(t.text);
  }

  void Bracketed(Token& t) {
    const std::size_t close = s_.find_first_of("]\n", pos_);
    if (close == std::string_view::npos || s_[close] != ']') SyntaxError(1007, t.line, t.column);
    t.text.assign(s_.substr(pos_ + 1, close - pos_ - 1));
    t.kind = Tok::Identifier;
    pos_ = close + 1;
  }

  void Number(Token& t) {
    const std::size_t start = pos_;
    bool real = false;
    while (IsDigit(Peek())) ++pos_;
    if (Peek() == '.') {
      real = true;
      ++pos_;
      while (IsDigit(Peek())) ++pos_;
    }
    if ((Peek() == 'e' || Peek() == 'E') && (IsDigit(Peek(1)) || ((Peek(1) == '+' || Peek(1) == '-') && IsDigit(Peek(2))))) {
      real = true;
      pos_ += 2;
      while (IsDigit(Peek())) ++pos_;
    }
    if (IsIdentChar(static_cast<unsigned char>(Peek()))) SyntaxError(1031, t.line, t.column);
    t.text.assign(s_.substr(start, pos_ - start));
    const auto v = ParseNumber(t.text);
    if (!v || !std::isfinite(*v)) SyntaxError(1031, t.line, t.column);
    t.kind = Tok::Literal;
    if (!real && *v <= 32767) t.value = Variant(static_cast<int16_t>(*v));
    else if (!real && *v <= 2147483647.0) t.value = Variant(static_cast<int32_t>(*v));
    else t.value = Variant(*v);
  }

  // &Hxxxx, &Oxxx and &xxx (octal): up to 16 bits they take the Integer's sign
  // unless a trailing & keeps all 32; the value picks Integer or Long, as for
  // decimal literals.
  void RadixNumber(Token& t) {
    const std::size_t start = pos_;
    ++pos_;
    int radix = 8;
    if (Peek() == 'h' || Peek() == 'H') radix = 16, ++pos_;
    else if (Peek() == 'o' || Peek() == 'O') ++pos_;
    uint64_t value = 0;
    int digits = 0;
    for (;; ++pos_, ++digits) {
      const char c = Peek();
      int d = -1;
      if (IsDigit(c)) d = c - '0';
      else if (radix == 16 && (c | 0x20) >= 'a' && (c | 0x20) <= 'f') d = (c | 0x20) - 'a' + 10;
      if (d < 0 || d >= radix) break;
      value = value * radix + d;
      if (value > 0xffffffffull) SyntaxError(1031, t.line, t.column);
    }
    if (digits == 0) SyntaxError(1031, t.line, t.column);
    const bool forceLong = Peek() == '&';
    if (forceLong) ++pos_;
    t.text.assign(s_.substr(start, pos_ - start));
    t.kind = Tok::Literal;
    const int32_t n = !forceLong && value <= 0xffff ? static_cast<int16_t>(static_cast<uint16_t>(value))
                                                     : static_cast<int32_t>(static_cast<uint32_t>(value));
    if (n >= -32768 && n <= 32767) t.value = Variant(static_cast<int16_t>(n));
    else t.value = Variant(n);
  }

  void String(Token& t) {
    std::string text;
    ++pos_;
    for (;;) {
      if (pos_ >= s_.size()) SyntaxError(1033, t.line, t.column);
      const char c = s_[pos_++];
      if (c == '"') {
        if (Peek() != '"') break;
        ++pos_;
      }
      text.push_back(c);
      if (c == '\n') NewLine();
    }
    t.kind = Tok::Literal;
    t.text = "\"" + text + "\"";
    t.value = Variant(std::move(text));
  }

  void DateLiteral(Token& t) {
    const std::size_t close = s_.find_first_of("#\n", pos_ + 1);
    if (close == std::string_view::npos || s_[close] != '#') SyntaxError(1032, t.line, t.column);
    t.text.assign(s_.substr(pos_, close + 1 - pos_));
    const auto d = ParseDate(s_.substr(pos_ + 1, close - pos_ - 1));
    if (!d) SyntaxError(1002, t.line, t.column);
    pos_ = close + 1;
    t.kind = Tok::Literal;
    t.value = Variant::Date(*d);
  }

  void Operator(Token& t) {
    struct Op {
      std::string_view text;
      Tok kind;
    };
    static constexpr std::array kOps = {
        Op{"<>", Tok::NotEqual}, Op{"><", Tok::NotEqual},  Op{"<=", Tok::LessEqual}, Op{">=", Tok::GreaterEqual},
        Op{"=<", Tok::LessEqual}, Op{"=>", Tok::GreaterEqual}, Op{"+", Tok::Plus},  Op{"-", Tok::Minus},  Op{"*", Tok::Star},
        Op{"/", Tok::Slash},     Op{"\\", Tok::Backslash}, Op{"^", Tok::Caret},  Op{"&", Tok::Ampersand},
        Op{"=", Tok::Equal},     Op{"<", Tok::Less},       Op{">", Tok::Greater}, Op{"(", Tok::LParen},
        Op{")", Tok::RParen},    Op{",", Tok::Comma},      Op{".", Tok::Dot},     Op{":", Tok::Colon},
    };
    for (const Op& op : kOps) {
      if (s_.substr(pos_, op.text.size()) != op.text) continue;
      pos_ += op.text.size();
      t.kind = op.kind;
      t.text.assign(op.text);
      return;
    }
    SyntaxError(1032, t.line, t.column);
  }

  std::string_view s_;
  std::size_t pos_ = 0;
  std::size_t lineStart_ = 0;
  int line_ = 1;
};

}  // namespace

std::string_view TokName(Tok kind) {
  switch (kind) {
    case Tok::EndOfFile: return "end of file";
    case Tok::NewLine: return "end of line";
    case Tok::Colon: return "':'";
    case Tok::Identifier: return "identifier";
    case Tok::Literal: return "literal";
    case Tok::Plus: return "'+'";
    case Tok::Minus: return "'-'";
    case Tok::Star: return "'*'";
    case Tok::Slash: return "'/'";
    case Tok::Backslash: return "'\\'";
    case Tok::Caret: return "'^'";
    case Tok::Ampersand: return "'&'";
    case Tok::Equal: return "'='";
    case Tok::NotEqual: return "'<>'";
    case Tok::Less: return "'<'";
    case Tok::Greater: return "'>'";
    case Tok::LessEqual: return "'<='";
    case Tok::GreaterEqual: return "'>='";
    case Tok::LParen: return "'('";
    case Tok::RParen: return "')'";
    case Tok::Comma: return "','";
    case Tok::Dot: return "'.'";
    default: break;
  }
  for (const Keyword& k : kKeywords)
    if (k.kind == kind) return k.name;
  return "?";
}

Tok KeywordKind(std::string_view word) {
  if (word.size() < 2 || word.size() > 8) return Tok::Identifier;
  for (const Keyword& k : kKeywords)
    if (k.name.size() == word.size() && NameEquals(k.name, word)) return k.kind;
  return Tok::Identifier;
}

void SyntaxError(int32_t number, int line, int column, std::string description) {
  if (description.empty()) description = std::string(StandardErrorText(number));
  throw CompileError{number, std::move(description), line, column};
}

std::vector<Token> Tokenize(std::string_view source) { return Lexer(source).Run(); }

}  // namespace zantrel::script
