#include "model/field.h"

namespace zantrel {

ObPField::ObPField() : properties_(MakeRef<ObProperties>()) { RegisterSettings(*properties_, FieldSettings()); }

const MemberTable<ObPField>& ObPField::Members() {
  static const MemberTable<ObPField> table = [] {
    std::vector<Member<ObPField>> members = {
        {"Properties", [](ObPField& f, Args) { return ObjectVariant(Ref<ObProperties>(&f.Properties())); }, nullptr,
         kProperty},
        {"Key", [](ObPField& f, Args) { return Variant(f.Key()); },
         [](ObPField& f, Args, const Variant& v) { f.Key(CStr(v)); }},
    };
    AddSettingMembers(members, FieldSettings());
    return MemberTable<ObPField>("ObPField", std::move(members));
  }();
  return table;
}

const MemberTable<ObPFields>& ObPFields::Members() {
  static const MemberTable<ObPFields> table("ObPFields", SequencedListMembers<ObPFields>(), "Item");
  return table;
}

}  // namespace zantrel
