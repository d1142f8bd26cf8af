// Custom views: a table made from a SELECT. The driver describes the SELECT's
// columns without running it; a result with two columns of one name is refused;
// the SELECT parser traces each column to its source, and with bCopyFields the
// columns take the settings of their loaded source columns.
#include <algorithm>
#include <cctype>

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

[[noreturn]] void RefuseSql(const std::string& reason) {
  throw Error(err::kCustomViewSql, ProductError(": The custom view's SQL " + reason + "!"));
}

// The end of the quoted text or comment that starts at sql[at], or at itself.
std::size_t SkipQuotedOrComment(std::string_view sql, std::size_t at) {
  const char c = sql[at];
  if (c == '\'' || c == '"' || c == '`') {
    for (std::size_t i = at + 1; i < sql.size(); ++i)
      if (sql[i] == c) {
        if (i + 1 < sql.size() && sql[i + 1] == c) ++i;  // a doubled quote stays inside
        else return i + 1;
      }
    RefuseSql("has an unclosed quote");
  }
  if (sql.substr(at, 2) == "--") {
    const std::size_t end = sql.find('\n', at);
    return end == std::string_view::npos ? sql.size() : end;
  }
  if (sql.substr(at, 2) == "/*") {
    const std::size_t end = sql.find("*/", at + 2);
    if (end == std::string_view::npos) RefuseSql("has an unclosed comment");
    return end + 2;
  }
  return at;
}

}  // namespace

std::string CustomViewSelect(std::string_view sql) {
  std::string text;
  bool ended = false;  // a ";" seen: only blanks and comments may follow
  for (std::size_t at = 0; at < sql.size();) {
    const std::size_t next = SkipQuotedOrComment(sql, at);
    const bool comment = next > at && sql[at] != '\'' && sql[at] != '"' && sql[at] != '`';
    if (comment) {
      text += ' ';
    } else if (sql[at] == ';') {
      ended = true;
    } else if (ended && !std::isspace(static_cast<unsigned char>(sql[at]))) {
      RefuseSql("holds more than one statement");
    } else {
      text.append(sql.substr(at, std::max(next, at + 1) - at));
    }
    at = std::max(next, at + 1);
  }
  const std::size_t from = text.find_first_not_of(" \t\r\n"), to = text.find_last_not_of(" \t\r\n");
  // Whether what remains is a SELECT is the database's to say, when it prepares it.
  return from == std::string::npos ? "" : text.substr(from, to - from + 1);
}

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

  LoadCustomViewTable(*database, sTableName, CustomViewSelect(sSQL));
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
