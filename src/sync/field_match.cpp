#include "sync/field_match.h"

#include <string>
#include <unordered_map>

#include "core/convert.h"
#include "core/error.h"
#include "schema/field_defaults.h"
#include "sync/field_refresh.h"

namespace zantrel {
namespace {

std::string Text(const Variant& v) { return v.IsEmpty() ? std::string() : CStr(v); }

bool IsEmptyDefault(const Variant& v) { return v.IsEmpty() || v.IsNull() || (v.IsString() && v.AsString().empty()); }

// Stores a refreshed value, noting it when it differs.
class Refresh {
 public:
  Refresh(ObPField& field, std::vector<AttributeChange>& changes) : field_(field), changes_(changes) {}

  void Set(std::string_view name, const Variant& value) {
    Variant* slot = field_.Properties().FindValue(name);
    if (!slot) return;
    std::string before = Text(*slot), after = Text(value);
    if (before != after) changes_.push_back({std::string(name), before, after});
    *slot = value;
  }

 private:
  ObPField& field_;
  std::vector<AttributeChange>& changes_;
};

// The database-derived attributes of a field that still exists; its default
// only while the user has none.
std::vector<AttributeChange> RefreshAttributes(ObPField& f, const ObSchemaField& live) {
  std::vector<AttributeChange> changes;
  Refresh r(f, changes);
  r.Set("FldAutoIncrement", Variant(live.FldAutoIncrement));
  r.Set("FldAttribute", Variant(live.FldAttribute));
  r.Set("FldReq", Variant(live.FldReq));
  r.Set("FldSize", Variant(live.FldSize));
  r.Set("FldSupport", Variant(live.FldSupport));
  r.Set("FldUniqueIdx", Variant(live.FldUniqueIdx));
  r.Set("FldZeroLen", Variant(live.FldZeroLen));
  r.Set("FldQuoteS", Variant(live.FldQuoteS));
  r.Set("FldQuoteE", Variant(live.FldQuoteE));
  if (IsEmptyDefault(f.FldDefault())) r.Set("FldDefault", live.FldDefault);
  return changes;
}

// A setting read straight from the bag: the check reads five per field of
// every table, and a freshly loaded field holds them already typed.
const Variant& Setting(const ObPField& f, std::string_view name, int32_t hint) {
  const Variant* v = f.Properties().FindValue(name, hint);
  if (!v) Raise(err::kObjectNotSet);
  return *v;
}

int32_t WholeSetting(const ObPField& f, std::string_view name, int32_t hint) {
  const Variant& v = Setting(f, name, hint);
  switch (v.type()) {
    case VarType::Integer: return v.AsInteger();
    case VarType::Long: return v.AsLong();
    default: return CLng(v);
  }
}

bool BooleanSetting(const ObPField& f, std::string_view name, int32_t hint) {
  const Variant& v = Setting(f, name, hint);
  return v.type() == VarType::Boolean ? v.AsBoolean() : CBool(v);
}

}  // namespace

std::vector<std::string> TableNamesOfType(ObPTables& tables, TableKind kind) {
  std::vector<std::string> names;
  for (int32_t i = 0; i < tables.Count(); ++i)
    if (tables.At(i)->Kind() == kind) names.push_back(tables.At(i)->TblName());
  return names;
}

CheckedAttributes CheckedAttributes::Of(const ObPField& f) {
  return {static_cast<int16_t>(WholeSetting(f, "NativeDataType", ObPField::kSetting_NativeDataType)),
          WholeSetting(f, "FldSize", ObPField::kSetting_FldSize),
          BooleanSetting(f, "FldUniqueIdx", ObPField::kSetting_FldUniqueIdx),
          BooleanSetting(f, "FldAutoIncrement", ObPField::kSetting_FldAutoIncrement),
          WholeSetting(f, "FldAttribute", ObPField::kSetting_FldAttribute)};
}

CheckedAttributes CheckedAttributes::Of(const ObSchemaField& f) {
  return {f.NativeDataType, f.FldSize, f.FldUniqueIdx, f.FldAutoIncrement, f.FldAttribute};
}

std::vector<AttributeChange> ChangedAttributes(const CheckedAttributes& p, const CheckedAttributes& l) {
  std::vector<AttributeChange> out;
  auto add = [&out](const char* name, auto a, auto b) {
    if (a != b) out.push_back({name, CStr(Variant(a)), CStr(Variant(b))});
  };
  add("NativeDataType", p.NativeDataType, l.NativeDataType);
  add("FldSize", p.FldSize, l.FldSize);
  add("FldUniqueIdx", p.FldUniqueIdx, l.FldUniqueIdx);
  add("FldAutoIncrement", p.FldAutoIncrement, l.FldAutoIncrement);
  add("FldAttribute", p.FldAttribute, l.FldAttribute);
  return out;
}

ObSchemaField RecordOf(const ObPField& f) {
  ObSchemaField r;
  r.FldName = f.FldName();
  r.FldType = f.FldType();
  r.NativeDataType = f.NativeDataType();
  r.FldSupport = f.FldSupport();
  r.FldSize = f.FldSize();
  r.FldUniqueIdx = f.FldUniqueIdx();
  r.FldZeroLen = f.FldZeroLen();
  r.FldReq = f.FldReq();
  r.FldAutoIncrement = f.FldAutoIncrement();
  r.FldAttribute = f.FldAttribute();
  r.FldDefault = f.FldDefault();
  r.FldQuoteS = f.FldQuoteS();
  r.FldQuoteE = f.FldQuoteE();
  r.FldCaption = f.FldCaption();
  return r;
}

void AddField(ObPFields& fields, const ObSchemaField& live, NewFieldRule rule) {
  Ref<ObPField> f = fields.Add(live.FldName);
  f->FldType(live.FldType);
  if (rule != NewFieldRule::ReportField) f->FldTypeName(live.FldTypeName);
  f->NativeDataType(live.NativeDataType);
  if (rule != NewFieldRule::ReportField) f->FldTagValues(live.FldTagValues);
  f->FldAutoIncrement(live.FldAutoIncrement);
  f->FldAttribute(live.FldAttribute);
  f->FldDefault(live.FldDefault);
  f->FldGenerate(live.FldSupport);
  f->FldSize(live.FldSize);
  f->FldSupport(live.FldSupport);
  f->FldUniqueIdx(live.FldUniqueIdx);
  f->FldZeroLen(live.FldZeroLen);
  f->FldQuoteS(live.FldQuoteS);
  f->FldQuoteE(live.FldQuoteE);
  f->FldCaption(live.FldCaption);
  if (rule == NewFieldRule::NewTableColumn) f->FldReq(live.FldReq);
  LoadFldDefault(*f);
}

void MergeFields(ObPTable& table, const std::vector<const ObSchemaField*>& live, NewFieldRule rule,
                 SchemaDifferences* log) {
  std::unordered_map<std::string, const ObSchemaField*> byName;
  for (const ObSchemaField* f : live) byName.emplace(f->FldName, f);
  const std::string name = table.TblName(), type = table.TblType();
  if (rule != NewFieldRule::ReportField) RenameMovedField(table, live, log);

  // Fields that match no live field by name and type go; a retyped one comes
  // back below with its defaults.
  std::unordered_map<std::string, int16_t> retyped;  // name -> the project's NativeDataType
  ObPFields& fields = table.Fields();
  for (int32_t i = fields.Count() - 1; i >= 0; --i) {
    ObPField& f = *fields.At(i);
    const std::string fieldName = f.FldName();
    auto it = byName.find(fieldName);
    if (it != byName.end() && it->second->NativeDataType == f.NativeDataType()) continue;
    if (it != byName.end()) retyped.emplace(fieldName, f.NativeDataType());
    else if (log) log->Add(DifferenceKind::DroppedField, name, type, fieldName);
    fields.Delete(Variant(fieldName));
  }

  for (const ObSchemaField* l : live) {
    if (ObPField* f = FindExactName(fields, l->FldName)) {
      std::vector<AttributeChange> changes;
      if (rule != NewFieldRule::ReportField) changes = RefreshDerivedSettings(*f, *l);  // before the size
      for (AttributeChange& c : RefreshAttributes(*f, *l)) changes.push_back(std::move(c));
      if (log && !changes.empty()) log->Add(DifferenceKind::ChangedField, name, type, l->FldName).attributes = changes;
      continue;
    }
    AddField(fields, *l, rule);
    if (!log) continue;
    if (auto it = retyped.find(l->FldName); it != retyped.end()) {
      log->Add(DifferenceKind::ChangedField, name, type, l->FldName).attributes = {
          {"NativeDataType", CStr(Variant(it->second)), CStr(Variant(l->NativeDataType))}};
    } else {
      log->Add(DifferenceKind::NewField, name, type, l->FldName);
    }
  }
}

}  // namespace zantrel
