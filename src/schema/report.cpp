// Reports: a copy of a loaded table whose fields keep every generation setting
// of the source but are never added, edited, viewed, searched or registered.
#include "core/context.h"
#include "model/project.h"
#include "platform/status.h"
#include "schema/connection.h"

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

void ObP::LoadReport(const std::string& sTableName, const std::string& sFromTableName) {
  const std::string& product = Context().product.errorName;
  ObPDatabase* database = openDatabase();
  if (!database) {
    Context().projErr = product + ": Database not loaded!";
    return;
  }
  ObPTables& tables = database->tables();
  if (tables.FindExact(sTableName)) {
    Context().projErr = product + ": Table/View " + sTableName + " already exists!";
    return;
  }
  ObPTable* source = tables.FindExact(sFromTableName);
  if (!source || !source->TblLoaded()) {
    Context().projErr = product + ": Table/View " + sFromTableName + " not exist or loaded!";
    return;
  }
  BusyScope busy(" - Loading " + sTableName);
  ObPStatus& status = Status();
  status.ShowStatus2(hWnd(), status.caption);
  status.shown = true;
  status.DispStatus("Please wait ...");

  Ref<ObPTable> report = tables.Add(sTableName);
  report->TblType("REPORT");
  report->TblRptSrc(sFromTableName);
  report->TblLoaded(true);
  report->TblGen(true);
  report->LoadTableDefault();
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
  if (status.shown) {
    status.CloseStatus();
    status.shown = false;
  }
  Context().projErr.clear();
}

}  // namespace zantrel
