// ADO data-type numbers and field attribute flags, the vocabulary in which every
// driver reports its columns, and the row type of the drivers' native type tables.
#pragma once

#include <cstdint>
#include <string_view>

namespace zantrel::ado {

// DataTypeEnum values the drivers report.
inline constexpr int32_t kSmallInt = 2;
inline constexpr int32_t kInteger = 3;
inline constexpr int32_t kSingle = 4;
inline constexpr int32_t kDouble = 5;
inline constexpr int32_t kCurrency = 6;
inline constexpr int32_t kBoolean = 11;
inline constexpr int32_t kTinyInt = 16;
inline constexpr int32_t kUnsignedTinyInt = 17;
inline constexpr int32_t kUnsignedSmallInt = 18;
inline constexpr int32_t kUnsignedInt = 19;
inline constexpr int32_t kBigInt = 20;
inline constexpr int32_t kUnsignedBigInt = 21;
inline constexpr int32_t kGUID = 72;
inline constexpr int32_t kBinary = 128;
inline constexpr int32_t kChar = 129;
inline constexpr int32_t kWChar = 130;
inline constexpr int32_t kNumeric = 131;
inline constexpr int32_t kDBDate = 133;
inline constexpr int32_t kDBTime = 134;
inline constexpr int32_t kDBTimeStamp = 135;
inline constexpr int32_t kVarChar = 200;
inline constexpr int32_t kLongVarChar = 201;
inline constexpr int32_t kVarWChar = 202;
inline constexpr int32_t kLongVarWChar = 203;
inline constexpr int32_t kVarBinary = 204;
inline constexpr int32_t kLongVarBinary = 205;

// FieldAttributeEnum flags.
inline constexpr int32_t kFldUpdatable = 0x4;
inline constexpr int32_t kFldFixed = 0x10;
inline constexpr int32_t kFldIsNullable = 0x20;
inline constexpr int32_t kFldMayBeNull = 0x40;
inline constexpr int32_t kFldLong = 0x80;
inline constexpr int32_t kFldKeyColumn = 0x8000;

// The size of long text and long binary columns that declare none.
inline constexpr int32_t kLongSize = 2147483647;

// One row of a driver's type table: the server's type name (lower case), its
// native code, the ADO type, the size when the column declares none, and the
// attribute flags the type always has (kFldFixed, kFldLong).
struct NativeType {
  std::string_view name;
  int32_t code;
  int32_t adoType;
  int32_t size;
  int32_t attributes;
};

// The attributes of a column: the type's own flags, updatable unless
// auto-increment, nullable flags, key column.
inline int32_t ColumnAttributes(int32_t typeFlags, bool nullable, bool autoIncrement, bool key) {
  int32_t a = typeFlags;
  if (!autoIncrement) a |= kFldUpdatable;
  if (nullable) a |= kFldIsNullable | kFldMayBeNull;
  if (key) a |= kFldKeyColumn;
  return a;
}

}  // namespace zantrel::ado
