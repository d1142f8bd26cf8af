// Comma-separated lists as settings and control files write them ("a,b,c"):
// split without trimming, since names may hold blanks the list keeps.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zantrel {

inline std::vector<std::string> SplitList(std::string_view list, char separator = ',') {
  std::vector<std::string> parts;
  for (std::size_t start = 0;;) {
    std::size_t at = list.find(separator, start);
    parts.emplace_back(list.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

}  // namespace zantrel
