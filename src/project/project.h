// ObP: the project object as a host and scripts know it. It is the project's
// data (ObPModel) with every operation of the system as a member, each a
// one-line call into the subsystem that does the work: schema loading
// (schema/load.h), the project file (persist/project_file.h), generation
// (generate/generate.h), check and synchronisation (sync/synchronize.h).
// Failures are reported in ProjErr, worded for the user.
#pragma once

#include <cstdint>
#include <string>

#include "model/project.h"
#include "project/obp_schema.h"
#include "sync/differences.h"

namespace zantrel {

class ObP : public ObPModel {
 public:
  // The project file: Save raises on failure and leaves an existing file as it
  // was; Load never raises and reports failure in ProjErr.
  void Save(const std::string& projFile);
  void Load(const std::string& projFile);

  // Schema acquisition.
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

  // A template text turned into its script and run; "" with ProjErr on failure.
  std::string Parse(const std::string& text);
  // Generation: the application for the loaded project, the outcome in
  // ProjErr. GenCheck counts the output pages that exist already.
  void GenScript();
  int16_t GenCheck();

  // Database check and synchronisation. CheckDB returns -1 when the database
  // cannot be read, else the number of differences; both can also list what
  // they found or did.
  int16_t CheckDB(SchemaDifferences* differences = nullptr);
  void SynchronizeDB(SchemaDifferences* changes = nullptr);
  void SyncCustom(const std::string& sTable);
  void SyncReport(const std::string& sTable);
};

}  // namespace zantrel
