// What the database check found and what synchronisation did, one entry per
// table, key or field, so that a person sees what changed before deciding.
// The check's count follows its own rules; this list is for people and tools.
#pragma once

#include <string>
#include <vector>

#include "model/table_kind.h"

namespace zantrel {

enum class DifferenceKind {
  NewTable,      // in the database, not in the project (synchronisation: added)
  DroppedTable,  // in the project, gone from the database (deleted)
  ChangedKey,    // TblKey differs from the database's key (updated, or kept)
  NewField,
  DroppedField,
  ChangedField,  // attributes differ (refreshed); a changed NativeDataType resets the field
  Failure,       // a custom view or report that could not be compared or refreshed
  RenamedField,  // synchronisation: a column renamed in the database kept its settings (FldName old -> new)
};

// One attribute as the project holds it and as the database reports it.
struct AttributeChange {
  std::string name;
  std::string project;
  std::string database;
};

struct Difference {
  DifferenceKind kind = DifferenceKind::NewTable;
  std::string table;
  std::string tableType;  // TABLE, VIEW, CUSTOMVIEW or REPORT
  std::string field;
  std::vector<AttributeChange> attributes;  // ChangedField, ChangedKey (TblKey)
  std::string message;                      // Failure: the error text
  bool kept = false;                        // ChangedKey: the project's key was kept
};

struct SchemaDifferences {
  std::vector<Difference> items;

  Difference& Add(DifferenceKind kind, std::string table, std::string tableType, std::string field = {});
  Difference& Add(DifferenceKind kind, std::string table, TableKind tableKind, std::string field = {}) {
    return Add(kind, std::move(table), std::string(TableKindName(tableKind)), std::move(field));
  }
  bool empty() const { return items.empty(); }
};

// The kind as a word for machine-readable output ("newTable", "changedField", …).
const char* KindName(DifferenceKind kind);

// One line for a person: what the check found (done false) or what
// synchronisation did (done true).
std::string Describe(const Difference& d, bool done);

}  // namespace zantrel
