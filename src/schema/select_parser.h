// Our SQL component for custom views: a parser of a SELECT's column list and
// FROM clause. It knows quoted identifiers ("x", `x`, [x]), aliases with and
// without AS, table aliases, joins, expressions, * and comments, and traces each
// result column to the table and column it comes from when the text says so.
// It does not check the rest of the statement; the server does that.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zantrel {

struct SelectItem {
  std::string expression;  // the item's text without its alias
  std::string alias;       // "" when the item has none
  std::string qualifier;   // the table or alias before the column, "" when none
  std::string column;      // the column when the item is a plain column reference
  bool star = false;       // * or t.*
};

struct FromTable {
  std::string name;   // "" for a subquery
  std::string alias;  // "" when none
};

struct ParsedSelect {
  std::vector<SelectItem> items;
  std::vector<FromTable> tables;
};

// Parses the first SELECT of the text; nothing when it is not a SELECT the
// parser understands.
std::optional<ParsedSelect> ParseSelect(std::string_view sql);

// Where a result column comes from.
struct FieldSource {
  bool alias = false;
  std::string sourceName;   // the expression
  std::string sourceTable;  // "" when not a plain column or the table is unknown
  std::string sourceField;
};

// The source of the result column of that name, or nothing when no item of the
// list names it.
std::optional<FieldSource> GetFieldSource(const ParsedSelect& select, std::string_view fieldName);

}  // namespace zantrel
