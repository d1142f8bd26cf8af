// Synchronisation: brings the project's tables, views, custom views and reports
// in step with the live database, keeping every generation setting the user
// made on what still exists and asking whether to keep a changed primary key.
#pragma once

#include <string>

#include "model/project.h"
#include "schema/obp_schema.h"
#include "sync/differences.h"

namespace zantrel {

class DatabaseSync {
 public:
  // log, when given, receives what the passes change.
  DatabaseSync(ObP& project, SchemaDifferences* log);

  // The three passes in order: tables and views from live, then custom views
  // and reports.
  void SyncAll(const ObPSchema& live);

  void SyncTablesAndViews(const ObPSchema& live);
  void SyncCustomViews();
  void SyncReports();
  // A failure stays in the table's TblCustomError and clears ProjErr.
  void SyncCustom(const std::string& sTable);
  void SyncReport(const std::string& sTable);

 private:
  void UseProjectDefaults();
  void DropTables(const ObPSchema& live);
  void SyncTable(const ObSchemaTable& live, ObPTable& table);
  void SyncKey(const ObSchemaTable& live, ObPTable& table);
  void AddTable(const ObSchemaTable& live);

  ObP& project_;
  ObPDatabase& database_;
  SchemaDifferences* log_;
};

}  // namespace zantrel
