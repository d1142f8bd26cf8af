// Schema acquisition for a project (every failure throws Error): the database names a server offers, the
// database with its tables and views (all at once, or with the dynamic-load
// switch only their names, the columns of one table on demand), custom views
// made from a SELECT and reports over a loaded table. Each new table and field
// gets its defaults (schema/field_defaults.h).
#pragma once

#include <string>

#include "model/project.h"
#include "schema/connection.h"
#include "schema/driver.h"

namespace zantrel {

// Whether the thread's driver has the Java runtime loaded.
bool JVMLoaded();

// The databases the server of c offers, one per CR LF line.
std::string LoadDatabaseNames(ObPModel& project, const Connection& c);

// Adds the database c names and loads its tables; a failure leaves no database.
void LoadDatabase(ObPModel& project, const Connection& c);
// Loads the columns of a table the database listed but did not load.
void LoadTable(ObPModel& project, const std::string& tableName);
// Removes the database and the security settings that named its tables; false
// when there was none.
bool UnloadDatabase(ObPModel& project);

// A custom view from a SELECT; with copyFields its columns take the settings
// of the loaded columns they come from.
void AddCustomView(ObPModel& project, const std::string& tableName, const std::string& sql, bool copyFields);
// The SQL of a new custom view without its comments and trailing ";": every
// page of the view wraps it in parentheses, so it must be one statement, which
// the driver then prepares (and refuses unless a SELECT). Throws
// err::kCustomViewSql with the reason otherwise.
std::string CustomViewSelect(std::string_view sql);
// A report over a loaded table: its fields keep the source's settings.
void AddReport(ObPModel& project, const std::string& tableName, const std::string& fromTableName);

// The steps the loaders are made of. LoadDatabaseTables connects with c and
// loads every table and view ("" as table name) or one; LoadCustomViewTable
// adds one custom view to the database.
void LoadDatabaseTables(ObPDatabase& database, const Connection& c, const std::string& tableName);
void LoadCustomViewTable(ObPDatabase& database, const std::string& tableName, const std::string& sql);
// A table from what the driver reports (only its name and type when loadAll
// and the dynamic-load switch is on), then its defaults.
void LoadTableFromDriver(ObPTable& table, const DriverTable& driverTable, bool loadAll);
// A field from what the driver reports, then its defaults.
void LoadFieldFromDriver(ObPField& field, const DriverField& driverField);
// The aliases and source columns of a custom view's fields, from its SELECT.
void ParseCustomSql(ObPTable& view);

}  // namespace zantrel
