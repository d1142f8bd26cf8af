// Case-insensitive names and the UTF-8 helpers behind them.
//
// Folding is simple lower-casing of code points through the C.UTF-8 locale,
// so "ÉCOLE" equals "école" while "STRASSE" stays different from "Straße".
// Names are nearly always ASCII, so every function runs a byte (or word) loop
// until the first non-ASCII byte and only then decodes code points. Bytes that
// are not valid UTF-8 compare as themselves, distinct from every code point.
#include "core/names.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <locale.h>
#include <wctype.h>

namespace zantrel {
namespace {

// Invalid bytes decode to kRawByte + byte: outside Unicode, so never equal to a character.
constexpr char32_t kRawByte = 0x110000;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

locale_t Utf8Locale() {
  static const locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return loc;
}

inline bool IsAscii(unsigned char c) { return c < 0x80; }
inline unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }
inline unsigned char UpperAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

inline uint64_t Load64(const char* p) {
  uint64_t w;
  std::memcpy(&w, p, sizeof w);
  if constexpr (std::endian::native == std::endian::big) w = __builtin_bswap64(w);
  return w;
}

// Lower-cases eight ASCII bytes at once (every byte must be below 0x80).
inline uint64_t FoldWord(uint64_t w) {
  const uint64_t atLeastA = w + 0x3f3f3f3f3f3f3f3full;   // high bit set where byte >= 'A'
  const uint64_t aboveZ = w + 0x2525252525252525ull;     // high bit set where byte > 'Z'
  return w | (((atLeastA & ~aboveZ) & kHighBits) >> 2);
}

struct LeadByte {
  int length;        // 0: not a lead byte
  char32_t payload;  // bits of the code point it carries
  char32_t minimum;  // smallest code point of that length (shorter forms are overlong)
};

LeadByte Lead(unsigned char c) {
  if (c >= 0xc2 && c <= 0xdf) return {2, c & 0x1fu, 0x80};
  if (c >= 0xe0 && c <= 0xef) return {3, c & 0x0fu, 0x800};
  if (c >= 0xf0 && c <= 0xf4) return {4, c & 0x07u, 0x10000};
  return {0, 0, 0};
}

// One code point, or kRawByte + byte for a byte that starts no valid sequence.
char32_t DecodeOrRaw(std::string_view s, std::size_t& pos) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  if (p[pos] < 0x80) return p[pos++];
  const LeadByte lead = Lead(p[pos]);
  const auto length = static_cast<std::size_t>(lead.length);
  if (length == 0 || pos + length > s.size()) return kRawByte + p[pos++];
  char32_t cp = lead.payload;
  for (std::size_t i = 1; i < length; ++i) {
    if ((p[pos + i] & 0xc0) != 0x80) return kRawByte + p[pos++];
    cp = (cp << 6) | (p[pos + i] & 0x3f);
  }
  if (cp < lead.minimum || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff)) return kRawByte + p[pos++];
  pos += length;
  return cp;
}

// UTF-8 bytes of a code point (a raw byte as itself); returns their number.
int EncodeOrRaw(char32_t c, char (&buf)[4]) {
  if (c >= kRawByte) {
    buf[0] = static_cast<char>(c - kRawByte);
    return 1;
  }
  if (c > 0x10ffff || (c >= 0xd800 && c <= 0xdfff)) c = 0xfffd;
  if (c < 0x80) {
    buf[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    buf[0] = static_cast<char>(0xc0 | (c >> 6));
    buf[1] = static_cast<char>(0x80 | (c & 0x3f));
    return 2;
  }
  if (c < 0x10000) {
    buf[0] = static_cast<char>(0xe0 | (c >> 12));
    buf[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3f));
    buf[2] = static_cast<char>(0x80 | (c & 0x3f));
    return 3;
  }
  buf[0] = static_cast<char>(0xf0 | (c >> 18));
  buf[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3f));
  buf[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3f));
  buf[3] = static_cast<char>(0x80 | (c & 0x3f));
  return 4;
}

void AppendOrRaw(std::string& out, char32_t c) {
  char buf[4];
  out.append(buf, EncodeOrRaw(c, buf));
}

char32_t UpperCodePoint(char32_t c) {
  if (c < 0x80) return UpperAscii(static_cast<unsigned char>(c));
  const locale_t loc = Utf8Locale();
  if (!loc || c >= kRawByte) return c;
  return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), loc));
}

// Streams folded bytes into 64-bit words; the word loop and the byte path agree.
class NameHasher64 {
 public:
  void AddWord(uint64_t w) {
    h_ = (h_ ^ w) * 0x9e3779b97f4a7c15ull;
    h_ ^= h_ >> 29;
    length_ += 8;
  }
  void AddByte(unsigned char b) {
    pending_ |= static_cast<uint64_t>(b) << (8 * count_);
    if (++count_ == 8) {
      const uint64_t w = pending_;
      pending_ = 0;
      count_ = 0;
      AddWord(w);
    }
  }
  void AddCodePoint(char32_t c) {
    char buf[4];
    const int n = EncodeOrRaw(c, buf);
    for (int i = 0; i < n; ++i) AddByte(static_cast<unsigned char>(buf[i]));
  }
  // The last n (< 8) bytes at once; only right after whole words.
  void AddTail(uint64_t w, int n) {
    pending_ = w;
    count_ = n;
  }
  std::size_t Finish() {
    uint64_t h = (h_ ^ pending_ ^ (static_cast<uint64_t>(length_ + count_) << 56)) * 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 33;
    return static_cast<std::size_t>(h);
  }

 private:
  uint64_t h_ = 0xcbf29ce484222325ull;
  uint64_t pending_ = 0;
  std::size_t length_ = 0;
  int count_ = 0;
};

// Compares folded code points from aligned positions i (after an equal ASCII prefix).
int CompareFoldedFrom(std::string_view a, std::string_view b, std::size_t i) {
  std::size_t j = i;
  while (i < a.size() && j < b.size()) {
    const char32_t ca = FoldCodePoint(DecodeOrRaw(a, i));
    const char32_t cb = FoldCodePoint(DecodeOrRaw(b, j));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  return j < b.size() ? -1 : 0;
}

// Length of the common prefix of ASCII bytes that fold equal; stops at the first
// difference or the first non-ASCII byte.
std::size_t EqualAsciiPrefix(std::string_view a, std::string_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const uint64_t wa = Load64(a.data() + i), wb = Load64(b.data() + i);
    if (((wa | wb) & kHighBits) != 0 || FoldWord(wa) != FoldWord(wb)) break;
  }
  for (; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
    if (!IsAscii(ca) || !IsAscii(cb) || FoldAscii(ca) != FoldAscii(cb)) break;
  }
  return i;
}

template <class Map>
std::string MapText(std::string_view s, Map map) {
  std::string out;
  out.reserve(s.size());
  std::size_t pos = 0;
  while (pos < s.size()) {
    const auto c = static_cast<unsigned char>(s[pos]);
    if (IsAscii(c)) {
      out.push_back(static_cast<char>(map(c)));
      ++pos;
    } else {
      AppendOrRaw(out, map(DecodeOrRaw(s, pos)));
    }
  }
  return out;
}

}  // namespace

char32_t FoldCodePoint(char32_t c) {
  if (c < 0x80) return FoldAscii(static_cast<unsigned char>(c));
  const locale_t loc = Utf8Locale();
  if (!loc || c > 0x10ffff) return c;
  return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), loc));
}

std::string FoldName(std::string_view name) {
  return MapText(name, [](char32_t c) { return FoldCodePoint(c); });
}

bool NameEquals(std::string_view a, std::string_view b) {
  const std::size_t i = EqualAsciiPrefix(a, b);
  if (i == a.size() && i == b.size()) return true;
  if (i == a.size() || i == b.size()) return false;
  if (IsAscii(a[i]) && IsAscii(b[i])) return false;
  return CompareFoldedFrom(a, b, i) == 0;
}

int NameCompare(std::string_view a, std::string_view b) {
  return CompareFoldedFrom(a, b, EqualAsciiPrefix(a, b));
}

std::size_t NameHash(std::string_view name) {
  NameHasher64 h;
  std::size_t i = 0;
  for (; i + 8 <= name.size(); i += 8) {
    const uint64_t w = Load64(name.data() + i);
    if (w & kHighBits) break;
    h.AddWord(FoldWord(w));
  }
  if (name.size() - i < 8) {
    uint64_t tail = 0;
    for (std::size_t k = i; k < name.size(); ++k)
      tail |= static_cast<uint64_t>(static_cast<unsigned char>(name[k])) << (8 * (k - i));
    if ((tail & kHighBits) == 0) {
      h.AddTail(FoldWord(tail), static_cast<int>(name.size() - i));
      return h.Finish();
    }
  }
  while (i < name.size()) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (IsAscii(c)) {
      h.AddByte(FoldAscii(c));
      ++i;
    } else {
      h.AddCodePoint(FoldCodePoint(DecodeOrRaw(name, i)));
    }
  }
  return h.Finish();
}

char32_t DecodeUtf8(std::string_view s, std::size_t& pos) {
  const char32_t c = DecodeOrRaw(s, pos);
  return c >= kRawByte ? char32_t{0xfffd} : c;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c > 0x10ffff) c = 0xfffd;
  char buf[4];
  out.append(buf, EncodeOrRaw(c, buf));
}

std::string ToLowerText(std::string_view s) { return FoldName(s); }

std::string ToUpperText(std::string_view s) {
  return MapText(s, [](char32_t c) { return UpperCodePoint(c); });
}

}  // namespace zantrel
