// ObPTable: a table, view, custom view or report of the database with its
// generation settings (45 settings) and its fields. ObPTables: the tables of one
// database, numbered densely by TblSeq.
#pragma once

#include "core/dispatch.h"
#include "model/field.h"
#include "model/property_bag.h"
#include "model/sequenced_list.h"
#include "model/settings.h"
#include "model/table_kind.h"

namespace zantrel {

class ObPTable : public HostObject<ObPTable> {
 public:
  static const MemberTable<ObPTable>& Members();
  ObPTable();

  ObProperties& Properties() const { return *properties_; }
  ObPFields& Fields();
  bool HasFields() const { return static_cast<bool>(fields_); }

  // What TblType names.
  TableKind Kind() const { return TableKindOf(TblType()); }
  std::string Key() const { return TblName(); }
  void Key(std::string_view k) { TblName(k); }

  enum : int32_t {
#define ZANTREL_SETTING ZANTREL_SETTING_INDEX
#include "model/table_settings.def"
#undef ZANTREL_SETTING
  };
#define ZANTREL_SETTING ZANTREL_SETTING_ACCESSORS
#include "model/table_settings.def"
#undef ZANTREL_SETTING

  std::string ItemName() const { return TblName(); }
  void ItemName(std::string_view n) { TblName(n); }
  int16_t SeqNo() const { return TblSeq(); }
  void SeqNo(int16_t s) { TblSeq(s); }

 private:
  Ref<ObProperties> properties_;
  Ref<ObPFields> fields_;
};

class ObPTables : public HostObject<ObPTables>, public SequencedList<ObPTable> {
 public:
  static const MemberTable<ObPTables>& Members();
  Ref<Enumerator> NewEnum() override { return SequencedList::NewEnum(); }

  // Renames a table: its key, TblName and TblVar follow the new name.
  void Change(std::string_view oldName, std::string_view newName);
};

}  // namespace zantrel
