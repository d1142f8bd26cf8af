// What synchronisation carries over when a column changes in the database but
// stays the same column: settings derived from its type and size follow a new
// type name or size unless the user changed them, and a renamed column keeps
// its settings under the new name.
#pragma once

#include <string>
#include <vector>

#include "model/table.h"
#include "schema/schema_reader.h"
#include "sync/differences.h"

namespace zantrel {

// The settings the field defaults derive from a column's type and size, with
// the type name itself. Each one still at the default of the project's type
// and size takes the default of the live ones; one the user changed stays.
// Runs before the size is refreshed. Returns what changed.
std::vector<AttributeChange> RefreshDerivedSettings(ObPField& field, const ObSchemaField& live);

// A column renamed in the database: one project field that matches no live
// field and one live field that matches no project field, at the same
// position with the same NativeDataType. After the user confirms (question
// "renamedfield": Rename or Drop and add), the field takes the new name and
// keeps its settings; its variable name, a caption left at the old name and
// the table's key follow. Returns whether it renamed.
bool RenameMovedField(ObPTable& table, const std::vector<const ObSchemaField*>& live, SchemaDifferences* log);

}  // namespace zantrel
