// The SELECT-list parser: a tokenizer that keeps each token's place in the
// text, then a walk over the column list and the FROM clause at parenthesis
// depth zero.
#include "schema/select_parser.h"

#include <cctype>
#include <span>

#include "core/names.h"

namespace zantrel {
namespace {

enum class Tok { Word, Quoted, String, Number, Symbol, End };

struct Token {
  Tok kind;
  std::string text;  // a word or quoted identifier without its quotes, else the symbol
  std::size_t begin, end;  // place in the SQL text
};

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || (c & 0x80); }

// Skips spaces and comments (-- to the line end, /* ... */).
std::size_t SkipBlank(std::string_view s, std::size_t i) {
  while (i < s.size()) {
    if (std::isspace(static_cast<unsigned char>(s[i]))) {
      ++i;
    } else if (s.compare(i, 2, "--") == 0) {
      while (i < s.size() && s[i] != '\n') ++i;
    } else if (s.compare(i, 2, "/*") == 0) {
      auto close = s.find("*/", i + 2);
      i = close == std::string_view::npos ? s.size() : close + 2;
    } else {
      break;
    }
  }
  return i;
}

// A quoted run ending at the closing quote; a doubled quote stands for itself.
std::size_t ScanQuoted(std::string_view s, std::size_t i, char close, std::string& out) {
  for (++i; i < s.size(); ++i) {
    if (s[i] == close) {
      if (i + 1 < s.size() && s[i + 1] == close && close != ']') {
        out += close;
        ++i;
        continue;
      }
      return i + 1;
    }
    out += s[i];
  }
  return i;
}

std::vector<Token> Tokenize(std::string_view s) {
  std::vector<Token> out;
  std::size_t i = SkipBlank(s, 0);
  while (i < s.size()) {
    std::size_t begin = i;
    char c = s[i];
    Token t{Tok::Symbol, "", begin, begin};
    if (c == '"' || c == '`' || c == '[') {
      t.kind = Tok::Quoted;
      i = ScanQuoted(s, i, c == '[' ? ']' : c, t.text);
    } else if (c == '\'') {
      t.kind = Tok::String;
      i = ScanQuoted(s, i, '\'', t.text);
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      t.kind = Tok::Number;
      while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '.')) ++i;
      t.text = std::string(s.substr(begin, i - begin));
    } else if (IsWordChar(c)) {
      t.kind = Tok::Word;
      while (i < s.size() && IsWordChar(s[i])) ++i;
      t.text = std::string(s.substr(begin, i - begin));
    } else {
      static constexpr std::string_view kTwoChar[] = {"<>", "<=", ">=", "!=", "||", "::"};
      std::size_t len = 1;
      for (std::string_view op : kTwoChar)
        if (s.compare(i, 2, op) == 0) len = 2;
      i += len;
      t.text = std::string(s.substr(begin, len));
    }
    t.end = i;
    out.push_back(std::move(t));
    i = SkipBlank(s, i);
  }
  out.push_back(Token{Tok::End, "", s.size(), s.size()});
  return out;
}

bool IsKeyword(const Token& t, std::string_view word) { return t.kind == Tok::Word && NameEquals(t.text, word); }

bool IsAnyKeyword(const Token& t, std::span<const std::string_view> words) {
  for (std::string_view w : words)
    if (IsKeyword(t, w)) return true;
  return false;
}

bool IsIdentifier(const Token& t) { return t.kind == Tok::Word || t.kind == Tok::Quoted; }

// Words that end the FROM clause, and words that cannot be an alias.
constexpr std::string_view kClauseEnd[] = {
    "WHERE", "GROUP", "ORDER", "HAVING", "LIMIT", "UNION", "EXCEPT", "INTERSECT", "OFFSET", "FETCH", "WINDOW", "FOR"};
constexpr std::string_view kJoinWords[] = {"JOIN", "INNER", "LEFT", "RIGHT", "FULL", "OUTER",
                                                                "CROSS", "NATURAL", "STRAIGHT_JOIN"};
constexpr std::string_view kNotAlias[] = {"ON", "USING", "AS"};
// Words that end an expression rather than name it.
constexpr std::string_view kNotAliasWords[] = {"END", "NULL", "TRUE", "FALSE"};

class Parser {
 public:
  Parser(std::string_view sql) : sql_(sql), toks_(Tokenize(sql)) {}

  // select -> SELECT [DISTINCT|ALL] item {, item} FROM tableref {(,|join) tableref}
  std::optional<ParsedSelect> Select() {
    if (!IsKeyword(Peek(), "SELECT")) return std::nullopt;
    ++pos_;
    if (IsKeyword(Peek(), "DISTINCT") || IsKeyword(Peek(), "ALL")) ++pos_;
    ParsedSelect out;
    while (true) {
      auto item = Item();
      if (!item) return std::nullopt;
      out.items.push_back(std::move(*item));
      if (Peek().text != ",") break;
      ++pos_;
    }
    if (IsKeyword(Peek(), "FROM")) {
      ++pos_;
      FromList(out.tables);
    }
    return out;
  }

 private:
  const Token& Peek(std::size_t ahead = 0) const { return toks_[std::min(pos_ + ahead, toks_.size() - 1)]; }

  // The tokens of one item: up to a "," or FROM at depth zero.
  std::size_t ItemEnd() const {
    int depth = 0;
    for (std::size_t i = pos_; i < toks_.size(); ++i) {
      const Token& t = toks_[i];
      if (t.kind == Tok::End) return i;
      if (t.text == "(" && t.kind == Tok::Symbol) ++depth;
      else if (t.text == ")" && t.kind == Tok::Symbol) --depth;
      else if (depth == 0 && (t.text == "," && t.kind == Tok::Symbol)) return i;
      else if (depth == 0 && IsKeyword(t, "FROM")) return i;
    }
    return toks_.size() - 1;
  }

  // item -> expression [[AS] alias] | * | name . *
  std::optional<SelectItem> Item() {
    std::size_t end = ItemEnd();
    if (end == pos_) return std::nullopt;
    SelectItem item;
    std::size_t exprEnd = end;
    const Token& last = toks_[end - 1];
    if (end - pos_ >= 2 && (IsIdentifier(last) || last.kind == Tok::String) && !IsAnyKeyword(last, kNotAliasWords)) {
      const Token& before = toks_[end - 2];
      if (IsKeyword(before, "AS")) {
        item.alias = last.text;
        exprEnd = end - 2;
      } else if (IsIdentifier(before) || before.text == ")" || before.kind == Tok::Number ||
                 before.kind == Tok::String || before.text == "*") {
        item.alias = last.text;  // an alias without AS follows the expression directly
        exprEnd = end - 1;
      }
    }
    if (exprEnd == pos_) return std::nullopt;
    item.expression = std::string(sql_.substr(toks_[pos_].begin, toks_[exprEnd - 1].end - toks_[pos_].begin));
    ColumnReference(pos_, exprEnd, item);
    pos_ = end;
    return item;
  }

  // A plain column reference: [schema .] [table .] column, or * forms.
  void ColumnReference(std::size_t from, std::size_t to, SelectItem& item) const {
    std::vector<const Token*> parts;
    for (std::size_t i = from; i < to; ++i) {
      bool even = (i - from) % 2 == 0;
      const Token& t = toks_[i];
      if (even && (IsIdentifier(t) || t.text == "*")) parts.push_back(&t);
      else if (!even && t.text == ".") continue;
      else return;
    }
    if (parts.empty() || (to - from) % 2 == 0) return;
    const Token& col = *parts.back();
    item.star = col.text == "*" && col.kind == Tok::Symbol;
    if (!item.star) item.column = col.text;
    if (parts.size() >= 2) item.qualifier = parts[parts.size() - 2]->text;
  }

  // from -> tableref {(, | join-words) tableref [ON cond | USING (...)]}
  void FromList(std::vector<FromTable>& tables) {
    while (Peek().kind != Tok::End && !IsAnyKeyword(Peek(), kClauseEnd) && Peek().text != ")") {
      if (Peek().text == "," || IsAnyKeyword(Peek(), kJoinWords)) {
        ++pos_;
        continue;
      }
      if (IsKeyword(Peek(), "ON") || IsKeyword(Peek(), "USING")) {
        SkipCondition();
        continue;
      }
      tables.push_back(TableRef());
    }
  }

  // tableref -> name {. name} [[AS] alias] | ( subquery ) [AS] alias
  FromTable TableRef() {
    FromTable t;
    if (Peek().text == "(") {
      SkipParens();
    } else {
      t.name = Peek().text;
      ++pos_;
      while (Peek().text == "." && IsIdentifier(Peek(1))) {
        t.name = Peek(1).text;  // the last part names the table
        pos_ += 2;
      }
    }
    if (IsKeyword(Peek(), "AS")) ++pos_;
    if (IsIdentifier(Peek()) && !IsAnyKeyword(Peek(), kClauseEnd) && !IsAnyKeyword(Peek(), kJoinWords) &&
        !IsAnyKeyword(Peek(), kNotAlias)) {
      t.alias = Peek().text;
      ++pos_;
    }
    return t;
  }

  void SkipParens() {
    int depth = 0;
    do {
      if (Peek().text == "(") ++depth;
      else if (Peek().text == ")") --depth;
      ++pos_;
    } while (depth > 0 && Peek().kind != Tok::End);
  }

  // A join condition runs to the next join, comma or clause end at depth zero.
  void SkipCondition() {
    ++pos_;
    while (Peek().kind != Tok::End && Peek().text != "," && !IsAnyKeyword(Peek(), kJoinWords) &&
           !IsAnyKeyword(Peek(), kClauseEnd) && Peek().text != ")") {
      if (Peek().text == "(") SkipParens();
      else ++pos_;
    }
  }

  std::string_view sql_;
  std::vector<Token> toks_;
  std::size_t pos_ = 0;
};

// The table a qualifier names (an alias or a table name), or "" when none.
std::string ResolveTable(const ParsedSelect& select, std::string_view qualifier) {
  for (const FromTable& t : select.tables)
    if (!t.alias.empty() && NameEquals(t.alias, qualifier)) return t.name;
  for (const FromTable& t : select.tables)
    if (t.alias.empty() && NameEquals(t.name, qualifier)) return t.name;
  return "";
}

}  // namespace

std::optional<ParsedSelect> ParseSelect(std::string_view sql) { return Parser(sql).Select(); }

std::optional<FieldSource> GetFieldSource(const ParsedSelect& select, std::string_view fieldName) {
  const SelectItem* match = nullptr;
  for (const SelectItem& item : select.items) {
    const std::string& name = item.alias.empty() ? item.column : item.alias;
    if (name == fieldName) {
      match = &item;
      break;
    }
    if (!match && !name.empty() && NameEquals(name, fieldName)) match = &item;
  }
  if (!match) return std::nullopt;
  FieldSource source;
  source.alias = !match->alias.empty();
  source.sourceName = match->expression;
  if (!match->column.empty()) {
    source.sourceField = match->column;
    if (!match->qualifier.empty()) source.sourceTable = ResolveTable(select, match->qualifier);
    else if (select.tables.size() == 1) source.sourceTable = select.tables.front().name;
    if (source.sourceTable.empty()) source.sourceField.clear();
  }
  return source;
}

}  // namespace zantrel
