#include "project_file.h"

#include "cli.h"
#include "core/context.h"

namespace zantrel::cli {

Ref<ObP> LoadProject(const std::string& file) {
  auto project = MakeRef<ObP>();
  project->Load(file);
  const std::string& error = ObP::ProjErr();
  if (!error.empty() && error != Context().product.errorName + ": No Database Information in Project File!")
    throw Failure(error + " (" + file + ")");
  ObP::ProjErr("");
  return project;
}

ObProperties& SelectBag(ObP& project, const std::string& table, const std::string& field) {
  if (table.empty() && field.empty()) return project.Properties();
  std::string tableName = table, fieldName;
  if (!field.empty()) {
    std::size_t dot = field.find('.');
    if (dot == std::string::npos) throw UsageError("--field takes TABLE.FIELD");
    tableName = field.substr(0, dot);
    fieldName = field.substr(dot + 1);
  }
  ObPDatabase* database = project.openDatabase();
  ObPTable* t = database ? database->tables().Find(tableName) : nullptr;
  if (!t) throw Failure("zantrel: no table '" + tableName + "' in the project");
  if (fieldName.empty()) return t->Properties();
  ObPField* f = t->Fields().Find(fieldName);
  if (!f) throw Failure("zantrel: no field '" + fieldName + "' in table '" + tableName + "'");
  return f->Properties();
}

}  // namespace zantrel::cli
