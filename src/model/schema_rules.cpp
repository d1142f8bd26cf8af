#include "model/schema_rules.h"

#include <algorithm>
#include <cstdio>

#include "core/names.h"

namespace zantrel {
namespace {

bool ContainsText(std::string_view haystack, std::string_view needle) {
  return FoldName(haystack).find(FoldName(needle)) != std::string::npos;
}

bool IsVarNameChar(char32_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' || c == '_';
}

}  // namespace

std::string MakeVarName(std::string_view name, std::string_view prefix) {
  std::string out(prefix);
  for (std::size_t pos = 0; pos < name.size();) {
    char32_t c = DecodeUtf8(name, pos);
    if (IsVarNameChar(c)) {
      out += c == ' ' ? '_' : static_cast<char>(c);
    } else {
      char hex[16];
      std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(c));
      out += hex;
    }
  }
  return out;
}

int16_t DBMSClass(std::string_view dbmsName) {
  if (dbmsName == "MS Jet" || dbmsName == "ACCESS") return 1;
  if (ContainsText(dbmsName, "Microsoft") && ContainsText(dbmsName, "SQL")) return 2;
  if (ContainsText(dbmsName, "MySQL")) return 3;
  if (ContainsText(dbmsName, "ORA")) return 4;
  return 5;
}

int16_t FieldCategory(int32_t adoType) {
  switch (adoType) {
    case 20: case 3: case 2: case 16: case 4: case 5: case 131: case 6:
      return 1;
    case 7: case 133: case 134: case 135:
      return 2;
    case 201: case 203: case 129: case 130: case 200: case 202:
      return 3;
    case 11:
      return 4;
    case 72:
      return 5;
    default:
      return 6;
  }
}

}  // namespace zantrel
