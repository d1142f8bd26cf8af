// The columns of the JDBC connection method: java.sql.Types codes mapped to ADO
// type numbers in one table, with a few server type names that JDBC reports
// too loosely (PostgreSQL's text as VARCHAR, uuid and json as OTHER) mapped by
// name first, so that a JDBC column reads as the native driver reads it.
#pragma once

#include <cstdint>
#include <string>

#include "schema/ado_types.h"
#include "schema/driver.h"

namespace zantrel::jdbc {

// One column as DatabaseMetaData.getColumns describes it.
struct Column {
  std::string name;
  int32_t sqlType = 0;   // java.sql.Types
  std::string typeName;  // TYPE_NAME
  int64_t size = 0;      // COLUMN_SIZE
  bool nullable = true;
  std::string defaultText;  // COLUMN_DEF, "NULL" when none
  bool autoIncrement = false;
};

// The type row for a column: by server type name first (without " UNSIGNED"),
// then by java.sql.Types code; an unknown type reads as variable text.
const ado::NativeType& TypeOf(int32_t sqlType, std::string_view typeName);

// The driver field of a column: ADO type, size (the type's fixed size, else the
// declared one, capped at 2^31-1), attributes, default and auto-increment.
DriverField FieldOf(const Column& c);

}  // namespace zantrel::jdbc
