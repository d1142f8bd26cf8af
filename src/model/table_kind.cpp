#include "model/table_kind.h"

#include <array>

namespace zantrel {
namespace {

constexpr std::array<std::string_view, 4> kNames = {"TABLE", "VIEW", "CUSTOMVIEW", "REPORT"};

}  // namespace

TableKind TableKindOf(std::string_view text) {
  for (std::size_t i = 0; i < kNames.size(); ++i)
    if (kNames[i] == text) return static_cast<TableKind>(i);
  return TableKind::Other;
}

std::string_view TableKindName(TableKind kind) {
  const auto i = static_cast<std::size_t>(kind);
  return i < kNames.size() ? kNames[i] : std::string_view();
}

}  // namespace zantrel
