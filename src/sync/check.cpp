#include "sync/check.h"

#include <algorithm>
#include <exception>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/context.h"
#include "core/error.h"
#include "core/text.h"
#include "schema/connection.h"
#include "sync/field_match.h"
#include "sync/live_schema.h"
#include "sync/synchronize.h"

namespace zantrel {
namespace {

int16_t Count16(int32_t n) { return static_cast<int16_t>(std::min<int32_t>(n, INT16_MAX)); }


// The project field of a live field's exact name. Fields usually stand in the
// database's order, so the one at the same position is tried before a lookup.
ObPField* MatchingField(ObPFields& fields, int32_t position, const std::string& name) {
  if (position < fields.Count()) {
    ObPField* f = fields.At(position);
    const Variant* own = f->Properties().FindValue("FldName", ObPField::kSetting_FldName);
    if (own && own->IsString() && own->AsString() == name) return f;
  }
  return FindExactName(fields, name);
}

}  // namespace

DatabaseCheck::DatabaseCheck(ObPModel& project, SchemaReader& live, SchemaDifferences* differences)
    : project_(project), database_(*project.openDatabase()), live_(live), differences_(differences) {}

int16_t DatabaseCheck::CheckAll() {
  return Count16(int32_t{CheckTablesAndViews()} + CheckCustomViews() + CheckReports());
}

int16_t DatabaseCheck::CheckTablesAndViews() {
  StatusWindow window(project_.hWnd(), " - Checking Database ...");
  ObPTables& tables = database_.tables();
  const std::vector<ObSchemaTable>& records = live_.db().tables.Tbl;
  int32_t count = 0;
  std::unordered_map<std::string, std::string> liveTypes;  // exact name -> type
  for (int16_t i = 1; i <= live_.tblcnt(); ++i) {
    const ObSchemaTable& live = records[i];
    liveTypes.emplace(live.TblName, live.TblType);
    ObPTable* table = FindExactName(tables, live.TblName);
    if (!table || table->TblType() != live.TblType) {
      ++count;
      if (differences_) differences_->Add(DifferenceKind::NewTable, live.TblName, live.TblType);
      continue;
    }
    if (table->TblLoaded()) count += CheckTable(live, *table);
  }
  for (int32_t i = 0; i < tables.Count(); ++i) {
    ObPTable& table = *tables.At(i);
    const std::string type = table.TblType();
    if (!IsTableOrView(TableKindOf(type))) continue;
    const std::string name = table.TblName();
    auto it = liveTypes.find(name);
    if (it != liveTypes.end() && it->second == type) continue;
    ++count;
    if (differences_) differences_->Add(DifferenceKind::DroppedTable, name, type);
  }
  return Count16(count);
}

int32_t DatabaseCheck::CheckTable(const ObSchemaTable& live, ObPTable& table) {
  int32_t count = 0;
  const std::string key = table.TblKey();
  if (key != live.TblKey) {
    ++count;
    if (differences_)
      differences_->Add(DifferenceKind::ChangedKey, live.TblName, live.TblType).attributes = {
          {"TblKey", key, live.TblKey}};
  }
  return count + CompareFields(live, table);
}

// Unchanged, changed, new and dropped fields of a loaded table or custom view;
// returns changed + new + dropped.
int32_t DatabaseCheck::CompareFields(const ObSchemaTable& live, ObPTable& table) {
  ObPFields& fields = table.Fields();
  int32_t unchanged = 0, changed = 0, added = 0;
  for (int16_t j = 1; j <= live.TblFldCnt; ++j) {
    const ObSchemaField& l = live.TblFields.Fld[j];
    ObPField* f = MatchingField(fields, j - 1, l.FldName);
    if (!f) {
      ++added;
      if (differences_) differences_->Add(DifferenceKind::NewField, live.TblName, table.TblType(), l.FldName);
      continue;
    }
    CheckedAttributes project = CheckedAttributes::Of(*f), database = CheckedAttributes::Of(l);
    if (project == database) {
      ++unchanged;
      continue;
    }
    ++changed;
    if (differences_)
      differences_->Add(DifferenceKind::ChangedField, live.TblName, table.TblType(), l.FldName).attributes =
          ChangedAttributes(project, database);
  }
  const int32_t dropped = fields.Count() - unchanged - changed;
  if (dropped > 0 && differences_) NoteDroppedFields(table, live);
  return changed + added + dropped;
}

void DatabaseCheck::NoteDroppedFields(ObPTable& table, const ObSchemaTable& live) {
  std::unordered_set<std::string> names;
  for (int16_t j = 1; j <= live.TblFldCnt; ++j) names.insert(live.TblFields.Fld[j].FldName);
  ObPFields& fields = table.Fields();
  for (int32_t i = 0; i < fields.Count(); ++i) {
    std::string name = fields.At(i)->FldName();
    if (!names.count(name)) differences_->Add(DifferenceKind::DroppedField, table.TblName(), table.TblType(), name);
  }
}

int16_t DatabaseCheck::CheckCustomViews() {
  StatusWindow window(project_.hWnd(), " - Checking Custom View ...");
  int32_t count = 0;
  for (const std::string& name : TableNamesOfType(database_.tables(), TableKind::CustomView))
    count += CheckCustomView(name);
  return Count16(count);
}

int16_t DatabaseCheck::CheckCustomView(const std::string& name) {
  ObPTable* view = database_.tables().Find(name);
  if (!view) return 0;
  try {
    LoadLiveCustomView(live_, database_, view->TblName(), view->TblCustomSQL());
    note_.clear();
  } catch (const Error& e) {
    note_ = e.description();
    view->TblCustomError(note_);
    if (differences_) differences_->Add(DifferenceKind::Failure, name, TableKind::CustomView).message = note_;
    return 0;
  }
  view->TblCustomError("");
  return Count16(CompareFields(live_.db().tables.Tbl.back(), *view));
}

int16_t DatabaseCheck::CheckReports() {
  StatusWindow window(project_.hWnd(), " - Checking Report ...");
  int32_t count = 0;
  for (const std::string& name : TableNamesOfType(database_.tables(), TableKind::Report)) count += CheckReport(name);
  return Count16(count);
}

int16_t DatabaseCheck::CheckReport(const std::string& name) {
  ObPTables& tables = database_.tables();
  ObPTable* report = tables.Find(name);
  if (!report) return 0;
  ObPTable* source = FindExactName(tables, report->TblRptSrc());
  if (!source) {
    note_ = ProductError(": Source Table not found");
    if (differences_) differences_->Add(DifferenceKind::Failure, name, TableKind::Report).message = note_;
    return 0;
  }
  if (differences_ && !source->TblCustomError().empty())
    differences_->Add(DifferenceKind::Failure, name, TableKind::Report).message = ProductError(": Source Table Error");
  // Each report field against the source field of its name; what the source
  // has beyond them counts as dropped.
  ObPFields& fields = report->Fields();
  ObPFields& sourceFields = source->Fields();
  int32_t unchanged = 0, changed = 0, missing = 0;
  for (int32_t i = 0; i < fields.Count(); ++i) {
    ObPField& f = *fields.At(i);
    const std::string fieldName = f.FldName();
    ObPField* s = FindExactName(sourceFields, fieldName);
    if (!s) {
      ++missing;
      if (differences_) differences_->Add(DifferenceKind::DroppedField, name, TableKind::Report, fieldName);
      continue;
    }
    CheckedAttributes mine = CheckedAttributes::Of(f), theirs = CheckedAttributes::Of(*s);
    if (mine == theirs) {
      ++unchanged;
      continue;
    }
    ++changed;
    if (differences_)
      differences_->Add(DifferenceKind::ChangedField, name, TableKind::Report, fieldName).attributes =
          ChangedAttributes(mine, theirs);
  }
  const int32_t dropped = sourceFields.Count() - unchanged - changed;
  if (dropped > 0 && differences_) {
    for (int32_t i = 0; i < sourceFields.Count(); ++i) {
      const std::string fieldName = sourceFields.At(i)->FldName();
      if (!FindExactName(fields, fieldName))
        differences_->Add(DifferenceKind::NewField, name, TableKind::Report, fieldName);
    }
  }
  return Count16(changed + missing + dropped);
}

CheckResult CheckDatabase(ObPModel& project, SchemaDifferences* differences) {
  ObPDatabase* database = project.openDatabase();
  if (!database) throw Error(err::kDatabaseNotLoaded, ProductError(": Database not loaded!"));
  BusyScope busy(" - Database Synchronization check ...");
  SchemaReader live;
  LoadLiveSchema(live, *database);
  try {
    DatabaseCheck check(project, live, differences);
    const int16_t count = check.CheckAll();
    return {count, check.note()};
  } catch (const Error&) {
    throw;
  } catch (const std::exception& e) {
    throw Error(err::kSynchronization, ProductError(std::string(": ") + e.what()));
  }
}

}  // namespace zantrel
