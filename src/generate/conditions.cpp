#include "generate/conditions.h"

#include <vector>

#include "core/context.h"
#include "core/convert.h"
#include "core/names.h"
#include "generate/generation_run.h"
#include "model/project.h"

namespace zantrel {
namespace {

std::string_view Trim(std::string_view s) {
  std::size_t a = s.find_first_not_of(' ');
  if (a == std::string_view::npos) return {};
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

std::vector<std::string_view> Split(std::string_view s, char sep) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    std::size_t at = s.find(sep, start);
    parts.push_back(s.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

// The control properties a ctrl item can name.
struct ControlField {
  std::string_view name;
  std::string ObPControl::*field;
};
const ControlField kControlFields[] = {
    {"ctrlcond", &ObPControl::CtrlCond},     {"ctrlid", &ObPControl::CtrlID},
    {"ctrlifiles", &ObPControl::CtrlIFiles}, {"ctrlifolder", &ObPControl::CtrlIFolder},
    {"ctrloext", &ObPControl::CtrlOExt},     {"ctrlofile", &ObPControl::CtrlOFile},
    {"ctrlofolder", &ObPControl::CtrlOFolder}, {"ctrlparm", &ObPControl::CtrlParm},
    {"ctrltagext", &ObPControl::CtrlTagExt}, {"ctrltype", &ObPControl::CtrlType},
};

// Compares as VBScript compares the two values; Null or a failed comparison is false.
bool Compare(std::string_view op, const Variant& c, const Variant& v) {
  try {
    if (op == "in" || op == "ni") {
      bool found = FoldName(CStr(c)).find(FoldName(CStr(v))) != std::string::npos;
      return op == "in" ? found : !found;
    }
    int order;
    bool cNum = c.IsNumeric() || c.IsEmpty(), vNum = v.IsNumeric() || v.IsEmpty();
    if (cNum && vNum) {
      double a = CDbl(c), b = CDbl(v);
      order = a < b ? -1 : a > b ? 1 : 0;
    } else {
      order = CStr(c).compare(CStr(v));
      order = order < 0 ? -1 : order > 0 ? 1 : 0;
    }
    if (op == "eq") return order == 0;
    if (op == "ne") return order != 0;
    if (op == "gt") return order > 0;
    if (op == "ge") return order >= 0;
    if (op == "lt") return order < 0;
    if (op == "le") return order <= 0;
  } catch (const std::exception&) {
    return false;
  }
  return true;  // an unknown operator holds
}

// The bag an item's scope names, or null when the item holds by default.
const ObProperties* ScopeBag(ObP& project, std::string_view scope) {
  ObPDatabase* database = project.openDatabase();
  if (NameEquals(scope, "proj")) return &project.Properties();
  if (!database) return nullptr;
  if (NameEquals(scope, "db")) return &database->Properties();
  ObPTable* table = database->HasTables() ? database->tables().Find(database->tables().curName()) : nullptr;
  if (NameEquals(scope, "table")) return table ? &table->Properties() : nullptr;
  if (NameEquals(scope, "field")) {
    ObPField* field = table && table->HasFields() ? table->Fields().Find(table->Fields().curName()) : nullptr;
    return field ? &field->Properties() : nullptr;
  }
  return nullptr;
}

bool EvalItem(ObP& project, GenerationRun& run, std::string_view item) {
  bool custom = item.size() >= 7 && NameEquals(item.substr(0, 7), "custom:");
  if (custom) item = Trim(item.substr(7));
  std::vector<std::string_view> parts = Split(item, '/');
  if (parts.size() != 4) return true;
  std::string op = FoldName(parts[2]);
  Variant current;
  std::function<Variant(std::string_view)> candidate;
  if (custom) {
    std::string typeName(parts[1]);
    current = ConvertByTypeName(Variant(EvalCustomExpr(run, std::string(parts[0]))), typeName);
    candidate = [typeName](std::string_view v) { return ConvertByTypeName(Variant(v), typeName); };
  } else if (NameEquals(parts[0], "ctrl")) {
    Ref<ObPControl> control = run.controls->Item(run.controls->curIndex);
    std::string name = FoldName(parts[1]);
    const ControlField* field = nullptr;
    for (const ControlField& f : kControlFields)
      if (f.name == name) field = &f;
    if (!control || !field) return true;
    current = Variant((*control).*(field->field));
    candidate = [](std::string_view v) { return Variant(StripQuotes(v)); };
  } else {
    const ObProperties* bag = ScopeBag(project, parts[0]);
    if (!bag) return true;
    int32_t at = bag->Find(parts[1]);
    if (at < 0) return false;
    current = bag->ValueAt(at);
    std::string dataType = bag->MetaAt(at).dataType;
    candidate = [bag, dataType](std::string_view v) { return ConvertToPropType(*bag, v, dataType); };
  }
  for (std::string_view value : Split(parts[3], '|'))
    if (Compare(op, current, candidate(value))) return true;
  return false;
}

}  // namespace

Variant ConvertByDataType(const Variant& value, std::string_view typeName) {
  if (typeName != "Boolean" && typeName != "Integer" && typeName != "Long") return value;
  return ConvertByTypeName(value, typeName);
}

Variant ConvertToPropType(const ObProperties& bag, std::string_view candidate, std::string_view dataType) {
  candidate = Trim(candidate);
  Variant value(candidate);
  if (!candidate.empty() && candidate[0] == '%') {
    const Variant* other = bag.FindValue(candidate.substr(1));
    value = other ? *other : Variant();
  }
  return ConvertByTypeName(value, dataType);
}

std::string EvalCustomExpr(GenerationRun& run, const std::string& expression) {
  if (!run.script) return {};
  std::string output;
  std::string result = run.script->BuildCode(expression, output);
  return Context().projErr.empty() ? result : output;
}

bool EvalCond(ObP& project, GenerationRun& run, std::string_view condition) {
  if (Trim(condition).empty()) return true;
  for (std::string_view item : Split(condition, ','))
    if (!EvalItem(project, run, Trim(item))) return false;
  return true;
}

}  // namespace zantrel
