#include "model/table.h"

#include "model/schema_rules.h"

namespace zantrel {

ObPTable::ObPTable() : properties_(MakeRef<ObProperties>()) { RegisterSettings(*properties_, TableSettings()); }

ObPFields& ObPTable::Fields() {
  if (!fields_) fields_ = MakeRef<ObPFields>();
  return *fields_;
}

void ObPTables::Change(std::string_view oldName, std::string_view newName) {
  items_->ChangeKey(oldName, newName);
  if (ObPTable* table = Find(newName)) table->TblVar(MakeVarName(newName, ""));
}

const MemberTable<ObPTable>& ObPTable::Members() {
  using T = ObPTable;
  static const MemberTable<T> table = [] {
    std::vector<Member<T>> members = {
        {"Properties", [](T& t, Args) { return ObjectVariant(Ref<ObProperties>(&t.Properties())); }, nullptr, kProperty},
        {"Fields", [](T& t, Args) { return ObjectVariant(Ref<ObPFields>(&t.Fields())); }, nullptr, kProperty},
        {"Key", [](T& t, Args) { return Variant(t.Key()); }, [](T& t, Args, const Variant& v) { t.Key(CStr(v)); }},
    };
    AddSettingMembers(members, TableSettings());
    return MemberTable<T>("ObPTable", std::move(members));
  }();
  return table;
}

const MemberTable<ObPTables>& ObPTables::Members() {
  using L = ObPTables;
  static const MemberTable<L> table = [] {
    auto members = SequencedListMembers<L>();
    members.push_back({"Change",
                       [](L& l, Args a) {
                         l.Change(CStr(Arg(a, 0)), CStr(Arg(a, 1)));
                         return Variant();
                       },
                       nullptr});
    return MemberTable<L>("ObPTables", std::move(members), "Item");
  }();
  return table;
}

}  // namespace zantrel
