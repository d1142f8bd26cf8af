#include "model/database.h"

#include "model/sequenced_list.h"

#include "core/context.h"
#include "core/error.h"

namespace zantrel {

ObPDatabase::ObPDatabase() : properties_(MakeRef<ObProperties>()) {
  RegisterSettings(*properties_, DatabaseSettings());
  ApplyInitialValues(*properties_, DatabaseSettings());
}

ObPTables& ObPDatabase::tables() {
  if (!tables_) tables_ = MakeRef<ObPTables>();
  return *tables_;
}

ObPDatabases::ObPDatabases() : items_(MakeRef<CSuperCollection>()) { items_->CompareMode(1); }

bool ObPDatabases::Add(std::string_view name) {
  if (Count() > 0) {
    Context().projErr = "support 1 db only!";
    return false;
  }
  Context().projErr.clear();
  auto db = MakeRef<ObPDatabase>();
  db->DBName(name);
  items_->Add(ObjectVariant(db), name);
  curName_ = std::string(name);
  curSeq_ = std::to_string(Count());
  return true;
}

Ref<ObPDatabase> ObPDatabases::Item(const Variant& index) {
  Variant v = items_->Item(index);
  if (!v.IsObject() || !v.AsObject()) Raise(err::kObjectNotSet);
  Ref<ObPDatabase> db(static_cast<ObPDatabase*>(v.AsObject()));
  curName_ = db->DBName();
  return db;
}

ObPDatabase* ObPDatabases::Find(std::string_view name) const {
  int32_t ordinal = items_->OrdinalOf(name);
  return ordinal < 0 ? nullptr : static_cast<ObPDatabase*>(items_->ValueAt(ordinal).AsObject());
}

const MemberTable<ObPDatabase>& ObPDatabase::Members() {
  using D = ObPDatabase;
  static const MemberTable<D> table = [] {
    std::vector<Member<D>> members = {
        {"Properties", [](D& d, Args) { return ObjectVariant(Ref<ObProperties>(&d.Properties())); }, nullptr, kProperty},
        {"tables", [](D& d, Args) { return ObjectVariant(Ref<ObPTables>(&d.tables())); }, nullptr, kProperty},
        {"Key", [](D& d, Args) { return Variant(d.Key()); }, [](D& d, Args, const Variant& v) { d.Key(CStr(v)); }},
    };
    AddSettingMembers(members, DatabaseSettings());
    return MemberTable<D>("ObPDatabase", std::move(members));
  }();
  return table;
}

const MemberTable<ObPDatabases>& ObPDatabases::Members() {
  static const MemberTable<ObPDatabases> table("ObPDatabases", SchemaListMembers<ObPDatabases>(), "Item");
  return table;
}

}  // namespace zantrel
