// The database check: compares every table, view, custom view and report of the
// project with what the database reports now and counts the differences. It
// changes nothing in the project but the custom views' TblCustomError.
#pragma once

#include <cstdint>
#include <string>

#include "model/project.h"
#include "schema/schema_reader.h"
#include "sync/differences.h"

namespace zantrel {

class DatabaseCheck {
 public:
  // live: the reference loader after a successful LoadDB; differences may be null.
  DatabaseCheck(ObPModel& project, SchemaReader& live, SchemaDifferences* differences);

  // The three checks, summed.
  int16_t CheckAll();

  // New and dropped tables and views, changed keys, new, changed and dropped fields.
  int16_t CheckTablesAndViews();
  int16_t CheckCustomViews();
  // A failing query is kept in the view's TblCustomError and compares nothing.
  int16_t CheckCustomView(const std::string& name);
  int16_t CheckReports();
  // A missing source is noted: "… : Source Table not found".
  int16_t CheckReport(const std::string& name);

  // The last failure the custom view and report checks noted, "" when the last
  // custom view read succeeded after it; the check goes on after each.
  const std::string& note() const { return note_; }

 private:
  int32_t CheckTable(const ObSchemaTable& live, ObPTable& table);
  int32_t CompareFields(const ObSchemaTable& live, ObPTable& table);
  void NoteDroppedFields(ObPTable& table, const ObSchemaTable& live);

  ObPModel& project_;
  ObPDatabase& database_;
  SchemaReader& live_;
  SchemaDifferences* differences_;
  std::string note_;
};

}  // namespace zantrel
