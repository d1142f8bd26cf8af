// Synchronisation: brings the project's tables, views, custom views and reports
// in step with the live database, keeping every generation setting the user
// made on what still exists and asking whether to keep a changed primary key.
#pragma once

#include <string>

#include "model/project.h"
#include "schema/schema_reader.h"
#include "sync/differences.h"

namespace zantrel {

// What the check counted, and the failure it noted last (a custom view that
// does not read, a report without its source) or "".
struct CheckResult {
  int16_t count = 0;
  std::string note;
};

// Compares the project with the live database and counts the differences,
// listed in differences when given; throws Error when the database cannot be
// read. Changes nothing but the custom views' TblCustomError.
CheckResult CheckDatabase(ObPModel& project, SchemaDifferences* differences = nullptr);
// Brings the project in step with the live database; changes, when given,
// lists what it did. Throws Error when the database cannot be read, and
// err::kWouldDropTables, changing nothing, when the database has no tables or
// lacks more than half of the project's tables and views, unless allowDrop.
void Synchronize(ObPModel& project, SchemaDifferences* changes = nullptr, bool allowDrop = false);
// One custom view or report rebuilt from its SQL or its source table.
void SyncCustomView(ObPModel& project, const std::string& table);
void SyncReportTable(ObPModel& project, const std::string& table);

class DatabaseSync {
 public:
  // log, when given, receives what the passes change; without allowDrop a pass
  // that would remove most tables throws err::kWouldDropTables first.
  DatabaseSync(ObPModel& project, SchemaDifferences* log, bool allowDrop = false);

  // The three passes in order: tables and views from live, then custom views
  // and reports.
  void SyncAll(const SchemaReader& live);

  void SyncTablesAndViews(const SchemaReader& live);
  void SyncCustomViews();
  void SyncReports();
  // A failure of the view's SQL stays in its TblCustomError; an unknown table
  // throws err::kTableNotFound.
  void SyncCustom(const std::string& sTable);
  void SyncReport(const std::string& sTable);

 private:
  void UseProjectDefaults();
  void RefuseMassDrop(const SchemaReader& live) const;
  void DropTables(const SchemaReader& live);
  void SyncTable(const ObSchemaTable& live, ObPTable& table);
  void SyncKey(const ObSchemaTable& live, ObPTable& table);
  void AddTable(const ObSchemaTable& live);

  ObPModel& project_;
  ObPDatabase& database_;
  SchemaDifferences* log_;
  bool allowDrop_;
};

}  // namespace zantrel
