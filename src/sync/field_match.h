// How the check and synchronisation match fields. The check compares five
// attributes of fields of the same exact name; synchronisation also needs the
// same NativeDataType, and refreshes the database-derived attributes of a
// matching field while keeping every setting the user made.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/table.h"
#include "schema/schema_reader.h"
#include "sync/differences.h"

namespace zantrel {

// A lookup by exact, case-sensitive name. Keys are unique in any letter case,
// so the case-insensitive hit is the only candidate.
template <class List>
auto* FindExactName(List& list, std::string_view name) {
  auto* item = list.Find(name);
  return item && item->ItemName() == name ? item : nullptr;
}

// The names of the project tables of one type, collected first so that a pass
// that changes the list does not walk it.
std::vector<std::string> TableNamesOfType(ObPTables& tables, TableKind kind);

// The five attributes that decide whether a field changed.
struct CheckedAttributes {
  int16_t NativeDataType = 0;
  int32_t FldSize = 0;
  bool FldUniqueIdx = false;
  bool FldAutoIncrement = false;
  int32_t FldAttribute = 0;

  static CheckedAttributes Of(const ObPField& f);
  static CheckedAttributes Of(const ObSchemaField& f);
  bool operator==(const CheckedAttributes&) const = default;
};

// The attributes that differ, the project's value first.
std::vector<AttributeChange> ChangedAttributes(const CheckedAttributes& project, const CheckedAttributes& live);

// A project field as a live record: a report's view of its source field.
ObSchemaField RecordOf(const ObPField& f);

// What a new field takes from its live record beyond the attributes every new
// field takes.
enum class NewFieldRule {
  Column,        // a table's or custom view's column: type name and tag values too
  NewTableColumn,  // a column of a table added whole: also FldReq
  ReportField,   // a report's field: FldGenerate from the source's FldSupport
};

// Brings a table's fields in step with the live records: renames a field the
// database renamed (after asking), deletes fields that match none, refreshes
// matching ones (with the settings derived from a changed type name or size),
// adds new ones with their defaults.
// What it does goes to log when given.
void MergeFields(ObPTable& table, const std::vector<const ObSchemaField*>& live, NewFieldRule rule,
                 SchemaDifferences* log);

// Adds one field from a live record, then its default settings.
void AddField(ObPFields& fields, const ObSchemaField& live, NewFieldRule rule);

}  // namespace zantrel
