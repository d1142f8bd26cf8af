#include "model/project.h"

#include "core/context.h"
#include "core/convert.h"
#include "core/error.h"
#include "platform/status.h"

namespace zantrel {

// The name passed to the version query; the progress library answers with the
// version of this library whatever the name.
constexpr std::string_view kLibraryFile = "libzantrel.so";

ObP::ObP() : properties_(MakeRef<ObProperties>()) {
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

ObP::~ObP() = default;

ObPDatabases& ObP::databases() {
  if (!databases_) databases_ = MakeRef<ObPDatabases>();
  return *databases_;
}

Ref<ObPDatabase> ObP::db() { return databases().Item(Variant(currentDatabaseName_)); }

ObPDatabase* ObP::openDatabase() const {
  return databases_ ? databases_->Find(currentDatabaseName_) : nullptr;
}

const std::string& ObP::ProjErr() { return Context().projErr; }
void ObP::ProjErr(std::string_view text) { Context().projErr = std::string(text); }

void ObP::AddProj(std::string_view projName) {
  ProjName(projName);
  LoadDefault();
  projInit_ = true;
}

void ObP::DeleteProj() {
  properties_->RemoveAll();
  if (databases_) {
    while (databases_->Count() > 0) databases_->Delete(Variant(int32_t{1}));
  }
  currentDatabaseName_.clear();
  RegisterSettings(*properties_, ProjectSettings());
  projInit_ = false;
}

void ObP::ClearSecuritySettings() {
  SecTbl("");
  SecLoginIDFld("");
  SecPasswdFld("");
}

const MemberTable<ObP>& ObP::Members() {
  static const MemberTable<ObP> table = [] {
    std::vector<Member<ObP>> members = {
        {"ProjInit", [](ObP& p, Args) { return Variant(p.ProjInit()); }, nullptr},
        {"db", [](ObP& p, Args) { return ObjectVariant(p.db()); }, nullptr, kProperty},
        {"DBCnt", [](ObP& p, Args) { return Variant(p.DBCnt()); }, nullptr},
        {"Properties", [](ObP& p, Args) { return ObjectVariant(Ref<ObProperties>(&p.Properties())); }, nullptr, kProperty},
        {"hWnd", [](ObP& p, Args) { return Variant(p.hWnd()); },
         [](ObP& p, Args, const Variant& v) { p.hWnd(CLng(v)); }},
        {"ProjErr", [](ObP&, Args) { return Variant(ObP::ProjErr()); },
         [](ObP&, Args, const Variant& v) { ObP::ProjErr(CStr(v)); }},
        {"AddProj",
         [](ObP& p, Args a) {
           p.AddProj(CStr(Arg(a, 0)));
           return Variant();
         },
         nullptr},
        {"DeleteProj",
         [](ObP& p, Args) {
           p.DeleteProj();
           return Variant();
         },
         nullptr},
        {"LoadDefault",
         [](ObP& p, Args) {
           p.LoadDefault();
           return Variant();
         },
         nullptr},
        {"SaveDefault",
         [](ObP& p, Args) {
           p.SaveDefault();
           return Variant();
         },
         nullptr},
    };
    AddSettingMembers(members, ProjectSettings());
    return MemberTable<ObP>("ObP", std::move(members));
  }();
  return table;
}

}  // namespace zantrel
