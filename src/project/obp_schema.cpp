#include "project/obp_schema.h"

#include "project/error_report.h"

namespace zantrel {

void ObPSchema::LoadDB(const std::string& sDBName, const std::string& sDBType, const std::string& sHost,
                       const std::string& sPort, const std::string& sUID, const std::string& sPWD,
                       const std::string& sSID, const std::string& sMethod, const std::string& sUrl,
                       const std::string& sEncoding) {
  const Connection c{sHost, sDBName, sDBType, sUID, sPWD, sPort, sSID, sMethod, sUrl, sEncoding};
  if (Reported([&] { Read(c); })) ObPModel::ProjErr("");
}

int16_t ObPSchema::LoadovCustomView(const std::string& sHost, const std::string& sDBName, const std::string& sDBType,
                                    const std::string& sUID, const std::string& sPWD, const std::string& sPort,
                                    const std::string& sSID, const std::string& sMethod, const std::string& sUrl,
                                    const std::string& sEncoding, const std::string& sTableName,
                                    const std::string& sSQL) {
  const Connection c{sHost, sDBName, sDBType, sUID, sPWD, sPort, sSID, sMethod, sUrl, sEncoding};
  if (!Reported([&] { ReadCustomView(c, sTableName, sSQL); })) return 3;
  ObPModel::ProjErr("");
  return 0;
}

}  // namespace zantrel
