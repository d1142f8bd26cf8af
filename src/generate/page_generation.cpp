#include "generate/page_generation.h"

#include <algorithm>
#include <vector>

#include "core/context.h"
#include "core/names.h"
#include "core/text.h"
#include "core/text_list.h"
#include "generate/conditions.h"
#include "generate/generation_run.h"
#include "generate/output_files.h"
#include "model/project.h"
#include "model/schema_rules.h"
#include "platform/status.h"

namespace zantrel {
namespace {

// Adds where a page failed to the run's error, one line each.
void AppendError(GenerationRun& run, const std::string& text) { run.error += ProductError(text) + std::string(kCrLf); }

// The kinds of table whose pages the "table" controls make.
bool HasTablePages(TableKind kind) { return IsTableOrView(kind) || kind == TableKind::CustomView; }

// The page kinds a control of this type and id names in the page-name table.
bool NamesPageKind(const ObPControl& control, const std::string& id) {
  if (id == "login" || id == "logout") return true;
  if (control.Kind() == ControlKind::Table)
    for (const char* kind : kPageKinds)
      if (id == kind && id != "login" && id != "logout" && id != "blobview")
        return id != "js" || !control.CtrlTagExt.empty();
  return control.Kind() == ControlKind::Field && id == "blobview";
}

}  // namespace

PageGeneration::PageGeneration(ObPModel& project, GenerationRun& run, bool checkOnly)
    : project_(project),
      run_(run),
      database_(project.openDatabase()),
      checkOnly_(checkOnly),
      page_(run.script ? run.script->page : localPage_) {}

void PageGeneration::MakeCurrent(ObPTable* table, ObPField* field) {
  if (!database_) return;
  if (!table) {
    database_->tables().ClearCurrent();
    return;
  }
  database_->tables().SetItem(Variant(table->TblName()));
  if (field)
    table->Fields().SetItem(Variant(field->FldName()));
  else
    table->Fields().ClearCurrent();
}

// A custom expression reads TABLE and FIELD, so those are brought up to date first.
bool PageGeneration::ConditionHolds(const std::string& condition, int16_t initType) {
  if (run_.script && FoldName(condition).find("custom:") != std::string::npos)
    run_.script->engine().Run("System", "LoadCurrent", {Variant(initType)});
  return EvalCond(project_, run_, condition);
}

const std::vector<Variant>& PageGeneration::DetailTables(const std::string& master) {
  if (!detailsByMaster_) {
    detailsByMaster_.emplace();
    ObPTables* tables = database_ && database_->HasTables() ? &database_->tables() : nullptr;
    for (int32_t i = 0; tables && i < tables->Count(); ++i) {
      ObPTable* t = tables->At(i);
      if (t->TblGen() && !t->TblMasterTbl().empty())
        (*detailsByMaster_)[FoldName(t->TblMasterTbl())].push_back(ObjectVariant(Ref<ObPTable>(t)));
    }
  }
  static const std::vector<Variant> kNone;
  auto it = detailsByMaster_->find(FoldName(master));
  return it == detailsByMaster_->end() ? kNone : it->second;
}

bool PageGeneration::Cancelled() { return Status().StatusIsCancelled() != 0; }

std::string PageGeneration::ResolveExt(const std::string& extension) const {
  return extension == "*" ? project_.genExtension : extension;
}

void PageGeneration::SetPageNames() {
  std::function<std::string(const std::string&)> baseOf = [this](const std::string& name) {
    ObPTable* table = database_ ? database_->tables().Find(name) : nullptr;
    return table ? BuildOutputPath(project_, table->TblVar(), true, false) : std::string();
  };
  page_.Clear();
  page_.pageNameBaseOf = baseOf;
  page_.detailTablesOf = [this](const std::string& master) { return DetailTables(master); };
  if (!project_.P_Ext().empty()) project_.genExtension = page_.pageExtension = project_.P_Ext();
  if (!project_.P_DefaultPage().empty()) {
    page_.defaultPage = project_.P_DefaultPage();
    project_.genDefaultPage = Variant(page_.defaultPage);
  }
  if (database_) {
    int16_t kind = DBMSClass(database_->DBType());
    page_.isAccess = kind == 1;
    page_.isSqlServer = kind == 2;
    page_.isMySql = kind == 3;
    page_.isOracle = kind == 4;
  }
  for (int16_t i = 1; i <= run_.controls->Count(); ++i) {
    Ref<ObPControl> control = run_.controls->Item(i);
    std::string id = ToLowerText(control->CtrlID);
    if (!NamesPageKind(*control, id)) continue;
    if ((id == "login" || id == "logout") && !ConditionHolds(control->CtrlCond, 1)) continue;
    auto& half = control->CtrlTagExt.empty() ? page_.pages : page_.taggedPages;
    half[id] = PageName{control->CtrlOFile, ResolveExt(control->CtrlOExt)};
  }
}

void PageGeneration::CopyConnectionInfo() {
  if (!database_) return;
  page_.dbHost = database_->DBHost();
  page_.dbName = database_->DBName();
  page_.dbUser = database_->DBUID();
  page_.dbPassword = database_->DBPwd();
  page_.dbPort = database_->DBPort();
}

void PageGeneration::PrepareTable(ObPTable* table) {
  if (!table) return;
  TableState& state = page_.table;
  state = TableState{};
  state.name = table->TblName();
  state.caption = table->TblCaption();
  state.type = table->TblType();
  state.filter = table->TblFilter();
  page_.pageNameBase = BuildOutputPath(project_, table->TblVar(), true, false);
  ObPFields& fields = table->Fields();
  for (int32_t f = 0; f < fields.Count(); ++f) {
    if (fields.At(f)->FldOrder().empty()) continue;
    state.sortField = fields.At(f)->FldName();
    state.sortOrder = fields.At(f)->FldOrder();
    break;
  }
  state.key = table->TblKey();
  if (!state.key.empty() && !ObPModel::KeyFieldsExist(*table)) state.key.clear();
  state.hasKey = !state.key.empty();
  if (state.hasKey) {
    state.canAdd = table->TblAdd();
    for (int32_t f = 0; f < fields.Count(); ++f) {
      ObPField& field = *fields.At(f);
      state.canView = state.canView || field.FldView();
      state.canEdit = state.canEdit || (field.FldEdit() && field.FldName() != table->TblKey());
      state.hasUpload = state.hasUpload || field.FldHtmlTag() == "FILE";
    }
    if (!state.canView) table->TblView(false);
    state.canDelete = table->TblDelete();
    table->TblBlob(state.hasUpload);
  } else {
    table->TblAdd(false);
    table->TblCopy(false);
    table->TblView(false);
    table->TblEdit(false);
    table->TblInlineEdit(false);
    table->TblDelete(false);
  }
  std::string search = table->TblSrchType();
  state.search = search.empty() || search == "BASIC" || search == "ADVANCED" || search == "BOTH";
  state.basicSearch = search.empty() || search == "BASIC" || search == "BOTH";
  state.advancedSearch = search == "ADVANCED" || search == "BOTH";
}

int32_t PageGeneration::CountTablePages() {
  int32_t total = 0;
  if (!database_ || !database_->HasTables()) return 0;
  ObPTables& tables = database_->tables();
  for (int32_t t = 0; t < tables.Count(); ++t) {
    ObPTable* table = tables.At(t);
    if (table->Fields().Count() == 0) table->TblGen(false);
    if (!table->TblGen()) continue;
    MakeCurrent(table, nullptr);
    PrepareTable(table);
    for (int16_t i = 1; i <= run_.controls->Count(); ++i) {
      Ref<ObPControl> control = run_.controls->Item(i);
      if (control->Kind() != ControlKind::Table) continue;
      MakeCurrent(table, nullptr);  // a custom condition may have made another one current
      if (ConditionHolds(control->CtrlCond, 2)) ++total;
    }
  }
  return total;
}

int32_t PageGeneration::MakePage(const std::string& outputName, const std::string& controlId, bool overwrite,
                                 bool space, int16_t initType) {
  std::string path = BuildOutputPath(project_, outputName, false, true);
  if (checkOnly_) return ConfirmFileWrite(project_, run_, path, overwrite, false, true) ? 1 : 0;
  page_.outputName = outputName;
  if (Status().shown) {
    Status().DispStatus("Generating " + outputName);
    if (Cancelled()) CancelGeneration();
  }
  WritePage(project_, run_, run_.tempFolder + "/" + controlId + ".tmp", path, overwrite, space, initType);
  return 0;
}

int32_t PageGeneration::GenerateTablePages(ObPTable& table) {
  int32_t count = 0;
  for (int16_t i = 1; i <= run_.controls->Count(); ++i) {
    Ref<ObPControl> control = run_.controls->Item(i);
    const TableKind kind = table.Kind();
    bool applies = (control->Kind() == ControlKind::Table && HasTablePages(kind)) ||
                   (control->Kind() == ControlKind::Report && kind == TableKind::Report);
    if (!applies) continue;
    // A page script that looks up another table by name makes that one current.
    MakeCurrent(&table, nullptr);
    if (!ConditionHolds(control->CtrlCond, 2)) continue;
    std::string name = page_.pageNameBase + control->CtrlOFile + "." + ResolveExt(control->CtrlOExt);
    count += MakePage(name, control->CtrlID, table.TblOverwrite(), control->CtrlSpace, 2);
    if (!run_.error.empty()) {
      AppendError(run_, ": Generate Table " + table.TblName() + " " + control->CtrlID + " page error");
      break;
    }
    if (!checkOnly_) Status().SetStatus(ObPStatus::Percent(++run_.pagesDone, run_.pagesTotal));
  }
  return count;
}

int32_t PageGeneration::GenerateFieldPages(ObPTable& table, ObPField& field) {
  page_.fieldVar = MakeVarName(field.FldName(), "");
  if (!field.FldGenerate()) return 0;
  int32_t count = 0;
  for (int16_t i = 1; i <= run_.controls->Count(); ++i) {
    Ref<ObPControl> control = run_.controls->Item(i);
    if (control->Kind() != ControlKind::Field) continue;
    MakeCurrent(&table, &field);
    if (!ConditionHolds(control->CtrlCond, 2)) continue;
    std::string name =
        page_.pageNameBase + "_" + page_.fieldVar + control->CtrlOFile + "." + ResolveExt(control->CtrlOExt);
    count += MakePage(name, control->CtrlID, table.TblOverwrite(), control->CtrlSpace, 2);
    if (!run_.error.empty()) break;
  }
  return count;
}

int32_t PageGeneration::GenerateOtherPages(std::string_view typeList) {
  std::vector<std::string> types;
  for (const std::string& type : SplitList(typeList)) types.push_back(ToLowerText(Trim(type)));
  std::string security = project_.SecType();
  int32_t count = 0;
  for (int16_t i = 1; i <= run_.controls->Count(); ++i) {
    Ref<ObPControl> control = run_.controls->Item(i);
    std::string type = ToLowerText(control->CtrlType);
    if (std::find(types.begin(), types.end(), type) == types.end()) continue;
    ObPTable* current = nullptr;
    if ((security == "Use Table" || security == "Both") && ToLowerText(control->CtrlID) == "login" && database_)
      current = database_->tables().Find(project_.SecTbl());
    MakeCurrent(current, nullptr);
    int16_t initType = current ? 2 : 1;
    if (ConditionHolds(control->CtrlCond, initType)) {
      std::string name = control->CtrlOFile + "." + ResolveExt(control->CtrlOExt);
      count += MakePage(name, control->CtrlID, project_.OtherOverwrite(), control->CtrlSpace, initType);
    }
    if (current) MakeCurrent(nullptr, nullptr);
    if (!run_.error.empty()) {
      AppendError(run_, ": Generate " + control->CtrlID + " page error");
      break;
    }
  }
  return count;
}

int32_t PageGeneration::GeneratePages() {
  SetPageNames();
  run_.overwrite = OverwriteState{};
  run_.pagesTotal = CountTablePages();
  run_.pagesDone = 0;
  MakeCurrent(nullptr, nullptr);
  if (project_.OtherGen()) CopyConnectionInfo();
  if (!run_.error.empty() || !database_) return 0;
  int32_t result = 0;
  ObPTables& tables = database_->tables();
  for (int16_t seq = 1; seq <= tables.Count(); ++seq) {
    Ref<ObPTable> table = tables.Seq(seq);
    if (!table || !table->TblGen()) continue;
    MakeCurrent(table.get(), nullptr);
    PrepareTable(table.get());
    result += GenerateTablePages(*table);
    if (result > 0 || !run_.error.empty()) return result;
    ObPFields& fields = table->Fields();
    for (int16_t f = 1; f <= fields.Count(); ++f) {
      Ref<ObPField> field = fields.Seq(f);
      if (!field || !field->FldGenerate()) continue;
      MakeCurrent(tables.Find(table->TblName()), field.get());
      result += GenerateFieldPages(*table, *field);
      if (!run_.error.empty()) {
        AppendError(run_, ": Generate Table " + table->TblName() + " Field " + field->FldName() + " page error");
        return result;
      }
    }
  }
  if (!project_.OtherGen()) return result;
  MakeCurrent(nullptr, nullptr);
  int32_t count = 0;
  WriteStyleSheet(project_, run_, checkOnly_, count);
  if (run_.error.empty()) count += GenerateOtherPages("other");
  if (run_.error.empty()) CopyTemplateFiles(project_, run_, checkOnly_, count);
  return result + count;
}

}  // namespace zantrel
