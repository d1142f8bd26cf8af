// Pure naming and classification rules shared by the loaders, the project reader
// and generation.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zantrel {

// A script-safe variable name: prefix + the name's letters, digits, spaces and
// underscores, every other character as its code in upper-case hexadecimal,
// then spaces turned into underscores. ("order id#" -> "order_id23")
std::string MakeVarName(std::string_view name, std::string_view prefix);

// Class of a DBMS name: 1 MS Jet/Access, 2 Microsoft SQL Server, 3 MySQL, 4 Oracle, 5 other.
int16_t DBMSClass(std::string_view dbmsName);

// Class of an ADO data type: 1 number, 2 date/time, 3 text, 4 boolean, 5 GUID, 6 other.
int16_t FieldCategory(int32_t adoType);

}  // namespace zantrel
