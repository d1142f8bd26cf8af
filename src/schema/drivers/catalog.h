// Helpers the native drivers share to turn catalogue rows into driver tables:
// grouping columns by table in arrival order, marking primary-key and unique
// columns, the type-table lookup and the ENUM member lines.
#pragma once

#include <span>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/table_kind.h"
#include "schema/ado_types.h"
#include "schema/driver.h"

namespace zantrel::catalog {

// Collects the tables of one catalogue walk; rows of one table may arrive
// anywhere, tables keep the order of their first row.
class TableSet {
 public:
  DriverTable& Table(const std::string& name, std::string_view type);
  DriverTable* Find(const std::string& name);
  std::vector<DriverTable> Take() { return std::move(tables_); }

 private:
  std::vector<DriverTable> tables_;
  std::unordered_map<std::string, std::size_t> index_;
};

// Key information of one table: primary-key columns in key order and the
// columns that alone make up a unique index.
struct Keys {
  std::vector<std::string> primary;
  std::vector<std::string> unique;
};

// Sets PKField, and Unique and the key-column attribute of the fields named.
void ApplyKeys(DriverTable& table, const Keys& keys);

// The row of a type table for a lower-case type name, or null.
const ado::NativeType* FindType(std::span<const ado::NativeType> table, std::string_view name);

// ENUM/SET members as tag values: one "m","m" line each, joined by CR LF.
std::string TagValues(const std::vector<std::string>& members);

// The members of enum('a','b') or set('a','b'), '' read as one quote.
std::vector<std::string> EnumMembers(std::string_view columnType);

std::string Lower(std::string_view text);

// A column default as the catalogue prints it, turned into its value: quotes
// removed ('it''s' -> it's), a PostgreSQL cast dropped ('a'::text -> a);
// false for no default or NULL.
bool DefaultValue(std::string_view sqlText, std::string& value);

// One column of a SELECT's result as the server describes it.
struct ResultColumn {
  std::string name;
  std::string table;   // source table, "" for an expression
  std::string column;  // source column
  DriverField fallback;  // the field made from the result metadata alone
};

// A custom view from result columns: a column traced to a table column takes
// that column's definition under its own name; others keep their fallback.
// getTables(name) reads a source table (none when it is gone); it is called
// once per name.
template <class GetTables>
DriverTable BuildCustomView(std::string_view viewName, std::vector<ResultColumn> columns, GetTables getTables) {
  std::map<std::string, std::vector<DriverTable>> cache;
  auto tableOf = [&](const std::string& table) -> const DriverTable* {
    auto [it, added] = cache.try_emplace(table);
    if (added) it->second = getTables(table);
    return it->second.empty() ? nullptr : &it->second.front();
  };
  DriverTable view{std::string(viewName), std::string(TableKindName(TableKind::CustomView)), {}, {}};
  for (ResultColumn& c : columns) {
    DriverField field = std::move(c.fallback);
    if (const DriverTable* source = c.table.empty() ? nullptr : tableOf(c.table)) {
      for (const DriverField& f : source->Fields)
        if (f.Name == c.column) field = f;
    }
    field.Name = c.name;
    field.SourceTable = c.table;
    field.SourceField = c.column;
    field.ADOAttributes &= ~ado::kFldKeyColumn;
    field.Unique = false;
    view.Fields.push_back(std::move(field));
  }
  return view;
}

// A declared length in parentheses ("varchar(40)" -> 40), 0 when none.
int32_t DeclaredLength(std::string_view typeText);

}  // namespace zantrel::catalog
