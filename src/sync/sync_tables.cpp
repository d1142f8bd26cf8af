// SynchronizeDB and its pass over tables and views.
#include <exception>
#include <unordered_map>
#include <vector>

#include "core/context.h"
#include "core/convert.h"
#include "core/error.h"
#include "core/text.h"
#include "platform/prompter.h"
#include "schema/connection.h"
#include "schema/field_defaults.h"
#include "sync/field_match.h"
#include "sync/live_schema.h"
#include "sync/synchronize.h"

namespace zantrel {
namespace {


std::vector<const ObSchemaField*> LiveFields(const ObSchemaTable& live) {
  std::vector<const ObSchemaField*> out;
  for (int16_t j = 1; j <= live.TblFldCnt; ++j) out.push_back(&live.TblFields.Fld[j]);
  return out;
}

// Asks whether to keep the project's key of a table; true for Keep.
bool KeepPrimaryKey(const std::string& table, const std::string& projectKey, const std::string& liveKey) {
  Prompt prompt;
  prompt.id = "primarykey";
  prompt.caption = Context().product.name;
  prompt.message = "Primary key for \"" + table + "\" has been modified. Keep/Update primary Key?";
  prompt.buttons = {"Keep", "Update"};
  prompt.safeButton = 0;
  prompt.details = "project key: " + projectKey + "\ndatabase key: " + liveKey;
  return Prompts().Ask(prompt).button == 0;
}

// The type of each live table and view by name.
std::unordered_map<std::string, std::string> LiveTypes(const SchemaReader& live) {
  std::unordered_map<std::string, std::string> types;
  for (int16_t i = 1; i <= live.tblcnt(); ++i) {
    const ObSchemaTable& t = live.db().tables.Tbl[i];
    types.emplace(t.TblName, t.TblType);
  }
  return types;
}

}  // namespace

DatabaseSync::DatabaseSync(ObPModel& project, SchemaDifferences* log, bool allowDrop)
    : project_(project), database_(*project.openDatabase()), log_(log), allowDrop_(allowDrop) {}

void DatabaseSync::SyncAll(const SchemaReader& live) {
  SyncTablesAndViews(live);
  SyncCustomViews();
  SyncReports();
}

// New fields and tables get their defaults from the project's date format and
// the database's security default.
void DatabaseSync::UseProjectDefaults() {
  int16_t format = 0;
  if (const Variant* v = project_.Properties().FindValue("defaultDateFormat")) {
    try {
      if (!v->IsEmpty()) format = CInt(*v);
    } catch (const Error&) {
      format = 0;
    }
  }
  Context().dateFormat = format;
  Context().secDefault = database_.SecDefault();
}

void DatabaseSync::SyncTablesAndViews(const SchemaReader& live) {
  UseProjectDefaults();
  if (!allowDrop_) RefuseMassDrop(live);
  StatusWindow window(project_.hWnd(), " - Synchronizing Tables and Views ...");
  DropTables(live);
  ObPTables& tables = database_.tables();
  const std::vector<ObSchemaTable>& records = live.db().tables.Tbl;
  for (int16_t i = 1; i <= live.tblcnt(); ++i) {
    const ObSchemaTable& record = records[i];
    ObPTable* table = FindExactName(tables, record.TblName);
    if (table && table->TblType() == record.TblType) {
      if (table->TblLoaded()) SyncTable(record, *table);
      continue;
    }
    AddTable(record);
  }
}

// An emptied or truncated database file reads as a valid database without
// tables; taking it at its word would delete the user's work on every table.
void DatabaseSync::RefuseMassDrop(const SchemaReader& live) const {
  const auto liveTypes = LiveTypes(live);
  int32_t kept = 0, lost = 0;
  ObPTables& tables = database_.tables();
  for (int32_t i = 0; i < tables.Count(); ++i) {
    ObPTable& table = *tables.At(i);
    if (!IsTableOrView(TableKindOf(table.TblType()))) continue;
    auto it = liveTypes.find(table.TblName());
    ++(it != liveTypes.end() && it->second == table.TblType() ? kept : lost);
  }
  if (lost == 0 || (!liveTypes.empty() && lost <= kept)) return;
  throw Error(err::kWouldDropTables,
              ProductError(": Synchronization would remove " + std::to_string(lost) + " of " +
                           std::to_string(lost + kept) + " tables and views" +
                           (liveTypes.empty() ? " (the database has no tables)" : "") +
                           ". Nothing was changed."));
}

// Tables and views that match no live table by name and type.
void DatabaseSync::DropTables(const SchemaReader& live) {
  const auto liveTypes = LiveTypes(live);
  ObPTables& tables = database_.tables();
  for (int32_t i = tables.Count() - 1; i >= 0; --i) {
    ObPTable& table = *tables.At(i);
    const std::string name = table.TblName(), type = table.TblType();
    if (!IsTableOrView(TableKindOf(type))) continue;
    if (auto it = liveTypes.find(name); it != liveTypes.end() && it->second == type) continue;
    if (log_) log_->Add(DifferenceKind::DroppedTable, name, type);
    tables.Delete(Variant(name));
  }
}

void DatabaseSync::SyncTable(const ObSchemaTable& live, ObPTable& table) {
  MergeFields(table, LiveFields(live), NewFieldRule::Column, log_);
  SyncKey(live, table);
}

// A key that names a vanished field gives way to the database's without a
// question; a key that still differs is the user's choice.
void DatabaseSync::SyncKey(const ObSchemaTable& live, ObPTable& table) {
  const std::string before = table.TblKey();
  std::string key = before;
  if (!key.empty() && !ObPModel::KeyFieldsExist(table)) key.clear();
  if (key.empty()) key = live.TblKey;
  bool kept = false;
  if (key != live.TblKey) {
    kept = KeepPrimaryKey(table.TblName(), key, live.TblKey);
    if (!kept) key = live.TblKey;
  }
  if (key != before) table.TblKey(key);
  if (log_ && (key != before || kept)) {
    Difference& d = log_->Add(DifferenceKind::ChangedKey, table.TblName(), table.TblType());
    d.attributes = {{"TblKey", before, kept ? live.TblKey : key}};
    d.kept = kept;
  }
}

void DatabaseSync::AddTable(const ObSchemaTable& live) {
  Ref<ObPTable> table = database_.tables().Add(live.TblName);
  table->TblType(live.TblType);
  if (log_) log_->Add(DifferenceKind::NewTable, live.TblName, live.TblType);
  if (project_.DynamicLoadDB()) {
    table->TblLoaded(false);
    table->TblGen(false);
    return;
  }
  table->TblGen(live.TblGen);
  table->TblKey(live.TblKey);
  LoadTableDefault(*table);
  table->TblLoaded(true);
  ObPFields& fields = table->Fields();
  for (const ObSchemaField* f : LiveFields(live)) AddField(fields, *f, NewFieldRule::NewTableColumn);
}

void Synchronize(ObPModel& project, SchemaDifferences* changes, bool allowDrop) {
  ObPDatabase* database = project.openDatabase();
  if (!database) throw Error(err::kDatabaseNotLoaded, ProductError(": Database not loaded!"));
  BusyScope busy(" - Database Synchronization ...");
  SchemaReader live;
  LoadLiveSchema(live, *database);
  try {
    DatabaseSync(project, changes, allowDrop).SyncAll(live);
    project.SetPrimaryKeyFlags();
  } catch (const Error&) {
    throw;
  } catch (const std::exception& e) {
    throw Error(err::kSynchronization, ProductError(std::string(": ") + e.what()));
  }
}

}  // namespace zantrel
