// ObPDatabase: the project's database with its connection settings (21 settings)
// and its tables. ObPDatabases: the project's database list, which holds one
// database at most.
#pragma once

#include "core/dispatch.h"
#include "model/property_bag.h"
#include "model/settings.h"
#include "model/super_collection.h"
#include "model/table.h"

namespace zantrel {

class ObPDatabase : public HostObject<ObPDatabase> {
 public:
  static const MemberTable<ObPDatabase>& Members();
  ObPDatabase();

  ObProperties& Properties() const { return *properties_; }
  ObPTables& tables();

  bool HasTables() const { return static_cast<bool>(tables_); }
  std::string Key() const { return DBName(); }
  void Key(std::string_view k) { DBName(k); }

  enum : int32_t {
#define ZANTREL_SETTING ZANTREL_SETTING_INDEX
#include "model/database_settings.def"
#undef ZANTREL_SETTING
  };
#define ZANTREL_SETTING ZANTREL_SETTING_ACCESSORS
#include "model/database_settings.def"
#undef ZANTREL_SETTING

 private:
  Ref<ObProperties> properties_;
  Ref<ObPTables> tables_;
};

class ObPDatabases : public HostObject<ObPDatabases> {
 public:
  static const MemberTable<ObPDatabases>& Members();
  ObPDatabases();

  const std::string& curName() const { return curName_; }
  const std::string& curSeq() const { return curSeq_; }
  // Adds the database; a second one is refused with ProjErr "support 1 db only!"
  // and false.
  bool Add(std::string_view name);
  int32_t Count() const { return items_->Count(); }
  void Delete(const Variant& index) { items_->Remove(index); }
  // The database by name or position; an unknown one raises 91.
  Ref<ObPDatabase> Item(const Variant& index);
  ObPDatabase* Find(std::string_view name) const;  // no side effects, null when absent
  Ref<Enumerator> NewEnum() override { return items_->NewEnum(); }

 private:
  Ref<CSuperCollection> items_;
  std::string curName_;
  std::string curSeq_;
};

}  // namespace zantrel
