// The passes over custom views (fields re-read from their SQL) and reports
// (fields merged from their source table). Problems stay with the table in
// TblCustomError instead of stopping the run.
#include <vector>

#include "core/context.h"
#include "core/error.h"
#include "core/text.h"
#include "schema/load.h"
#include "sync/field_match.h"
#include "sync/live_schema.h"
#include "sync/synchronize.h"

namespace zantrel {

void DatabaseSync::SyncCustomViews() {
  UseProjectDefaults();
  StatusWindow window(project_.hWnd(), " - Synchronizing Custom Views ...");
  ObPTables& tables = database_.tables();
  for (const std::string& name : TableNamesOfType(tables, TableKind::CustomView)) SyncCustom(name);
  tables.SetSeq(1);
}

void DatabaseSync::SyncReports() {
  UseProjectDefaults();
  StatusWindow window(project_.hWnd(), " - Synchronizing Reports ...");
  ObPTables& tables = database_.tables();
  for (const std::string& name : TableNamesOfType(tables, TableKind::Report)) SyncReport(name);
  tables.SetSeq(1);
}

void DatabaseSync::SyncCustom(const std::string& sTable) {
  ObPTable* view = database_.tables().Find(sTable);
  if (!view) throw Error(err::kTableNotFound, ProductError(": Table " + sTable + " not found!"));
  SchemaReader live;
  try {
    LoadLiveCustomView(live, database_, view->TblName(), view->TblCustomSQL());
  } catch (const Error& e) {
    view->TblCustomError(e.description());
    if (log_) log_->Add(DifferenceKind::Failure, view->TblName(), TableKind::CustomView).message = e.description();
    return;
  }
  view->TblCustomError("");
  const ObSchemaTable& result = live.db().tables.Tbl.back();
  std::vector<const ObSchemaField*> fields;
  for (int16_t j = 1; j <= result.TblFldCnt; ++j) fields.push_back(&result.TblFields.Fld[j]);
  MergeFields(*view, fields, NewFieldRule::Column, log_);
  ParseCustomSql(*view);
  view->Fields().SetSeq(1);
}

void DatabaseSync::SyncReport(const std::string& sTable) {
  ObPTables& tables = database_.tables();
  ObPTable* report = tables.Find(sTable);
  if (!report) throw Error(err::kTableNotFound, ProductError(": Table " + sTable + " not found!"));
  auto fail = [&](std::string_view text) {
    report->TblCustomError(ProductError(text));
    if (log_)
      log_->Add(DifferenceKind::Failure, report->TblName(), TableKind::Report).message = report->TblCustomError();
  };
  ObPTable* source = FindExactName(tables, report->TblRptSrc());
  if (!source) return fail(": Source Table not found");
  if (!source->TblCustomError().empty()) return fail(": Source Table Error");

  ObPFields& sourceFields = source->Fields();
  std::vector<ObSchemaField> records;
  records.reserve(sourceFields.Count());
  for (int32_t i = 0; i < sourceFields.Count(); ++i) records.push_back(RecordOf(*sourceFields.At(i)));
  std::vector<const ObSchemaField*> fields;
  for (const ObSchemaField& r : records) fields.push_back(&r);
  MergeFields(*report, fields, NewFieldRule::ReportField, log_);
  report->Fields().SetSeq(1);
  report->TblCustomError("");
}

void SyncCustomView(ObPModel& project, const std::string& sTable) {
  if (!project.openDatabase()) throw Error(err::kDatabaseNotLoaded, ProductError(": Database not loaded!"));
  DatabaseSync(project, nullptr).SyncCustom(sTable);
}

void SyncReportTable(ObPModel& project, const std::string& sTable) {
  if (!project.openDatabase()) throw Error(err::kDatabaseNotLoaded, ProductError(": Database not loaded!"));
  DatabaseSync(project, nullptr).SyncReport(sTable);
}

}  // namespace zantrel
