#include "project/project.h"

#include "generate/generate.h"
#include "persist/project_file.h"
#include "project/error_report.h"
#include "schema/field_defaults.h"
#include "schema/load.h"
#include "sync/synchronize.h"

namespace zantrel {
namespace {

Connection ConnectionOf(const std::string& sDBName, const std::string& sDBType, const std::string& sHost,
                        const std::string& sPort, const std::string& sUID, const std::string& sPWD,
                        const std::string& sSID, const std::string& sMethod, const std::string& sUrl,
                        const std::string& sEncoding) {
  return {sHost, sDBName, sDBType, sUID, sPWD, sPort, sSID, sMethod, sUrl, sEncoding};
}

}  // namespace

void ObP::Save(const std::string& projFile) { SaveProject(*this, projFile); }

void ObP::Load(const std::string& projFile) {
  if (Reported([&] { LoadProject(*this, projFile); })) ProjErr("");
}

bool ObP::JVMLoaded() { return zantrel::JVMLoaded(); }

std::string ObP::LoadDatabaseNames(const std::string& sDBType, const std::string& sHost, const std::string& sPort,
                                   const std::string& sUID, const std::string& sPWD, const std::string& sSID,
                                   const std::string& sMethod, const std::string& sUrl,
                                   const std::string& sEncoding) {
  ProjErr("");
  const Connection c = ConnectionOf("", sDBType, sHost, sPort, sUID, sPWD, sSID, sMethod, sUrl, sEncoding);
  return zantrel::LoadDatabaseNames(*this, c);
}

void ObP::LoadDB(const std::string& sDBName, const std::string& sDBType, const std::string& sHost,
                 const std::string& sPort, const std::string& sUID, const std::string& sPWD, const std::string& sSID,
                 const std::string& sMethod, const std::string& sUrl, const std::string& sEncoding) {
  const Connection c = ConnectionOf(sDBName, sDBType, sHost, sPort, sUID, sPWD, sSID, sMethod, sUrl, sEncoding);
  if (Reported([&] { LoadDatabase(*this, c); })) ProjErr("");
}

void ObP::LoadTable(const std::string& sTableName) {
  if (Reported([&] { zantrel::LoadTable(*this, sTableName); })) ProjErr("");
}

void ObP::UnLoadDB() {
  if (UnloadDatabase(*this)) ProjErr("");
}

void ObP::LoadCustomView(const std::string& sTableName, const std::string& sSQL, bool bCopyFields) {
  if (Reported([&] { AddCustomView(*this, sTableName, sSQL, bCopyFields); })) ProjErr("");
}

void ObP::LoadReport(const std::string& sTableName, const std::string& sFromTableName) {
  if (Reported([&] { AddReport(*this, sTableName, sFromTableName); }, true)) ProjErr("");
}

std::string ObP::FldSrchOprs(int16_t ftype) { return SearchOperators(ftype); }

std::string ObP::Parse(const std::string& text) {
  std::string page;
  if (Reported([&] { page = ParseTemplateText(*this, text); })) ProjErr("");
  return page;
}

void ObP::GenScript() { ProjErr(Generate(*this).error); }

int16_t ObP::GenCheck() {
  const ExistingPagesOutcome outcome = CountExistingPages(*this);
  ProjErr(outcome.error);
  return outcome.count;
}

int16_t ObP::CheckDB(SchemaDifferences* differences) {
  CheckResult result{-1, ""};
  Reported([&] { result = CheckDatabase(*this, differences); });
  if (result.count >= 0) ProjErr(result.note);
  return result.count;
}

void ObP::SynchronizeDB(SchemaDifferences* changes) {
  if (Reported([&] { Synchronize(*this, changes); })) ProjErr("");
}

void ObP::SyncCustom(const std::string& sTable) {
  if (Reported([&] { SyncCustomView(*this, sTable); }, true)) ProjErr("");
}

void ObP::SyncReport(const std::string& sTable) { Reported([&] { SyncReportTable(*this, sTable); }, true); }

}  // namespace zantrel
