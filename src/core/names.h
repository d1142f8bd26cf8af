// Case-insensitive handling of names: settings, keys, tables, fields and script
// identifiers compare with simple Unicode case folding, with a fast path for ASCII.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zantrel {

// Lower-case folding of one code point (full Unicode through the C.UTF-8 locale).
char32_t FoldCodePoint(char32_t c);

// The folded form of a UTF-8 name; two names are equal when their folded forms are.
std::string FoldName(std::string_view name);

bool NameEquals(std::string_view a, std::string_view b);

// <0, 0, >0 comparing folded code points (the order of a case-insensitive sort).
int NameCompare(std::string_view a, std::string_view b);

// Hash consistent with NameEquals; no allocation for ASCII names.
std::size_t NameHash(std::string_view name);

// Binary comparison by code units (the collection's CompareMode 0).
inline int BinaryCompare(std::string_view a, std::string_view b) { return a.compare(b); }

struct NameHasher {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return NameHash(s); }
};
struct NameEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return NameEquals(a, b); }
};

// A map keyed by names compared without regard to case; lookups take string_view.
template <class V>
using NameMap = std::unordered_map<std::string, V, NameHasher, NameEqual>;

// UTF-8 helpers shared by the string functions.
char32_t DecodeUtf8(std::string_view s, std::size_t& pos);  // advances pos; U+FFFD on bad input
void AppendUtf8(std::string& out, char32_t c);

std::string ToLowerText(std::string_view s);  // LCase
std::string ToUpperText(std::string_view s);  // UCase

}  // namespace zantrel
