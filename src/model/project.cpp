#include "model/project.h"

#include "core/context.h"
#include "core/convert.h"
#include "core/error.h"
#include "platform/status.h"

namespace zantrel {

// The name passed to the version query; the progress library answers with the
// version of this library whatever the name.
constexpr std::string_view kLibraryFile = "libzantrel.so";

ObPModel::ObPModel() : properties_(MakeRef<ObProperties>()) {
  RegisterSettings(*properties_, ProjectSettings());
  ObPStatus& status = Status();
  status.GetVer(kLibraryFile);
  version_ = {status.mj1, status.mj2, status.mn1, status.mn2};
  versionText_ = std::to_string(version_[0]) + "." + std::to_string(version_[1]) + "." +
                 std::to_string(version_[2]) + "." + std::to_string(version_[3]);
  projInit_ = false;
  Context().product = ProductConstants{};
  ApplyInitialValues(*properties_, ProjectSettings());
  genExtension = "php";
  genDefaultPage = Variant("index." + genExtension);
  LoadDefault();
}

ObPModel::~ObPModel() = default;

ObPDatabases& ObPModel::databases() {
  if (!databases_) databases_ = MakeRef<ObPDatabases>();
  return *databases_;
}

Ref<ObPDatabase> ObPModel::db() { return databases().Item(Variant(currentDatabaseName_)); }

ObPDatabase* ObPModel::openDatabase() const {
  return databases_ ? databases_->Find(currentDatabaseName_) : nullptr;
}

const std::string& ObPModel::ProjErr() { return Context().projErr; }
void ObPModel::ProjErr(std::string_view text) { Context().projErr = std::string(text); }

void ObPModel::AddProj(std::string_view projName) {
  ProjName(projName);
  LoadDefault();
  projInit_ = true;
}

void ObPModel::DeleteProj() {
  properties_->RemoveAll();
  if (databases_) {
    while (databases_->Count() > 0) databases_->Delete(Variant(int32_t{1}));
  }
  currentDatabaseName_.clear();
  RegisterSettings(*properties_, ProjectSettings());
  projInit_ = false;
}

void ObPModel::ClearSecuritySettings() {
  SecTbl("");
  SecLoginIDFld("");
  SecPasswdFld("");
}

const MemberTable<ObPModel>& ObPModel::Members() {
  static const MemberTable<ObPModel> table = [] {
    std::vector<Member<ObPModel>> members = {
        {"ProjInit", [](ObPModel& p, Args) { return Variant(p.ProjInit()); }, nullptr},
        {"db", [](ObPModel& p, Args) { return ObjectVariant(p.db()); }, nullptr, kProperty},
        {"DBCnt", [](ObPModel& p, Args) { return Variant(p.DBCnt()); }, nullptr},
        {"Properties", [](ObPModel& p, Args) { return ObjectVariant(Ref<ObProperties>(&p.Properties())); }, nullptr,
         kProperty},
        {"hWnd", [](ObPModel& p, Args) { return Variant(p.hWnd()); },
         [](ObPModel& p, Args, const Variant& v) { p.hWnd(CLng(v)); }},
        {"ProjErr", [](ObPModel&, Args) { return Variant(ObPModel::ProjErr()); },
         [](ObPModel&, Args, const Variant& v) { ObPModel::ProjErr(CStr(v)); }},
        {"AddProj",
         [](ObPModel& p, Args a) {
           p.AddProj(CStr(Arg(a, 0)));
           return Variant();
         },
         nullptr},
        {"DeleteProj",
         [](ObPModel& p, Args) {
           p.DeleteProj();
           return Variant();
         },
         nullptr},
        {"LoadDefault",
         [](ObPModel& p, Args) {
           p.LoadDefault();
           return Variant();
         },
         nullptr},
        {"SaveDefault",
         [](ObPModel& p, Args) {
           p.SaveDefault();
           return Variant();
         },
         nullptr},
    };
    AddSettingMembers(members, ProjectSettings());
    return MemberTable<ObPModel>("ObP", std::move(members));
  }();
  return table;
}

}  // namespace zantrel
