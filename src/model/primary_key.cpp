// Primary-key flags: TblKey names the key fields, separated by "," and compared
// exactly (a space after the comma is part of the name).
#include <algorithm>
#include <string>
#include <vector>

#include "model/project.h"

namespace zantrel {
namespace {

std::vector<std::string> KeyNames(const std::string& list) {
  std::vector<std::string> names;
  for (std::size_t start = 0;;) {
    std::size_t comma = list.find(',', start);
    names.push_back(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) return names;
    start = comma + 1;
  }
}

}  // namespace

void ObP::SetPrimaryKeyFlags() {
  ObPDatabase* database = openDatabase();
  if (!database || !database->HasTables()) return;
  ObPTables& tables = database->tables();
  for (int32_t t = 0; t < tables.Count(); ++t) {
    ObPTable& table = *tables.At(t);
    const std::vector<std::string> keys = KeyNames(table.TblKey());
    ObPFields& fields = table.Fields();
    for (int32_t f = 0; f < fields.Count(); ++f) {
      ObPField& field = *fields.At(f);
      field.FldIsPrimaryKey(std::find(keys.begin(), keys.end(), field.FldName()) != keys.end());
    }
  }
}

bool ObP::KeyFieldsExist(ObPTable& table) {
  ObPFields& fields = table.Fields();
  for (const std::string& name : KeyNames(table.TblKey())) {
    ObPField* field = fields.Find(name);
    if (!field || field->FldName() != name) return false;
  }
  return true;
}

}  // namespace zantrel
