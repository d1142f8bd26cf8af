// Reports: a copy of a loaded table whose fields keep every generation setting
// of the source but are never added, edited, viewed, searched or registered.
#include "core/context.h"
#include "core/error.h"
#include "core/text.h"
#include "platform/status.h"
#include "schema/connection.h"
#include "schema/field_defaults.h"
#include "schema/load.h"

namespace zantrel {
namespace {

// Every setting of the source field except its name; FldSeq stays the list's.
void CopySettings(const ObPField& from, ObPField& to) {
  const ObProperties& src = from.Properties();
  for (int32_t i = 0; i < src.Count(); ++i) {
    const std::string& name = src.MetaAt(i).name;
    if (name == "FldName" || name == "FldSeq") continue;
    if (Variant* v = to.Properties().FindValue(name)) *v = src.ValueAt(i);
  }
}

}  // namespace

void AddReport(ObPModel& project, const std::string& sTableName, const std::string& sFromTableName) {
  ObPDatabase* database = project.openDatabase();
  if (!database) throw Error(err::kDatabaseNotLoaded, ProductError(": Database not loaded!"));
  ObPTables& tables = database->tables();
  if (tables.Find(sTableName))  // names are keys without letter case
    throw Error(err::kTableExists, ProductError(": Table/View " + sTableName + " already exists!"));
  ObPTable* source = tables.FindExact(sFromTableName);
  if (!source || !source->TblLoaded())
    throw Error(err::kSourceNotLoaded, ProductError(": Table/View " + sFromTableName + " not exist or loaded!"));
  BusyScope busy(" - Loading " + sTableName);
  StatusScope window(&ObPStatus::ShowStatus2, project.hWnd(), Status().caption);
  Status().DispStatus("Please wait ...");

  Ref<ObPTable> report = tables.Add(sTableName);
  report->TblType(std::string(TableKindName(TableKind::Report)));
  report->TblRptSrc(sFromTableName);
  report->TblLoaded(true);
  report->TblGen(true);
  LoadTableDefault(*report);
  ObPFields& from = source->Fields();
  for (int32_t i = 0; i < from.Count(); ++i) {
    Ref<ObPField> f = report->Fields().Add(from.At(i)->FldName());
    CopySettings(*from.At(i), *f);
    f->FldAdd(false);
    f->FldView(false);
    f->FldEdit(false);
    f->FldSearch(false);
    f->FldBasicSearch(false);
    f->FldRegister(false);
  }
}

}  // namespace zantrel
