// String functions. Positions and lengths count characters; Null in gives Null
// out; lengths and positions are rounded like CLng and raise 5 when out of range.
#include <algorithm>
#include <array>

#include "core/convert.h"
#include "core/error.h"
#include "core/names.h"
#include "script/builtins.h"
#include "script/runtime.h"
#include "script/text.h"

namespace zantrel::script {
namespace {

[[noreturn]] void Invalid() { Raise(err::kInvalidCall); }

int32_t Whole(const Variant& v) {
  if (v.IsNull()) Raise(94);
  return CLng(v);
}

bool TextCompare(Args a, std::size_t i) { return i < a.size() && Whole(a[i]) == 1; }

std::string Folded(std::string_view s, bool text) { return text ? ToLowerText(s) : std::string(s); }

// Character index (0-based) of needle in hay at or after char index from; npos when none.
std::size_t FindChars(const std::string& hay, const std::string& needle, std::size_t from, bool text) {
  const std::string h = Folded(hay, text), n = Folded(needle, text);
  const std::size_t pos = h.find(n, ByteOffset(h, from));
  return pos == std::string::npos ? pos : CharIndex(h, pos);
}

// The text of v without a copy when it is a string already.
const std::string& TextOf(const Variant& v, std::string& tmp) {
  if (v.IsString()) return v.RawString();
  tmp = CStr(v);
  return tmp;
}

Variant Len(BuiltinContext&, Args a) {
  if (a[0].IsNull()) return Variant::Null();
  std::string tmp;
  const std::string& s = TextOf(a[0], tmp);
  return Variant(static_cast<int32_t>(CharCount(s)));
}

Variant Left(BuiltinContext&, Args a) {
  if (a[0].IsNull()) return Variant::Null();
  const int32_t n = Whole(a[1]);
  if (n < 0) Invalid();
  std::string tmp;
  const std::string& s = TextOf(a[0], tmp);
  return Variant(s.substr(0, ByteOffset(s, n)));
}

Variant Right(BuiltinContext&, Args a) {
  if (a[0].IsNull()) return Variant::Null();
  const int32_t n = Whole(a[1]);
  if (n < 0) Invalid();
  std::string tmp;
  const std::string& s = TextOf(a[0], tmp);
  const std::size_t count = CharCount(s);
  if (static_cast<std::size_t>(n) >= count) return Variant(s);
  return Variant(s.substr(ByteOffset(s, count - n)));
}

Variant Mid(BuiltinContext&, Args a) {
  if (a[0].IsNull()) return Variant::Null();
  const int32_t start = Whole(a[1]);
  if (start < 1) Invalid();
  int32_t len = -1;
  if (a.size() > 2) {
    len = Whole(a[2]);
    if (len < 0) Invalid();
  }
  std::string tmp;
  const std::string& s = TextOf(a[0], tmp);
  const std::size_t from = ByteOffset(s, start - 1);
  if (from >= s.size()) return Variant("");
  if (len < 0) return Variant(s.substr(from));
  const std::string_view rest = std::string_view(s).substr(from);
  return Variant(std::string(rest.substr(0, ByteOffset(rest, len))));
}

Variant InStr(BuiltinContext&, Args a) {
  std::size_t i = 0;
  int32_t start = 1;
  if (a.size() >= 3) {
    if (a[0].IsNull()) Raise(94);
    start = Whole(a[0]);
    if (start < 1) Invalid();
    i = 1;
  }
  if (a[i].IsNull() || a[i + 1].IsNull()) return Variant::Null();
  const std::string hay = CStr(a[i]), needle = CStr(a[i + 1]);
  const bool text = TextCompare(a, i + 2);
  const std::size_t count = CharCount(hay);
  if (static_cast<std::size_t>(start) > count) return Variant(needle.empty() && static_cast<std::size_t>(start) == count + 1 ? start : 0);
  if (needle.empty()) return Variant(start);
  const std::size_t at = FindChars(hay, needle, start - 1, text);
  return Variant(at == std::string::npos ? int32_t{0} : static_cast<int32_t>(at + 1));
}

Variant InStrRev(BuiltinContext&, Args a) {
  if (a[0].IsNull() || a[1].IsNull()) return Variant::Null();
  const std::string hay = CStr(a[0]), needle = CStr(a[1]);
  int32_t start = a.size() > 2 ? Whole(a[2]) : -1;
  if (start == 0 || start < -1) Invalid();
  const bool text = TextCompare(a, 3);
  const std::u32string h = DecodeText(Folded(hay, text)), n = DecodeText(Folded(needle, text));
  if (start == -1) start = static_cast<int32_t>(h.size());
  if (n.empty()) return Variant(start);
  if (static_cast<std::size_t>(start) > h.size()) return Variant(int32_t{0});
  if (n.size() > static_cast<std::size_t>(start)) return Variant(int32_t{0});
  const std::size_t at = h.rfind(n, start - n.size());
  return Variant(at == std::u32string::npos ? int32_t{0} : static_cast<int32_t>(at + 1));
}

// source with up to count (-1: all) occurrences of find replaced; the search
// runs in `searched`, source folded for a text compare (same length, same
// positions), or source itself.
template <class Str>
Str ReplaceIn(const Str& searched, const Str& source, const Str& find, const Str& with, int32_t count) {
  Str out;
  out.reserve(source.size());
  std::size_t pos = 0;
  for (std::size_t at; count != 0 && (at = searched.find(find, pos)) != Str::npos; pos = at + find.size()) {
    out.append(source, pos, at - pos);
    out += with;
    if (count > 0) --count;
  }
  out.append(source, pos);
  return out;
}

Variant Replace(BuiltinContext& cx, Args a) {
  if (a[0].IsNull() || a[1].IsNull() || a[2].IsNull()) return Variant::Null();
  if (a[0].IsString()) cx.rt.WorkBytes(a[0].RawString().size());
  const int32_t start = a.size() > 3 ? Whole(a[3]) : 1;
  int32_t count = a.size() > 4 ? Whole(a[4]) : -1;
  if (start < 1 || count < -1) Invalid();
  const bool text = TextCompare(a, 5);
  // Whole strings compared byte for byte, the usual case, without copies.
  if (!text && start == 1 && a[0].IsString() && a[1].IsString() && a[2].IsString()) {
    const std::string &s = a[0].RawString(), &find = a[1].RawString();
    if (find.empty() || count == 0 || s.find(find) == std::string::npos) return Variant(s);
    return Variant(ReplaceIn(s, s, find, a[2].RawString(), count));
  }
  const std::string s = CStr(a[0]), find = CStr(a[1]), with = CStr(a[2]);
  const std::string src = s.substr(ByteOffset(s, start - 1));
  if (find.empty() || count == 0) return Variant(src);
  const std::string h = Folded(src, text), n = Folded(find, text);
  if (h.size() != src.size())  // folding changed byte lengths: work on characters
    return Variant(EncodeText(ReplaceIn(DecodeText(h), DecodeText(src), DecodeText(n), DecodeText(with), count)));
  return Variant(ReplaceIn(h, src, n, with, count));
}

Variant Split(BuiltinContext& cx, Args a) {
  if (a[0].IsNull()) return Variant::Null();
  const std::string s = CStr(a[0]);
  const std::string delim = a.size() > 1 ? CStr(a[1]) : " ";
  int32_t count = a.size() > 2 ? Whole(a[2]) : -1;
  if (count < -1) Invalid();
  const bool text = TextCompare(a, 3);
  std::vector<Variant> parts;
  if (s.empty() || count == 0) return Variant(SafeArray::FromVector({}));
  if (delim.empty()) return Variant(SafeArray::FromVector({Variant(s)}));
  const std::string h = Folded(s, text), d = Folded(delim, text);
  const bool sameBytes = h.size() == s.size();
  std::size_t pos = 0;
  for (;;) {
    if (count > 0 && static_cast<int32_t>(parts.size()) == count - 1) break;
    const std::size_t at = sameBytes ? h.find(d, pos) : std::string::npos;
    if (at == std::string::npos) break;
    parts.emplace_back(s.substr(pos, at - pos));
    cx.rt.WorkBytes(at - pos + sizeof(Variant));
    pos = at + d.size();
  }
  parts.emplace_back(s.substr(pos));
  return Variant(SafeArray::FromVector(std::move(parts)));
}

Variant Join(BuiltinContext& cx, Args a) {
  if (!a[0].IsArray()) Raise(err::kTypeMismatch);
  const SafeArray& arr = a[0].AsArray();
  if (arr.Dimensions() > 1) Raise(err::kTypeMismatch);
  const std::string delim = a.size() > 1 ? CStr(a[1]) : " ";
  std::string out;
  bool first = true;
  for (const Variant& v : arr.data()) {
    if (!first) out += delim;
    first = false;
    if (v.IsNull() || v.IsArray() || v.IsObject()) Raise(err::kTypeMismatch);
    out += CStr(v);
    cx.rt.WorkBytes(sizeof(Variant) + (v.IsString() ? v.RawString().size() : 0) + delim.size());
  }
  return Variant(std::move(out));
}

Variant TrimSides(Args a, bool left, bool right) {
  if (a[0].IsNull()) return Variant::Null();
  std::string s = CStr(a[0]);
  std::size_t b = 0, e = s.size();
  if (left)
    while (b < e && s[b] == ' ') ++b;
  if (right)
    while (e > b && s[e - 1] == ' ') --e;
  return Variant(s.substr(b, e - b));
}

Variant Trim(BuiltinContext&, Args a) { return TrimSides(a, true, true); }
Variant LTrim(BuiltinContext&, Args a) { return TrimSides(a, true, false); }
Variant RTrim(BuiltinContext&, Args a) { return TrimSides(a, false, true); }

Variant UCase(BuiltinContext&, Args a) {
  if (a[0].IsNull()) return Variant::Null();
  return Variant(ToUpperText(a[0].IsString() ? a[0].RawString() : CStr(a[0])));
}

Variant LCase(BuiltinContext&, Args a) {
  if (a[0].IsNull()) return Variant::Null();
  return Variant(ToLowerText(a[0].IsString() ? a[0].RawString() : CStr(a[0])));
}

Variant Space(BuiltinContext& cx, Args a) {
  const int32_t n = Whole(a[0]);
  if (n < 0) Invalid();
  cx.rt.WorkBytes(n);
  return Variant(std::string(n, ' '));
}

std::string CharText(int32_t code) {
  std::string s;
  AppendUtf8(s, static_cast<char32_t>(code));
  return s;
}

Variant String(BuiltinContext& cx, Args a) {
  if (a[0].IsNull() || a[1].IsNull()) return Variant::Null();
  const int32_t n = Whole(a[0]);
  if (n < 0) Invalid();
  std::string ch;
  if (a[1].IsString()) {
    const std::string& s = a[1].RawString();
    if (s.empty()) Invalid();
    ch = s.substr(0, ByteOffset(s, 1));
  } else {
    const int32_t code = Whole(a[1]);
    ch = CharText(code & 0xff);
  }
  std::string out;
  out.reserve(ch.size() * n);
  for (int32_t i = 0; i < n; ++i) {
    out += ch;
    if ((i & 0xffff) == 0) cx.rt.WorkBytes(ch.size() << 16);
  }
  return Variant(std::move(out));
}

Variant StrComp(BuiltinContext&, Args a) {
  if (a[0].IsNull() || a[1].IsNull()) return Variant::Null();
  const std::string x = CStr(a[0]), y = CStr(a[1]);
  const int c = TextCompare(a, 2) ? NameCompare(x, y) : x.compare(y);
  return Variant(static_cast<int16_t>(c < 0 ? -1 : c > 0 ? 1 : 0));
}

Variant StrReverse(BuiltinContext&, Args a) {
  if (a[0].IsNull()) Raise(94);
  const std::string s = CStr(a[0]);
  if (IsAscii(s)) return Variant(std::string(s.rbegin(), s.rend()));
  std::u32string u = DecodeText(s);
  std::reverse(u.begin(), u.end());
  return Variant(EncodeText(u));
}

Variant AscW(BuiltinContext&, Args a) {
  if (a[0].IsNull()) Raise(94);
  const std::string s = CStr(a[0]);
  if (s.empty()) Invalid();
  std::size_t pos = 0;
  const char32_t c = DecodeUtf8(s, pos);
  return c < 0x8000 ? Variant(static_cast<int16_t>(c)) : Variant(static_cast<int32_t>(c));
}

Variant Chr(BuiltinContext&, Args a) {
  const int32_t code = Whole(a[0]);
  if (code < 0 || code > 255) Invalid();
  return Variant(CharText(code));
}

Variant ChrW(BuiltinContext&, Args a) {
  int32_t code = Whole(a[0]);
  if (code < -32768 || code > 0x10FFFF) Invalid();
  if (code < 0) code += 65536;
  return Variant(CharText(code));
}

Variant Radix(Args a, int bits, const char* fmt16, const char* fmt32) {
  if (a[0].IsNull()) return Variant::Null();
  const Variant& v = a[0];
  char buf[24];
  if (v.type() == VarType::Integer || v.type() == VarType::Byte || v.type() == VarType::Boolean || v.IsEmpty()) {
    std::snprintf(buf, sizeof buf, fmt16, static_cast<unsigned>(static_cast<uint16_t>(CInt(v))));
  } else {
    std::snprintf(buf, sizeof buf, fmt32, static_cast<unsigned>(static_cast<uint32_t>(CLng(v))));
  }
  (void)bits;
  return Variant(std::string(buf));
}

Variant Hex(BuiltinContext&, Args a) { return Radix(a, 16, "%X", "%X"); }
Variant Oct(BuiltinContext&, Args a) { return Radix(a, 8, "%o", "%o"); }

Variant Filter(BuiltinContext& cx, Args a) {
  if (!a[0].IsArray()) Raise(err::kTypeMismatch);
  if (a[1].IsNull()) Raise(94);
  const std::string match = CStr(a[1]);
  const bool include = a.size() > 2 ? CBool(a[2]) : true;
  const bool text = TextCompare(a, 3);
  std::vector<Variant> out;
  for (const Variant& v : a[0].AsArray().data()) {
    if (v.IsNull()) Raise(err::kTypeMismatch);
    const std::string s = CStr(v);
    cx.rt.WorkBytes(sizeof(Variant) + s.size());
    const bool found = FindChars(s, match, 0, text) != std::string::npos;
    if (found == include) out.emplace_back(s);
  }
  return Variant(SafeArray::FromVector(std::move(out)));
}

constexpr std::array kStringBuiltins = {
    Builtin{"Len", Len, 1, 1},          Builtin{"Left", Left, 2, 2},
    Builtin{"Right", Right, 2, 2},      Builtin{"Mid", Mid, 2, 3},
    Builtin{"InStr", InStr, 2, 4},      Builtin{"InStrRev", InStrRev, 2, 4},
    Builtin{"Replace", Replace, 3, 6},  Builtin{"Split", Split, 1, 4},
    Builtin{"Join", Join, 1, 2, kKeepObjects}, Builtin{"Trim", Trim, 1, 1},
    Builtin{"LTrim", LTrim, 1, 1},      Builtin{"RTrim", RTrim, 1, 1},
    Builtin{"UCase", UCase, 1, 1},      Builtin{"LCase", LCase, 1, 1},
    Builtin{"Space", Space, 1, 1},      Builtin{"String", String, 2, 2},
    Builtin{"StrComp", StrComp, 2, 3},  Builtin{"StrReverse", StrReverse, 1, 1},
    Builtin{"Asc", AscW, 1, 1},         Builtin{"AscW", AscW, 1, 1},
    Builtin{"AscB", AscW, 1, 1},        Builtin{"Chr", Chr, 1, 1},
    Builtin{"ChrW", ChrW, 1, 1},        Builtin{"ChrB", Chr, 1, 1},
    Builtin{"Hex", Hex, 1, 1},          Builtin{"Oct", Oct, 1, 1},
    Builtin{"Filter", Filter, 2, 4, kKeepObjects},
};

}  // namespace

std::span<const Builtin> StringBuiltins() { return kStringBuiltins; }

}  // namespace zantrel::script
