// ObP: the root object. It holds one project — its 88 settings, its database
// with tables and fields — and is the entry point of every operation: user
// defaults, schema loading, project files, generation and synchronisation.
// Operations of other subsystems are declared here and defined in theirs.
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

struct SchemaDifferences;

class ObP : public HostObject<ObP> {
 public:
  static const MemberTable<ObP>& Members();
  ObP();
  ~ObP() override;

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

  // A template text turned into its script and run; "" with ProjErr on failure.
  std::string Parse(const std::string& text);
  // The generation run's state (control list, phrase file, script host), made on first use.
  std::shared_ptr<struct GenerationRun> generationRun;

  // Generation (src/generate): the application for the loaded project, the
  // outcome in ProjErr. GenCheck counts the output pages that exist already.
  void GenScript();
  int16_t GenCheck();

  // The project file: Save raises on failure and leaves an existing file as it
  // was; Load never raises and reports failure in ProjErr.
  void Save(const std::string& projFile);
  void Load(const std::string& projFile);

  // Schema acquisition (src/schema)
  bool JVMLoaded();
  std::string LoadDatabaseNames(const std::string& sDBType, const std::string& sHost, const std::string& sPort,
                                const std::string& sUID, const std::string& sPWD, const std::string& sSID,
                                const std::string& sMethod, const std::string& sUrl, const std::string& sEncoding);
  void LoadDB(const std::string& sDBName, const std::string& sDBType, const std::string& sHost,
              const std::string& sPort, const std::string& sUID, const std::string& sPWD, const std::string& sSID,
              const std::string& sMethod, const std::string& sUrl, const std::string& sEncoding);
  void LoadTable(const std::string& sTableName);
  void UnLoadDB();
  void LoadCustomView(const std::string& sTableName, const std::string& sSQL, bool bCopyFields);
  void LoadReport(const std::string& sTableName, const std::string& sFromTableName);
  std::string FldSrchOprs(int16_t ftype);

  // Database check and synchronisation (src/sync). CheckDB returns -1 when the
  // database cannot be read, else the number of differences; both can also list
  // what they found or did.
  int16_t CheckDB(SchemaDifferences* differences = nullptr);
  void SynchronizeDB(SchemaDifferences* changes = nullptr);
  void SyncCustom(const std::string& sTable);
  void SyncReport(const std::string& sTable);
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
