// Character (code point) positions in UTF-8 text for the string functions, with
// an ASCII fast path: Len, Mid, InStr and friends count characters, not bytes.
#pragma once

#include <string>
#include <string_view>

namespace zantrel::script {

inline bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

// Number of characters.
inline std::size_t CharCount(std::string_view s) {
  std::size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

// Byte offset of character index chars (clamped to the end).
inline std::size_t ByteOffset(std::string_view s, std::size_t chars) {
  std::size_t i = 0;
  for (; i < s.size() && chars > 0; --chars) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
  }
  return i;
}

// Character index of a byte offset.
inline std::size_t CharIndex(std::string_view s, std::size_t bytes) { return CharCount(s.substr(0, bytes)); }

std::u32string DecodeText(std::string_view s);
std::string EncodeText(std::u32string_view s);

}  // namespace zantrel::script
