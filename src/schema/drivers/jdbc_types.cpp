// java.sql.Types -> ADO type numbers.
#include "schema/drivers/jdbc_types.h"

#include <algorithm>

#include "schema/drivers/catalog.h"

namespace zantrel::jdbc {
namespace {

using ado::NativeType;

// java.sql.Types code -> ADO type, size (0: the declared size), flags. The
// sizes of numbers, dates and times are fixed, as the native drivers report
// them, since JDBC drivers disagree on display widths (DATE is 10 or 13).
constexpr NativeType kSqlTypes[] = {
    {"BIT", -7, ado::kBoolean, 1, ado::kFldFixed},
    {"BOOLEAN", 16, ado::kBoolean, 1, ado::kFldFixed},
    {"TINYINT", -6, ado::kTinyInt, 3, ado::kFldFixed},
    {"SMALLINT", 5, ado::kSmallInt, 5, ado::kFldFixed},
    {"INTEGER", 4, ado::kInteger, 10, ado::kFldFixed},
    {"BIGINT", -5, ado::kBigInt, 19, ado::kFldFixed},
    {"REAL", 7, ado::kSingle, 7, ado::kFldFixed},
    {"FLOAT", 6, ado::kDouble, 15, ado::kFldFixed},
    {"DOUBLE", 8, ado::kDouble, 15, ado::kFldFixed},
    {"BINARY_FLOAT", 100, ado::kSingle, 7, ado::kFldFixed},    // Oracle
    {"BINARY_DOUBLE", 101, ado::kDouble, 15, ado::kFldFixed},  // Oracle
    {"NUMERIC", 2, ado::kNumeric, 0, ado::kFldFixed},
    {"DECIMAL", 3, ado::kNumeric, 0, ado::kFldFixed},
    {"DATE", 91, ado::kDBDate, 10, ado::kFldFixed},
    {"TIME", 92, ado::kDBTime, 8, ado::kFldFixed},
    {"TIME_WITH_TIMEZONE", 2013, ado::kDBTime, 8, ado::kFldFixed},
    {"TIMESTAMP", 93, ado::kDBTimeStamp, 19, ado::kFldFixed},
    {"TIMESTAMP_WITH_TIMEZONE", 2014, ado::kDBTimeStamp, 19, ado::kFldFixed},
    {"TIMESTAMPTZ", -101, ado::kDBTimeStamp, 19, ado::kFldFixed},   // Oracle
    {"TIMESTAMPLTZ", -102, ado::kDBTimeStamp, 19, ado::kFldFixed},  // Oracle
    {"CHAR", 1, ado::kChar, 0, ado::kFldFixed},
    {"VARCHAR", 12, ado::kVarChar, 0, 0},
    {"LONGVARCHAR", -1, ado::kLongVarChar, 0, ado::kFldLong},
    {"CLOB", 2005, ado::kLongVarChar, 0, ado::kFldLong},
    {"NCHAR", -15, ado::kWChar, 0, ado::kFldFixed},
    {"NVARCHAR", -9, ado::kVarWChar, 0, 0},
    {"LONGNVARCHAR", -16, ado::kLongVarWChar, 0, ado::kFldLong},
    {"NCLOB", 2011, ado::kLongVarWChar, 0, ado::kFldLong},
    {"SQLXML", 2009, ado::kLongVarChar, 0, ado::kFldLong},
    {"BINARY", -2, ado::kBinary, 0, ado::kFldFixed},
    {"VARBINARY", -3, ado::kVarBinary, 0, 0},
    {"LONGVARBINARY", -4, ado::kLongVarBinary, 0, ado::kFldLong},
    {"BLOB", 2004, ado::kLongVarBinary, 0, ado::kFldLong},
};

// Lower-case server type names that override the code (size 0: the declared one).
constexpr NativeType kTypeNames[] = {
    {"uuid", 1111, ado::kGUID, 36, ado::kFldFixed},
    {"text", 12, ado::kLongVarChar, 0, ado::kFldLong},  // PostgreSQL reports VARCHAR
    {"json", 1111, ado::kLongVarChar, 0, ado::kFldLong},
    {"jsonb", 1111, ado::kLongVarChar, 0, ado::kFldLong},
    {"xml", 2009, ado::kLongVarChar, 0, ado::kFldLong},
    {"bytea", -2, ado::kLongVarBinary, 0, ado::kFldLong},
    {"money", 8, ado::kCurrency, 19, ado::kFldFixed},
    {"mediumint", 4, ado::kInteger, 7, ado::kFldFixed},
    {"year", 91, ado::kSmallInt, 4, ado::kFldFixed},
};

constexpr NativeType kUnknown = {"", 1111, ado::kVarChar, 0, 0};

// Unsigned integers (MySQL's "INT UNSIGNED") take the unsigned ADO types.
constexpr std::pair<int32_t, int32_t> kUnsigned[] = {{ado::kTinyInt, ado::kUnsignedTinyInt},
                                                     {ado::kSmallInt, ado::kUnsignedSmallInt},
                                                     {ado::kInteger, ado::kUnsignedInt},
                                                     {ado::kBigInt, ado::kUnsignedBigInt}};

constexpr std::string_view kUnsignedSuffix = " unsigned";

}  // namespace

const NativeType& TypeOf(int32_t sqlType, std::string_view typeName) {
  std::string name = catalog::Lower(typeName);
  if (name.ends_with(kUnsignedSuffix)) name.resize(name.size() - kUnsignedSuffix.size());
  if (const NativeType* t = catalog::FindType(kTypeNames, name)) return *t;
  for (const NativeType& t : kSqlTypes)
    if (t.code == sqlType) return t;
  return kUnknown;
}

DriverField FieldOf(const Column& c) {
  const NativeType& t = TypeOf(c.sqlType, c.typeName);
  DriverField f;
  f.Name = c.name;
  f.DataTypeName = c.typeName;
  f.NativeDataType = c.sqlType;
  f.ADODataType = t.adoType;
  if (catalog::Lower(c.typeName).ends_with(kUnsignedSuffix))
    for (auto [is, unsignedType] : kUnsigned)
      if (f.ADODataType == is) f.ADODataType = unsignedType;
  int64_t declared = std::clamp<int64_t>(c.size, 0, ado::kLongSize);
  // Text and binary columns without a declared length hold up to 2^31-1.
  const bool fixed = (t.attributes & ado::kFldFixed) != 0;
  f.Size = t.size ? t.size : static_cast<int32_t>(declared > 0 || fixed ? declared : ado::kLongSize);
  f.Required = !c.nullable;
  f.AutoIncrement = c.autoIncrement;
  f.ADOAttributes = ado::ColumnAttributes(t.attributes, c.nullable, c.autoIncrement, false);
  f.HasDefault = !c.autoIncrement && catalog::DefaultValue(c.defaultText, f.DefaultValue);
  return f;
}

}  // namespace zantrel::jdbc
