// Custom views: a table made from a SELECT. The driver describes the SELECT's
// columns without running it; a result with two columns of one name is refused;
// the SELECT parser traces each column to its source, and with bCopyFields the
// columns take the settings of their loaded source columns.
#include "core/context.h"
#include "core/error.h"
#include "core/text.h"
#include "platform/status.h"
#include "schema/connection.h"
#include "schema/load.h"
#include "schema/select_parser.h"

namespace zantrel {
namespace {

// The first name that a later column repeats exactly, or "".
std::string DuplicateColumn(const DriverTable& view) {
  for (std::size_t i = 0; i < view.Fields.size(); ++i)
    for (std::size_t j = i + 1; j < view.Fields.size(); ++j)
      if (view.Fields[i].Name == view.Fields[j].Name) return view.Fields[i].Name;
  return "";
}

// Copies every setting with the Sync flag from one field into another.
void CopySyncSettings(const ObPField& from, ObPField& to) {
  const ObProperties& src = from.Properties();
  for (int32_t i = 0; i < src.Count(); ++i) {
    const PropertyMeta& m = src.MetaAt(i);
    if (!m.sync) continue;
    if (Variant* v = to.Properties().FindValue(m.name)) *v = src.ValueAt(i);
  }
}

void CopyFromSources(ObPTables& tables, ObPTable& view) {
  ObPFields& fields = view.Fields();
  for (int32_t i = 0; i < fields.Count(); ++i) {
    ObPField& f = *fields.At(i);
    if (f.FldSourceTable().empty() || f.FldSourceField().empty()) continue;
    ObPTable* source = tables.FindExact(f.FldSourceTable());
    if (!source || !source->TblLoaded()) continue;
    ObPFields& sourceFields = source->Fields();
    for (int32_t j = 0; j < sourceFields.Count(); ++j) {
      if (sourceFields.At(j)->FldName() != f.FldSourceField()) continue;
      CopySyncSettings(*sourceFields.At(j), f);
      break;
    }
  }
}

}  // namespace

void AddCustomView(ObPModel& project, const std::string& sTableName, const std::string& sSQL, bool bCopyFields) {
  ObPDatabase* database = project.openDatabase();
  if (!database) throw Error(err::kDatabaseNotLoaded, ProductError(": Database not loaded!"));
  if (database->tables().Find(sTableName))  // names are keys without letter case
    throw Error(err::kTableExists, ProductError(": Table/View " + sTableName + " already exists!"));
  BusyScope busy(" - Loading " + sTableName);
  StatusScope window(&ObPStatus::ShowStatus2, project.hWnd(), Status().caption);
  Status().DispStatus("Please wait ...");
  Context().sqlQuote = project.sqlquote();
  Context().dateFormat = project.defaultDateFormat();

  LoadCustomViewTable(*database, sTableName, sSQL);
  if (!bCopyFields) return;
  if (ObPTable* view = database->tables().Find(sTableName)) CopyFromSources(database->tables(), *view);
}

void LoadCustomViewTable(ObPDatabase& database, const std::string& sTableName, const std::string& sSQL) {
  const Connection c = ConnectionOf(database);
  ObPTables& tables = database.tables();
  Driver& driver = ConnectDriver(c, c.dbName);
  ThrowIfDriverFailed(driver);
  Ref<ObPTable> table = tables.Add(sTableName);
  try {
    table->TblLoaded(true);
    DriverTable view = driver.CustomView(sTableName, sSQL);
    ThrowIfDriverFailed(driver);
    if (std::string dup = DuplicateColumn(view); !dup.empty())
      throw Error(err::kDuplicateColumns,
                  "Columns with same field name: " + dup + ". Please create Alias for the fields.");
    table->TblCustomSQL(sSQL);
    LoadTableFromDriver(*table, view, false);
  } catch (const Error&) {
    tables.Delete(Variant(sTableName));
    throw;
  }
}

void ParseCustomSql(ObPTable& view) {
  std::optional<ParsedSelect> select = ParseSelect(view.TblCustomSQL());
  if (!select) return;
  ObPFields& fields = view.Fields();
  for (int32_t i = 0; i < fields.Count(); ++i) {
    ObPField& f = *fields.At(i);
    std::optional<FieldSource> source = GetFieldSource(*select, f.FldName());
    if (!source) continue;  // a column of a *: the server's account stands
    f.FldAlias(source->alias);
    f.FldSourceName(source->sourceName);
    // The server's account of the source wins where it has one: it sees
    // through unqualified columns of joins.
    if (f.FldSourceTable().empty()) {
      f.FldSourceTable(source->sourceTable);
      f.FldSourceField(source->sourceField);
    }
  }
}

}  // namespace zantrel
