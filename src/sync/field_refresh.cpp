#include "sync/field_refresh.h"

#include <string_view>

#include "core/context.h"
#include "core/convert.h"
#include "model/schema_rules.h"
#include "platform/prompter.h"
#include "schema/field_defaults.h"
#include "sync/field_match.h"

namespace zantrel {
namespace {

// What the field defaults set from a column's type and size.
constexpr std::string_view kDerived[] = {"FldHtmlTag", "FldTagMaxLength", "FldTagSize",
                                         "FldValidate", "FldTagRows",      "FldTagCols"};

std::string SettingText(const Variant* v) { return !v || v->IsEmpty() || v->IsNull() ? std::string() : CStr(*v); }

// A field that holds only a column's type attributes, with the defaults they give.
Ref<ObPField> DefaultsFor(const std::string& name, const ObSchemaField& column) {
  Ref<ObPField> f = MakeRef<ObPField>();
  f->FldName(name);
  f->FldType(column.FldType);
  f->FldTypeName(column.FldTypeName);
  f->NativeDataType(column.NativeDataType);
  f->FldTagValues(column.FldTagValues);
  f->FldSize(column.FldSize);
  f->FldSupport(column.FldSupport);
  f->FldReq(column.FldReq);
  f->FldAutoIncrement(column.FldAutoIncrement);
  f->FldAttribute(column.FldAttribute);
  LoadFldDefault(*f);
  return f;
}

bool AskRename(const std::string& table, const std::string& from, const std::string& to) {
  Prompt prompt;
  prompt.id = "renamedfield";
  prompt.caption = Context().product.name;
  prompt.message = "Field \"" + from + "\" of \"" + table + "\" seems renamed to \"" + to +
                   "\". Rename (keep its settings) or drop and add?";
  prompt.buttons = {"Rename", "Drop and add"};
  prompt.safeButton = 0;
  return Prompts().Ask(prompt).button == 0;
}

// The key's parts with one field name replaced.
std::string RenamedInKey(const std::string& key, const std::string& from, const std::string& to) {
  std::string out;
  std::size_t start = 0;
  while (start <= key.size()) {
    std::size_t comma = key.find(',', start);
    if (comma == std::string::npos) comma = key.size();
    std::string part = key.substr(start, comma - start);
    std::size_t a = part.find_first_not_of(' '), b = part.find_last_not_of(' ');
    std::string trimmed = a == std::string::npos ? std::string() : part.substr(a, b - a + 1);
    out += (start ? "," : "") + (trimmed == from ? to : part);
    start = comma + 1;
  }
  return out;
}

}  // namespace

std::vector<AttributeChange> RefreshDerivedSettings(ObPField& field, const ObSchemaField& live) {
  std::vector<AttributeChange> changes;
  const std::string typeName = field.FldTypeName();
  if (typeName == live.FldTypeName && field.FldSize() == live.FldSize) return changes;
  ObSchemaField before = live;  // the project's column as it was loaded
  before.FldTypeName = typeName;
  before.FldSize = field.FldSize();
  before.FldReq = field.FldReq();
  Ref<ObPField> was = DefaultsFor(field.FldName(), before), now = DefaultsFor(field.FldName(), live);
  if (typeName != live.FldTypeName) {
    changes.push_back({"FldTypeName", typeName, live.FldTypeName});
    field.FldTypeName(live.FldTypeName);
  }
  for (std::string_view name : kDerived) {
    Variant* slot = field.Properties().FindValue(name);
    const Variant* fresh = now->Properties().FindValue(name);
    if (!slot || !fresh) continue;
    const std::string current = SettingText(slot), after = SettingText(fresh);
    if (current != SettingText(was->Properties().FindValue(name)) || current == after) continue;  // the user's, or unchanged
    changes.push_back({std::string(name), current, after});
    *slot = *fresh;
  }
  return changes;
}

bool RenameMovedField(ObPTable& table, const std::vector<const ObSchemaField*>& live, SchemaDifferences* log) {
  ObPFields& fields = table.Fields();
  std::vector<int32_t> dropped;
  for (int32_t i = 0; i < fields.Count(); ++i) {
    const std::string name = fields.At(i)->FldName();
    bool found = false;
    for (const ObSchemaField* l : live) found = found || l->FldName == name;
    if (!found) dropped.push_back(i);
  }
  std::vector<std::size_t> added;
  for (std::size_t j = 0; j < live.size(); ++j)
    if (!FindExactName(fields, live[j]->FldName)) added.push_back(j);
  if (dropped.size() != 1 || added.size() != 1 || static_cast<std::size_t>(dropped[0]) != added[0]) return false;
  ObPField& f = *fields.At(dropped[0]);
  const ObSchemaField& l = *live[added[0]];
  const std::string from = f.FldName(), to = l.FldName;
  if (f.NativeDataType() != l.NativeDataType || !AskRename(table.TblName(), from, to)) return false;
  fields.collection().ChangeKey(from, to);
  if (f.FldVar() == MakeVarName(from, "x_")) f.FldVar(MakeVarName(to, "x_"));
  if (f.FldCaption() == from || f.FldCaption() == MakeCaption(from)) f.FldCaption(l.FldCaption.empty() ? to : l.FldCaption);
  if (!table.TblKey().empty()) table.TblKey(RenamedInKey(table.TblKey(), from, to));
  if (log) log->Add(DifferenceKind::RenamedField, table.TblName(), table.TblType(), to).attributes = {{"FldName", from, to}};
  return true;
}

}  // namespace zantrel
