// ObPModel: the data of one project — its 88 settings, its database with tables
// and fields, the user defaults and the members scripts see as PROJ. The
// operations on a project (schema loading, project files, generation,
// synchronisation) are functions of their subsystems; ObP in project/project.h
// is the object that offers them all as members.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/dispatch.h"
#include "model/database.h"
#include "model/property_bag.h"
#include "model/settings.h"

namespace zantrel {

class ObPModel : public HostObject<ObPModel> {
 public:
  static const MemberTable<ObPModel>& Members();
  ObPModel();
  ~ObPModel() override;

  bool ProjInit() const { return projInit_; }
  Ref<ObPDatabase> db();
  int16_t DBCnt() const { return static_cast<int16_t>(databases_ ? databases_->Count() : 0); }
  ObProperties& Properties() const { return *properties_; }
  ObPDatabases& databases();
  int32_t hWnd() const { return hWnd_; }
  void hWnd(int32_t h) { hWnd_ = h; }
  static const std::string& ProjErr();
  static void ProjErr(std::string_view text);

  enum : int32_t {
#define ZANTREL_SETTING ZANTREL_SETTING_INDEX
#include "model/project_settings.def"
#undef ZANTREL_SETTING
  };
#define ZANTREL_SETTING ZANTREL_SETTING_ACCESSORS
#include "model/project_settings.def"
#undef ZANTREL_SETTING

  void AddProj(std::string_view projName);
  void DeleteProj();

  // User defaults (per-user registry store, machine defaults on first run).
  void LoadDefault();
  void SaveDefault();

  // State another subsystem keeps with the project for its lifetime (the
  // generation run's control list, phrase file and script host); the model
  // only owns it.
  class Attachment {
   public:
    virtual ~Attachment() = default;
  };
  std::unique_ptr<Attachment> generationState;

  // Empties SecTbl, SecLoginIDFld and SecPasswdFld.
  void ClearSecuritySettings();
  // Every field's FldIsPrimaryKey from its table's TblKey (names split at ",",
  // exact comparison); and whether every name of a table's TblKey is a field.
  void SetPrimaryKeyFlags();
  static bool KeyFieldsExist(ObPTable& table);

  // The key of the database that db returns; the project reader and the schema
  // loader set it.
  const std::string& currentDatabaseName() const { return currentDatabaseName_; }
  void currentDatabaseName(std::string_view name) { currentDatabaseName_ = std::string(name); }
  // The current database when one is open, else null; no errors.
  ObPDatabase* openDatabase() const;

  // This library's version: four numbers and their text joined by ".".
  const std::array<int16_t, 4>& versionNumbers() const { return version_; }
  const std::string& versionText() const { return versionText_; }
  // The Version of the file read when a newer library wrote it, else "": such a
  // project is not saved, which would lose what this version does not know.
  std::string newerFileVersion;

  // Generator values kept with the user defaults, outside the bag.
  std::string Language;    // phrase file used when a template has none
  bool BackupFile = false;  // back up overwritten output
  std::string USERCODE;    // the user's own script file

  // Generation file extension and default page (replaced from P_Ext and
  // P_DefaultPage by the generation driver when those are set).
  std::string genExtension = "php";
  Variant genDefaultPage;

 private:
  void ReadUserDefaults(int32_t root);
  void WriteUserDefaults();  // every user default, through the registry accessor
  void LoadMachineDefaults();
  void ResetFixedSettings();

  Ref<ObProperties> properties_;
  Ref<ObPDatabases> databases_;
  std::string currentDatabaseName_;
  int32_t hWnd_ = 0;
  bool projInit_ = false;
  std::array<int16_t, 4> version_{};
  std::string versionText_;
};

}  // namespace zantrel
