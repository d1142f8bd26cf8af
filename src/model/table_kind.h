// The kinds of table a database holds, and their names in project files,
// driver records and scripts ("TABLE", "VIEW", "CUSTOMVIEW", "REPORT").
#pragma once

#include <string_view>

namespace zantrel {

enum class TableKind { Table, View, CustomView, Report, Other };

// The kind a TblType or driver record names, compared exactly; Other for any other text.
TableKind TableKindOf(std::string_view text);
// The name of a kind ("" for Other).
std::string_view TableKindName(TableKind kind);

// Tables and views come from the database; custom views and reports are the user's.
inline bool IsTableOrView(TableKind kind) { return kind == TableKind::Table || kind == TableKind::View; }

}  // namespace zantrel
