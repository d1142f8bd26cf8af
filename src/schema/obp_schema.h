// ObPSchema: the reference loader. It reads the live schema into plain records
// instead of model objects, so that the database check and synchronisation can
// compare the project against what the database holds now.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/variant.h"

namespace zantrel {

struct ObSchemaField {
  int16_t FldSeq = 0;
  std::string FldName;
  int16_t FldType = 0;  // ADO type, 202 for ENUM and SET
  std::string FldTypeName;
  int16_t NativeDataType = 0;
  std::string FldTagValues;  // ENUM and SET only
  bool FldSupport = false;
  int32_t FldSize = 0;
  bool FldUniqueIdx = false;
  bool FldZeroLen = false;
  bool FldReq = false;
  bool FldIsPrimaryKey = false;
  bool FldAutoIncrement = false;
  int32_t FldAttribute = 0;
  Variant FldDefault;
  std::string FldQuoteS;
  std::string FldQuoteE;
  std::string FldCaption;
};

struct ObSchemaFields {
  std::vector<ObSchemaField> Fld;
};

struct ObSchemaTable {
  int16_t TblSeq = 0;
  std::string TblName;
  std::string TblType;
  std::string TblKey;
  bool TblGen = false;
  int16_t TblFldCnt = 0;
  ObSchemaFields TblFields;  // Fld(0) unused; fields are 1 to TblFldCnt
};

struct ObSchemaTables {
  std::vector<ObSchemaTable> Tbl;
};

struct ObSchemaDB {
  std::string DBName, DBType, DBSID, DBConnectionMethod, DBURL, DBHost, DBPort, DBEncoding, DBUID, DBPwd,
      DBDBMSName, DBDBMSVer, DBProviderName, DBProviderVer;
  int16_t DBTblCnt = 0;
  ObSchemaTables tables;  // Tbl(0) unused; tables are 1 to DBTblCnt
};

class ObPSchema {
 public:
  // Reads every table and view; failures go to ProjErr.
  void LoadDB(const std::string& sDBName, const std::string& sDBType, const std::string& sHost,
              const std::string& sPort, const std::string& sUID, const std::string& sPWD, const std::string& sSID,
              const std::string& sMethod, const std::string& sUrl, const std::string& sEncoding);
  // Reads one custom view's columns as a "CUSTOMVIEW" table record; 0 on success.
  int16_t LoadovCustomView(const std::string& sHost, const std::string& sDBName, const std::string& sDBType,
                           const std::string& sUID, const std::string& sPWD, const std::string& sPort,
                           const std::string& sSID, const std::string& sMethod, const std::string& sUrl,
                           const std::string& sEncoding, const std::string& sTableName, const std::string& sSQL);

  int16_t tblcnt() const { return db_.DBTblCnt; }
  // A copy of table i (1 to tblcnt); an index outside the array raises 9.
  ObSchemaTable Tbl(int16_t i);
  int16_t currentIndex() const { return current_; }
  const ObSchemaDB& db() const { return db_; }
  bool loaded() const { return loaded_; }

 private:
  ObSchemaDB db_;
  bool loaded_ = false;
  int16_t current_ = 0;
};

}  // namespace zantrel
