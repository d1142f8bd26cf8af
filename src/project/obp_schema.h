// ObPSchema: the reference loader as a host creates it — the schema reader
// (schema/schema_reader.h) with its operations reporting in ProjErr.
#pragma once

#include <cstdint>
#include <string>

#include "schema/schema_reader.h"

namespace zantrel {

class ObPSchema : public SchemaReader {
 public:
  // Reads every table and view; failures go to ProjErr, success empties it.
  void LoadDB(const std::string& sDBName, const std::string& sDBType, const std::string& sHost,
              const std::string& sPort, const std::string& sUID, const std::string& sPWD, const std::string& sSID,
              const std::string& sMethod, const std::string& sUrl, const std::string& sEncoding);
  // Reads one custom view's columns as a "CUSTOMVIEW" table record; 0 on
  // success, 3 with ProjErr set on failure.
  int16_t LoadovCustomView(const std::string& sHost, const std::string& sDBName, const std::string& sDBType,
                           const std::string& sUID, const std::string& sPWD, const std::string& sPort,
                           const std::string& sSID, const std::string& sMethod, const std::string& sUrl,
                           const std::string& sEncoding, const std::string& sTableName, const std::string& sSQL);
};

}  // namespace zantrel
