// The list behaviour shared by ObPTables and ObPFields: items keyed by name
// (case-insensitive), a dense 1-based sequence number kept in each item, and a
// current name and sequence that follow the item last added, fetched or selected.
// Lookups and Delete never raise; Add raises 457 for a name already present.
//
// The item type provides ItemName(), SeqNo() and SeqNo(int16_t).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/convert.h"
#include "core/dispatch.h"
#include "model/super_collection.h"

namespace zantrel {

template <class ItemT>
class SequencedList {
 public:
  SequencedList() : items_(MakeRef<CSuperCollection>()) { items_->CompareMode(1); }

  const std::string& curName() const { return curName_; }
  int16_t curSeq() const { return curSeq_; }
  int32_t Count() const { return items_->Count(); }

  Ref<ItemT> Add(std::string_view name) {
    auto item = MakeRef<ItemT>();
    item->ItemName(name);
    items_->Add(ObjectVariant(item), name);
    item->SeqNo(static_cast<int16_t>(Count()));
    Select(*item);
    return item;
  }

  void Delete(const Variant& index) {
    try {
      Ref<ItemT> item = Lookup(index);
      if (!item) return;
      int16_t seq = item->SeqNo();
      for (int32_t i = 0; i < Count(); ++i) {
        ItemT* other = At(i);
        if (other->SeqNo() >= seq) other->SeqNo(static_cast<int16_t>(other->SeqNo() - 1));
      }
      items_->Remove(index.IsString() ? index : Variant(CLng(index)));
    } catch (const std::exception&) {
      // A missing or unreadable item is ignored, as every lookup of the list is.
    }
  }

  Ref<ItemT> Item(const Variant& index) {
    Ref<ItemT> item = Lookup(index);
    if (item) Select(*item);
    return item;
  }
  void SetItem(const Variant& index) { Item(index); }
  void ClearCurrent() {
    curName_.clear();
    curSeq_ = 0;
  }

  Ref<ItemT> Seq(int16_t seq) const {
    for (int32_t i = 0; i < Count(); ++i) {
      ItemT* item = At(i);
      if (item->SeqNo() == seq) return Ref<ItemT>(item);
    }
    return nullptr;
  }
  void SetSeq(int16_t seq) {
    if (Ref<ItemT> item = Seq(seq)) Select(*item);
  }

  Ref<Enumerator> NewEnum() { return items_->NewEnum(); }
  ItemT* At(int32_t ordinal) const { return static_cast<ItemT*>(items_->ValueAt(ordinal).AsObject()); }
  // A lookup by name that leaves the current item alone.
  ItemT* Find(std::string_view name) const {
    int32_t ordinal = items_->OrdinalOf(name);
    return ordinal < 0 ? nullptr : At(ordinal);
  }
  // A lookup by name in exact letter case; null when absent.
  ItemT* FindExact(std::string_view name) const {
    for (int32_t i = 0; i < Count(); ++i)
      if (At(i)->ItemName() == name) return At(i);
    return nullptr;
  }
  CSuperCollection& collection() { return *items_; }

 protected:
  Ref<ItemT> Lookup(const Variant& index) const {
    try {
      Variant v = items_->Item(index);
      return v.IsObject() ? Ref<ItemT>(static_cast<ItemT*>(v.AsObject())) : nullptr;
    } catch (const std::exception&) {
      return nullptr;
    }
  }
  void Select(ItemT& item) {
    curName_ = item.ItemName();
    curSeq_ = item.SeqNo();
  }

  Ref<CSuperCollection> items_;
  std::string curName_;
  int16_t curSeq_ = 0;
};

// Script members of every schema list: curName, curSeq, Add, Count, Delete, Item.
template <class L>
std::vector<Member<L>> SchemaListMembers() {
  return {
      {"curName", [](L& l, Args) { return Variant(l.curName()); }, nullptr},
      {"curSeq", [](L& l, Args) { return Variant(l.curSeq()); }, nullptr},
      {"Add",
       [](L& l, Args a) {
         using Added = decltype(l.Add(std::string()));
         if constexpr (std::is_void_v<Added> || std::is_same_v<Added, bool>) {  // no item handed out
           l.Add(CStr(Arg(a, 0)));
           return Variant();
         } else {
           return ObjectVariant(l.Add(CStr(Arg(a, 0))));
         }
       },
       nullptr},
      {"Count", [](L& l, Args) { return Variant(l.Count()); }, nullptr},
      {"Delete",
       [](L& l, Args a) {
         l.Delete(Arg(a, 0));
         return Variant();
       },
       nullptr},
      {"Item", [](L& l, Args a) { return ObjectVariant(l.Item(Arg(a, 0))); }, nullptr},
  };
}

// Script members of the table and field lists: the schema list members and the
// lookups by sequence number.
template <class ListT>
std::vector<Member<ListT>> SequencedListMembers() {
  using L = ListT;
  std::vector<Member<L>> members = SchemaListMembers<L>();
  std::vector<Member<L>> bySequence = {
      {"Seq", [](L& l, Args a) { return ObjectVariant(l.Seq(CInt(Arg(a, 0)))); }, nullptr},
      {"SetItem",
       [](L& l, Args a) {
         l.SetItem(Arg(a, 0));
         return Variant();
       },
       nullptr},
      {"SetSeq",
       [](L& l, Args a) {
         l.SetSeq(CInt(Arg(a, 0)));
         return Variant();
       },
       nullptr},
  };
  members.insert(members.end(), bySequence.begin(), bySequence.end());
  return members;
}

}  // namespace zantrel
