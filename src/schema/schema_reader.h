// SchemaReader: the reference loader. It reads the live schema into plain
// records instead of model objects, so that the database check and
// synchronisation can compare the project against what the database holds now.
// ObPSchema (project/obp_schema.h) is the same reader reporting in ProjErr.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/variant.h"
#include "schema/connection.h"

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

class SchemaReader {
 public:
  // Reads every table and view of the database c names. A reader that holds a
  // database already throws err::kDatabaseAlreadyLoaded; the JDBC method without
  // its user defaults throws err::kJdbcNotConfigured; a failed read throws the
  // driver's error and leaves the reader empty.
  void Read(const Connection& c);
  // Appends one custom view's columns as a "CUSTOMVIEW" table record; throws
  // the driver's error, or err::kDuplicateColumns for two columns of one name.
  void ReadCustomView(const Connection& c, const std::string& name, const std::string& sql);

  int16_t tblcnt() const { return db_.DBTblCnt; }
  // A copy of table i (1 to tblcnt); an index outside the array raises 9.
  ObSchemaTable Tbl(int16_t i);
  int16_t currentIndex() const { return current_; }
  const ObSchemaDB& db() const { return db_; }
  bool loaded() const { return loaded_; }

 protected:
  ObSchemaDB db_;
  bool loaded_ = false;
  int16_t current_ = 0;
};

}  // namespace zantrel
