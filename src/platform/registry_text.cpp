// The text form of registry files: the table of value types, the parser that
// turns a file into a RegDocument (reporting the line of anything it cannot
// read) and the writer that turns it back, plus %NAME% expansion.
#include <cstdlib>
#include <string>
#include <utility>

#include "core/names.h"
#include "platform/registry_store.h"

namespace zantrel {
namespace {

constexpr std::string_view kHeader = "ZANTREL REGISTRY Version 1";
constexpr std::string_view kHeaderStart = "ZANTREL REGISTRY Version ";

constexpr RegTypeInfo kTypes[] = {
    {kRegSz, "", "sz", RegEncoding::Text},
    {kRegExpandSz, "str(2)", "expand_sz", RegEncoding::Text},
    {kRegBinary, "hex", "binary", RegEncoding::Bytes},
    {kRegDword, "dword", "dword", RegEncoding::Number},
    {kRegDwordBigEndian, "hex(5)", "dword_big_endian", RegEncoding::BigEndian},
    {kRegMultiSz, "str(7)", "multi_sz", RegEncoding::TextList},
};

// What is wrong with one line; the file parser adds the file name and line.
struct Problem {
  std::string reason;
};

constexpr char kHexDigits[] = "0123456789abcdef";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

// A piece of the file quoted in an error message, cut short and kept printable.
std::string Excerpt(std::string_view s) {
  std::string out;
  for (char c : s.substr(0, 24)) out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
  if (s.size() > 24) out += "...";
  return out;
}

// Reads one line from left to right.
class Cursor {
 public:
  explicit Cursor(std::string_view s) : s_(s) {}
  bool AtEnd() const { return pos_ >= s_.size(); }
  char Peek() const { return AtEnd() ? '\0' : s_[pos_]; }
  char Next() { return s_[pos_++]; }
  bool Take(char c) {
    if (AtEnd() || s_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  void SkipBlanks() {
    while (!AtEnd() && IsBlank(s_[pos_])) ++pos_;
  }
  std::string_view Rest() const { return s_.substr(pos_); }
  void Advance(std::size_t n) { pos_ += n; }

 private:
  std::string_view s_;
  std::size_t pos_ = 0;
};

char Unescape(char e) {
  switch (e) {
    case '\\': return '\\';
    case '"': return '"';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
  }
  throw Problem{"unknown escape '\\" + Excerpt(std::string_view(&e, 1)) + "' in string"};
}

std::string ReadQuoted(Cursor& c) {
  if (!c.Take('"')) throw Problem{"expected a quoted string at '" + Excerpt(c.Rest()) + "'"};
  std::string out;
  while (!c.AtEnd()) {
    const char ch = c.Next();
    if (ch == '"') return out;
    if (ch != '\\') {
      out += ch;
    } else if (!c.AtEnd()) {
      out += Unescape(c.Next());
    }
  }
  throw Problem{"unterminated string"};
}

std::vector<std::string> ReadQuotedList(Cursor& c) {
  std::vector<std::string> list;
  if (c.AtEnd()) return list;
  for (;;) {
    list.push_back(ReadQuoted(c));
    c.SkipBlanks();
    if (c.AtEnd()) return list;
    if (!c.Take(',')) throw Problem{"expected ',' between strings at '" + Excerpt(c.Rest()) + "'"};
    c.SkipBlanks();
  }
}

// Reads exactly `digits` hex digits that are not followed by another one; digits
// are never optional, so a line cut short does not pass for a smaller number.
std::optional<uint32_t> ReadHex(Cursor& c, std::size_t digits) {
  const std::string_view rest = c.Rest();
  uint32_t value = 0;
  std::size_t n = 0;
  for (; n < rest.size() && HexValue(rest[n]) >= 0; ++n) value = value * 16 + HexValue(rest[n]);
  if (n != digits) return std::nullopt;
  c.Advance(n);
  return value;
}

uint8_t ReadByte(Cursor& c) {
  const std::optional<uint32_t> b = ReadHex(c, 2);
  if (!b) throw Problem{"bad hex byte '" + Excerpt(c.Rest().substr(0, c.Rest().find(','))) + "' (expected 2 hex digits)"};
  return static_cast<uint8_t>(*b);
}

std::vector<uint8_t> ReadBytes(Cursor& c) {
  std::vector<uint8_t> bytes;
  if (c.AtEnd()) return bytes;
  for (;;) {
    bytes.push_back(ReadByte(c));
    c.SkipBlanks();
    if (c.AtEnd()) return bytes;
    if (!c.Take(',')) throw Problem{"expected ',' between hex bytes at '" + Excerpt(c.Rest()) + "'"};
    c.SkipBlanks();
  }
}

uint32_t ReadDword(Cursor& c) {
  const std::optional<uint32_t> n = ReadHex(c, 8);
  if (!n) throw Problem{"bad dword '" + Excerpt(c.Rest()) + "' (expected 8 hex digits)"};
  return *n;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool TagEquals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

// The type a `hex(N)` tag names, N in hexadecimal.
std::optional<uint32_t> GenericHexType(std::string_view tag) {
  if (tag.size() < 6 || tag.size() > 13 || !TagEquals(tag.substr(0, 4), "hex(") || tag.back() != ')')
    return std::nullopt;
  uint32_t type = 0;
  for (char ch : tag.substr(4, tag.size() - 5)) {
    if (HexValue(ch) < 0) return std::nullopt;
    type = type * 16 + HexValue(ch);
  }
  return type;
}

// The type of a tag; a known type must use its own tag unless it is kept as bytes.
uint32_t TypeOfTag(std::string_view tag) {
  for (const RegTypeInfo& t : kTypes)
    if (!t.tag.empty() && TagEquals(tag, t.tag)) return t.type;
  const std::optional<uint32_t> type = GenericHexType(tag);
  if (!type) throw Problem{"unknown value type '" + Excerpt(tag) + ":'"};
  const RegEncoding encoding = EncodingOf(*type);
  if (encoding != RegEncoding::Bytes && encoding != RegEncoding::BigEndian) {
    const RegTypeInfo* info = FindRegType(*type);
    throw Problem{"type " + std::to_string(*type) + " is written as " +
                  (info->tag.empty() ? std::string("a quoted string") : std::string(info->tag) + ":")};
  }
  return *type;
}

RegValue ReadData(Cursor& c) {
  RegValue value;
  if (c.Peek() == '"') {
    value.text = ReadQuoted(c);
  } else {
    const std::size_t colon = c.Rest().find(':');
    if (colon == std::string_view::npos)
      throw Problem{"expected a quoted string or a type such as dword: at '" + Excerpt(c.Rest()) + "'"};
    value.type = TypeOfTag(c.Rest().substr(0, colon));
    c.Advance(colon + 1);
    c.SkipBlanks();
    switch (EncodingOf(value.type)) {
      case RegEncoding::Text: value.text = ReadQuoted(c); break;
      case RegEncoding::TextList: value.strings = ReadQuotedList(c); break;
      case RegEncoding::Number: value.number = ReadDword(c); break;
      case RegEncoding::Bytes: value.bytes = ReadBytes(c); break;
      case RegEncoding::BigEndian: {
        const std::vector<uint8_t> b = ReadBytes(c);
        if (b.size() != 4) throw Problem{"a big-endian dword needs exactly 4 bytes"};
        value.number = uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
        break;
      }
    }
  }
  c.SkipBlanks();
  if (!c.AtEnd()) throw Problem{"unexpected text after the value: '" + Excerpt(c.Rest()) + "'"};
  return value;
}

std::string Quote(std::string_view s) {
  std::string out = "\"";
  for (char ch : s) {
    switch (ch) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += ch;
    }
  }
  return out + '"';
}

void AppendHexByte(std::string& out, uint8_t b) {
  out += kHexDigits[b >> 4];
  out += kHexDigits[b & 15];
}

std::string HexBytes(const uint8_t* data, std::size_t n) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i) {
    if (i) out += ',';
    AppendHexByte(out, data[i]);
  }
  return out;
}

std::string HexNumber(uint32_t n, bool padded) {
  std::string out;
  for (int shift = 28; shift >= 0; shift -= 4)
    if (padded || !out.empty() || (n >> shift) != 0 || shift == 0) out += kHexDigits[(n >> shift) & 15];
  return out;
}

std::string TagOf(uint32_t type) {
  if (const RegTypeInfo* t = FindRegType(type)) return std::string(t->tag);
  return "hex(" + HexNumber(type, false) + ")";
}

// Builds a document line by line; comment lines wait for the item below them.
class Parser {
 public:
  Parser(std::vector<RegKey>& keys, std::vector<std::string>& trailer, const std::string& fileName)
      : keys_(keys), trailer_(trailer), fileName_(fileName) {}

  void Run(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) return;
    int lineNo = 0;
    for (std::size_t pos = 0; pos < text.size();) {
      std::size_t end = text.find('\n', pos);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(pos, end - pos);
      if (line.ends_with('\r')) line.remove_suffix(1);
      pos = end + 1;
      try {
        if (++lineNo == 1) CheckHeader(TrimRight(line));
        else ParseLine(line);
      } catch (const Problem& p) {
        throw RegistryError(fileName_, lineNo, p.reason);
      }
    }
    trailer_ = std::move(pending_);
  }

 private:
  static void CheckHeader(std::string_view line) {
    if (line == kHeader) return;
    if (line.starts_with(kHeaderStart))
      throw Problem{"unsupported version '" + Excerpt(line.substr(kHeaderStart.size())) + "'"};
    throw Problem{"missing the header '" + std::string(kHeader) + "'"};
  }

  void ParseLine(std::string_view raw) {
    const std::string_view line = TrimRight(TrimLeft(raw));
    if (line.empty()) {
      pending_.emplace_back();
    } else if (line[0] == ';') {
      pending_.emplace_back(TrimRight(raw));
    } else if (line[0] == '[') {
      ParseSection(line);
    } else if (line[0] == '"' || line[0] == '@') {
      ParseValue(line);
    } else {
      throw Problem{"expected a [key], a value or a ; comment at '" + Excerpt(line) + "'"};
    }
  }

  void ParseSection(std::string_view line) {
    const std::size_t close = line.rfind(']');
    if (close == std::string_view::npos) throw Problem{"missing ']' after the key path"};
    if (close + 1 != line.size()) throw Problem{"unexpected text after ']'"};
    const std::string_view inner = line.substr(1, close - 1);
    const std::optional<std::string> path = NormalizeKeyPath(inner);
    if (!path || path->empty()) throw Problem{"invalid key path '" + Excerpt(inner) + "'"};
    auto [it, added] = keyIndex_.try_emplace(*path, keys_.size());
    if (added) {
      keys_.push_back(RegKey{*path, {}, {}});
      valueIndex_.emplace_back();
    }
    current_ = it->second;
    TakePending(keys_[current_].comments);
  }

  void ParseValue(std::string_view line) {
    if (current_ == kNoKey) throw Problem{"value outside a [key] section"};
    Cursor c(line);
    std::string name = c.Take('@') ? std::string() : ReadQuoted(c);
    c.SkipBlanks();
    if (!c.Take('=')) throw Problem{"expected '=' after the value name"};
    c.SkipBlanks();
    RegValue value = ReadData(c);
    std::vector<RegEntry>& values = keys_[current_].values;
    auto [it, added] = valueIndex_[current_].try_emplace(name, values.size());
    if (added) values.push_back(RegEntry{std::move(name), {}, {}});
    values[it->second].value = std::move(value);  // a repeated name: the last one counts
    TakePending(values[it->second].comments);
  }

  void TakePending(std::vector<std::string>& comments) {
    comments.insert(comments.end(), pending_.begin(), pending_.end());
    pending_.clear();
  }

  static constexpr std::size_t kNoKey = std::size_t(-1);
  std::vector<RegKey>& keys_;
  std::vector<std::string>& trailer_;
  const std::string& fileName_;
  std::vector<std::string> pending_;
  NameMap<std::size_t> keyIndex_;
  std::vector<NameMap<std::size_t>> valueIndex_;
  std::size_t current_ = kNoKey;
};

}  // namespace

std::span<const RegTypeInfo> RegTypes() { return kTypes; }

const RegTypeInfo* FindRegType(uint32_t type) {
  for (const RegTypeInfo& t : kTypes)
    if (t.type == type) return &t;
  return nullptr;
}

const RegTypeInfo* FindRegTypeByName(std::string_view name) {
  for (const RegTypeInfo& t : kTypes)
    if (TagEquals(name, t.name)) return &t;
  return nullptr;
}

RegEncoding EncodingOf(uint32_t type) {
  const RegTypeInfo* t = FindRegType(type);
  return t ? t->encoding : RegEncoding::Bytes;
}

RegValue ParseValueData(std::string_view data) {
  Cursor c(TrimRight(TrimLeft(data)));
  try {
    return ReadData(c);
  } catch (const Problem& p) {
    throw RegistryError(p.reason);
  }
}

std::string FormatValueData(const RegValue& value) {
  const std::string tag = TagOf(value.type);
  std::string out = tag.empty() ? std::string() : tag + ":";
  switch (EncodingOf(value.type)) {
    case RegEncoding::Text: return out + Quote(value.text);
    case RegEncoding::Number: return out + HexNumber(value.number, true);
    case RegEncoding::Bytes: return out + HexBytes(value.bytes.data(), value.bytes.size());
    case RegEncoding::BigEndian: {
      const uint32_t n = value.number;
      const uint8_t b[4] = {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)};
      return out + HexBytes(b, 4);
    }
    case RegEncoding::TextList:
      for (std::size_t i = 0; i < value.strings.size(); ++i) out += (i ? "," : "") + Quote(value.strings[i]);
      return out;
  }
  return out;
}

RegDocument ParseRegistryText(std::string_view text, const std::string& fileName) {
  RegDocument doc;
  Parser(doc.keys_, doc.trailer_, fileName).Run(text);
  return doc;
}

std::string FormatRegistryText(const RegDocument& doc) {
  std::string out = std::string(kHeader) + "\n";
  const auto comments = [&out](const std::vector<std::string>& lines) {
    for (const std::string& line : lines) out += line + "\n";
  };
  for (const RegKey& key : doc.keys()) {
    comments(key.comments);
    out += "[" + key.path + "]\n";
    for (const RegEntry& entry : key.values) {
      comments(entry.comments);
      out += (entry.name.empty() ? std::string("@") : Quote(entry.name)) + "=" + FormatValueData(entry.value) + "\n";
    }
  }
  comments(doc.trailer());
  return out;
}

std::string ExpandEnvironment(std::string_view text) {
  std::string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t open = text.find('%', pos);
    const std::size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
    if (close == std::string_view::npos) break;
    out.append(text, pos, open - pos);
    const std::string name(text.substr(open + 1, close - open - 1));
    const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
    if (value) {
      out += value;
      pos = close + 1;
    } else {
      // Left as written; the closing '%' may open the next reference.
      out.append(text, open, close - open);
      pos = close;
    }
  }
  out.append(text, pos);
  return out;
}

}  // namespace zantrel
