// ObPField: one column of a table, view, custom view or report, with what the
// schema loader learnt about it and the user's generation settings (95 settings).
// ObPFields: the fields of one table, numbered densely by FldSeq.
#pragma once

#include "core/dispatch.h"
#include "model/property_bag.h"
#include "model/sequenced_list.h"
#include "model/settings.h"

namespace zantrel {

class ObPField : public HostObject<ObPField> {
 public:
  static const MemberTable<ObPField>& Members();
  ObPField();

  ObProperties& Properties() const { return *properties_; }
  std::string Key() const { return FldName(); }

  void Key(std::string_view k) { FldName(k); }

  enum : int32_t {
#define ZANTREL_SETTING ZANTREL_SETTING_INDEX
#include "model/field_settings.def"
#undef ZANTREL_SETTING
  };
#define ZANTREL_SETTING ZANTREL_SETTING_ACCESSORS
#include "model/field_settings.def"
#undef ZANTREL_SETTING

  // The list's view of the item.
  std::string ItemName() const { return FldName(); }
  void ItemName(std::string_view n) { FldName(n); }
  int16_t SeqNo() const { return FldSeq(); }
  void SeqNo(int16_t s) { FldSeq(s); }

 private:
  Ref<ObProperties> properties_;
};

class ObPFields : public HostObject<ObPFields>, public SequencedList<ObPField> {
 public:
  static const MemberTable<ObPFields>& Members();
  Ref<Enumerator> NewEnum() override { return SequencedList::NewEnum(); }
};

}  // namespace zantrel
