#include "generate/conditions.h"

#include <array>

#include "core/context.h"
#include "core/convert.h"
#include "core/names.h"
#include "core/text.h"
#include "generate/generation_run.h"
#include "model/project.h"

namespace zantrel {
namespace {

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
const ObProperties* ScopeBag(ObPModel& project, std::string_view scope) {
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

// The four parts of scope/name/operator/values; false when there are not four.
bool SplitItem(std::string_view item, std::array<std::string_view, 4>& parts) {
  for (std::size_t i = 0; i < 3; ++i) {
    std::size_t at = item.find('/');
    if (at == std::string_view::npos) return false;
    parts[i] = item.substr(0, at);
    item.remove_prefix(at + 1);
  }
  parts[3] = item;
  return item.find('/') == std::string_view::npos;
}

// Whether any of the |-separated candidates compares true with current.
template <class Convert>
bool AnyCandidate(std::string_view op, const Variant& current, std::string_view values, Convert convert) {
  for (std::size_t start = 0;;) {
    std::size_t at = values.find('|', start);
    if (Compare(op, current, convert(values.substr(start, at == std::string_view::npos ? at : at - start))))
      return true;
    if (at == std::string_view::npos) return false;
    start = at + 1;
  }
}

bool EvalItem(ObPModel& project, GenerationRun& run, std::string_view item) {
  bool custom = item.size() >= 7 && NameEquals(item.substr(0, 7), "custom:");
  if (custom) item = Trim(item.substr(7));
  std::array<std::string_view, 4> parts;
  if (!SplitItem(item, parts)) return true;
  std::string op = FoldName(parts[2]);
  if (custom) {
    std::string typeName(parts[1]);
    Variant current = ConvertByTypeName(Variant(EvalCustomExpr(run, std::string(parts[0]))), typeName);
    return AnyCandidate(op, current, parts[3],
                        [&](std::string_view v) { return ConvertByTypeName(Variant(v), typeName); });
  }
  if (NameEquals(parts[0], "ctrl")) {
    Ref<ObPControl> control = run.controls->Item(run.controls->curIndex);
    std::string name = FoldName(parts[1]);
    const ControlField* field = nullptr;
    for (const ControlField& f : kControlFields)
      if (f.name == name) field = &f;
    if (!control || !field) return true;
    Variant current((*control).*(field->field));
    return AnyCandidate(op, current, parts[3], [](std::string_view v) { return Variant(StripQuotes(v)); });
  }
  const ObProperties* bag = ScopeBag(project, parts[0]);
  if (!bag) return true;
  int32_t at = bag->Find(parts[1]);
  if (at < 0) return false;
  const std::string& dataType = bag->MetaAt(at).dataType;
  return AnyCandidate(op, bag->ValueAt(at), parts[3],
                      [&](std::string_view v) { return ConvertToPropType(*bag, v, dataType); });
}

}  // namespace

Variant ConvertByDataType(const Variant& value, std::string_view typeName) {
  const SettingType type = SettingTypeOf(typeName);
  if (type != SettingType::Boolean && type != SettingType::Integer && type != SettingType::Long) return value;
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
  return ScriptFailed(run) ? output : result;
}

bool EvalCond(ObPModel& project, GenerationRun& run, std::string_view condition) {
  if (Trim(condition).empty()) return true;
  for (std::size_t start = 0;;) {
    std::size_t at = condition.find(',', start);
    if (!EvalItem(project, run, Trim(condition.substr(start, at == std::string_view::npos ? at : at - start))))
      return false;
    if (at == std::string_view::npos) return true;
    start = at + 1;
  }
}

}  // namespace zantrel
