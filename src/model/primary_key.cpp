// Primary-key flags: TblKey names the key fields, separated by "," and compared
// exactly (a space after the comma is part of the name).
#include <algorithm>
#include <string>
#include <vector>

#include "core/text_list.h"
#include "model/project.h"

namespace zantrel {
void ObPModel::SetPrimaryKeyFlags() {
  ObPDatabase* database = openDatabase();
  if (!database || !database->HasTables()) return;
  ObPTables& tables = database->tables();
  for (int32_t t = 0; t < tables.Count(); ++t) {
    ObPTable& table = *tables.At(t);
    const std::vector<std::string> keys = SplitList(table.TblKey());
    ObPFields& fields = table.Fields();
    for (int32_t f = 0; f < fields.Count(); ++f) {
      ObPField& field = *fields.At(f);
      field.FldIsPrimaryKey(std::find(keys.begin(), keys.end(), field.FldName()) != keys.end());
    }
  }
}

bool ObPModel::KeyFieldsExist(ObPTable& table) {
  ObPFields& fields = table.Fields();
  for (const std::string& name : SplitList(table.TblKey())) {
    ObPField* field = fields.Find(name);
    if (!field || field->FldName() != name) return false;
  }
  return true;
}

}  // namespace zantrel
