// The defaults a freshly loaded table or field gets: the type rule that decides
// support and SQL quoting, the field and table defaults (LoadTableDefault is
// defined in table_defaults.cpp), captions made from identifiers, and search
// operators.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zantrel {

class ObPField;
class ObPTable;

// What the type rule decides for an ADO type: supported or not, and when the
// quotes are set, the quote used in SQL ("" for numbers, "'" for text).
struct TypeRule {
  bool support = false;
  bool setsQuotes = false;  // false: the quotes are left as they are
  std::string_view quote;
};
TypeRule TypeRuleFor(int32_t adoType);

// FldType = t, then FldSupport and the quotes from TypeRuleFor.
void SetFldType(ObPField& field, int32_t adoType);

// The settings a freshly loaded field gets from its type (after its FldType,
// FldSupport and FldAutoIncrement are set).
void LoadFldDefault(ObPField& field);

// The settings a freshly loaded table, view, custom view or report gets.
void LoadTableDefault(ObPTable& table);

// A caption from an identifier: "customerName" -> "customer Name", "order_id" -> "order id".
std::string MakeCaption(std::string_view name);

// The search operators offered for a field type, one per CR LF line.
std::string SearchOperators(int16_t adoType);

}  // namespace zantrel
