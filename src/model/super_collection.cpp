// The keyed collection. Items live in slots that never move; the position list
// orders them, and a hash index maps keys to slots. Positions shift on removal
// and moves, so each slot remembers its ordinal for KeyExists.
#include "model/super_collection.h"

#include <algorithm>

#include "core/convert.h"
#include "core/error.h"
#include "core/names.h"

namespace zantrel {
namespace {

const char* const kSource = "zantrel.CSuperCollection";

[[noreturn]] void RaiseKeyNotFound() { Raise(err::kKeyNotFound, "Key not found.", kSource); }
[[noreturn]] void RaiseInvalidDatatype() { Raise(err::kInvalidDatatype, "Invalid datatype", kSource); }
[[noreturn]] void RaiseSubscript() { Raise(err::kSubscript, {}, kSource); }

}  // namespace

// Enumerates a snapshot of the items and counts itself into the collection's
// active enumerations while it lives.
class CollectionEnumerator : public Enumerator {
 public:
  CollectionEnumerator(std::vector<Variant> items, std::shared_ptr<CSuperCollection::Liveness> live)
      : items_(std::move(items)), live_(live) {
    ++live->activeEnumerations;
  }
  ~CollectionEnumerator() override {
    if (auto live = live_.lock()) --live->activeEnumerations;
  }
  bool Next(Variant& out) override {
    if (live_.expired() || cursor_ >= items_.size()) return false;
    out = items_[cursor_++];
    return true;
  }
  void Reset() override { cursor_ = 0; }
  void Skip(uint32_t n) override { cursor_ += n; }

 private:
  std::vector<Variant> items_;
  std::weak_ptr<CSuperCollection::Liveness> live_;
  std::size_t cursor_ = 0;
};

std::size_t CSuperCollection::KeyHash::operator()(std::string_view s) const {
  return text ? NameHash(s) : std::hash<std::string_view>{}(s);
}

bool CSuperCollection::KeyEqual::operator()(std::string_view a, std::string_view b) const {
  return text ? NameEquals(a, b) : a == b;
}

CSuperCollection::CSuperCollection()
    : keys_(0, KeyHash{false}, KeyEqual{false}), liveness_(std::make_shared<Liveness>()) {}

CSuperCollection::~CSuperCollection() = default;

void CSuperCollection::CompareMode(int32_t mode) {
  if (Count() > 0) Raise(err::kCollectionInitialized, "Collection already initialized", kSource);
  if (mode != 0 && mode != 1) RaiseSubscript();
  compareMode_ = mode;
  keys_ = KeyIndex(0, KeyHash{mode == 1}, KeyEqual{mode == 1});
}

void CSuperCollection::BaseIndex(int32_t base) {
  if (Count() > 0) Raise(err::kCollectionInitialized, "Collection already initialized", kSource);
  baseIndex_ = base;
}

bool CSuperCollection::IsNumericIndex(const Variant& v) const {
  switch (v.type()) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Byte:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
    case VarType::Boolean:
      return true;
    default:
      return false;
  }
}

int32_t CSuperCollection::OrdinalOfPosition(int32_t position) const {
  int64_t ordinal = int64_t(position) - baseIndex_;
  return ordinal >= 0 && ordinal < Count() ? static_cast<int32_t>(ordinal) : -1;
}

int32_t CSuperCollection::OrdinalOf(std::string_view key) const {
  if (key.empty()) return -1;
  auto it = keys_.find(key);
  return it == keys_.end() ? -1 : ordinalOfSlot_[it->second];
}

int32_t CSuperCollection::ResolvePosition(const Variant& indexOrKey) const {
  if (IsNumericIndex(indexOrKey)) {
    int32_t ordinal = OrdinalOfPosition(CLng(indexOrKey));
    if (ordinal < 0) RaiseSubscript();
    return ordinal;
  }
  if (indexOrKey.IsString()) {
    int32_t ordinal = OrdinalOf(indexOrKey.AsString());
    if (ordinal < 0) RaiseKeyNotFound();
    return ordinal;
  }
  RaiseInvalidDatatype();
}

Ref<CKeys> CSuperCollection::Keys() { return MakeRef<CKeys>(Ref<CSuperCollection>(this)); }

const std::string& CSuperCollection::Key(int32_t index) const {
  int32_t ordinal = OrdinalOfPosition(index);
  if (ordinal < 0) RaiseSubscript();
  return slots_[positions_[ordinal]].key;
}

int32_t CSuperCollection::KeyExists(std::string_view key) const {
  int32_t ordinal = OrdinalOf(key);
  return ordinal < 0 ? kNoPosition : ordinal + baseIndex_;
}

void CSuperCollection::ChangeKeyForIndex(int32_t index, std::string_view newKey) {
  int32_t ordinal = OrdinalOfPosition(index);
  if (ordinal < 0) RaiseSubscript();
  Slot& slot = slots_[positions_[ordinal]];
  if (!newKey.empty() && keys_.contains(newKey) && !(compareMode_ == 1 && NameEquals(slot.key, newKey)))
    Raise(err::kDuplicateKey, {}, kSource);
  if (slot.value.IsObject() && slot.value.AsObject()) slot.value.AsObject()->LetMember("Key", std::string(newKey));
  if (!slot.key.empty()) keys_.erase(slot.key);
  slot.key = std::string(newKey);
  if (!slot.key.empty()) keys_.emplace(slot.key, positions_[ordinal]);
}

void CSuperCollection::ChangeKey(std::string_view oldKey, std::string_view newKey) {
  int32_t ordinal = OrdinalOf(oldKey);
  if (ordinal < 0) RaiseKeyNotFound();
  ChangeKeyForIndex(ordinal + baseIndex_, newKey);
}

int32_t CSuperCollection::TakeSlot() {
  if (!freeSlots_.empty()) {
    int32_t slot = freeSlots_.back();
    freeSlots_.pop_back();
    return slot;
  }
  slots_.emplace_back();
  ordinalOfSlot_.push_back(-1);
  return static_cast<int32_t>(slots_.size() - 1);
}

void CSuperCollection::Add(const Variant& item, std::string_view key, int32_t insert, int32_t position) {
  int32_t target = -1;
  if (position != kNoPosition) {
    target = OrdinalOfPosition(position);
    if (target < 0) RaiseSubscript();
    if (target == 0 && insert == kInsertBefore) insert = kInsertFirst;
    if (target == Count() - 1 && insert == kInsertAfter) insert = kInsertLast;
  } else if (insert == kInsertBefore || insert == kInsertAfter) {
    Raise(err::kNoPositionSupplied, "No position supplied.", kSource);
  }
  if (!key.empty() && keys_.contains(key)) Raise(err::kDuplicateKey, {}, kSource);

  int32_t slot = TakeSlot();
  slots_[slot].value = item;
  slots_[slot].key = std::string(key);
  if (!key.empty()) keys_.emplace(slots_[slot].key, slot);
  ordinalOfSlot_[slot] = Count();
  positions_.push_back(slot);

  int32_t last = Count() - 1;
  if (insert == kInsertBefore) MoveOrdinal(last, target);
  else if (insert == kInsertAfter) MoveOrdinal(last, target + 1);
  else if (insert == kInsertFirst) MoveOrdinal(last, 0);
}

void CSuperCollection::RenumberFrom(int32_t ordinal) {
  for (int32_t i = ordinal; i < Count(); ++i) ordinalOfSlot_[positions_[i]] = i;
}

void CSuperCollection::EraseOrdinal(int32_t ordinal) {
  int32_t slot = positions_[ordinal];
  if (!slots_[slot].key.empty()) keys_.erase(slots_[slot].key);
  slots_[slot] = Slot{};
  ordinalOfSlot_[slot] = -1;
  freeSlots_.push_back(slot);
  positions_.erase(positions_.begin() + ordinal);
  RenumberFrom(ordinal);
}

void CSuperCollection::MoveOrdinal(int32_t from, int32_t to) {
  if (from == to) return;
  int32_t slot = positions_[from];
  if (from < to) {
    std::move(positions_.begin() + from + 1, positions_.begin() + to + 1, positions_.begin() + from);
  } else {
    std::move_backward(positions_.begin() + to, positions_.begin() + from, positions_.begin() + from + 1);
  }
  positions_[to] = slot;
  RenumberFrom(std::min(from, to));
}

void CSuperCollection::Remove(const Variant& indexOrKey) { EraseOrdinal(ResolvePosition(indexOrKey)); }

Variant CSuperCollection::Item(const Variant& indexOrKey) const {
  int32_t ordinal;
  if (IsNumericIndex(indexOrKey)) {
    ordinal = OrdinalOfPosition(CLng(indexOrKey));
  } else if (indexOrKey.IsString()) {
    ordinal = OrdinalOf(indexOrKey.AsString());
  } else {
    RaiseInvalidDatatype();
  }
  return ordinal < 0 ? Variant() : ValueAt(ordinal);
}

void CSuperCollection::SetItem(const Variant& indexOrKey, const Variant& value) {
  if (!allowItemAssignments_) Raise(err::kNotSupported, {}, kSource);
  int32_t ordinal = IsNumericIndex(indexOrKey) ? OrdinalOfPosition(CLng(indexOrKey))
                    : indexOrKey.IsString()    ? OrdinalOf(indexOrKey.AsString())
                                               : -1;
  if (ordinal < 0) RaiseKeyNotFound();
  slots_[positions_[ordinal]].value = value;
}

Ref<Enumerator> CSuperCollection::NewEnum() {
  std::vector<Variant> items;
  items.reserve(positions_.size());
  for (int32_t slot : positions_) items.push_back(slots_[slot].value);
  return MakeRef<CollectionEnumerator>(std::move(items), liveness_);
}

void CSuperCollection::Clear() {
  positions_.clear();
  slots_.clear();
  ordinalOfSlot_.clear();
  freeSlots_.clear();
  keys_.clear();
}

int32_t CSuperCollection::MoveItem(const Variant& moved, const Variant& target) {
  if (liveness_->activeEnumerations > 0)
    Raise(err::kMoveInForEach, "Move not allowed while in For...Each loop.", kSource);
  int32_t from = ResolvePosition(moved);
  int32_t to = ResolvePosition(target);
  MoveOrdinal(from, to);
  return to + baseIndex_;
}

std::vector<std::pair<std::string, int32_t>> CSuperCollection::SortedKeys() const {
  std::vector<std::pair<std::string, int32_t>> sorted;
  sorted.reserve(keys_.size());
  for (const auto& [key, slot] : keys_) sorted.emplace_back(key, ordinalOfSlot_[slot] + baseIndex_);
  bool text = compareMode_ == 1;
  std::sort(sorted.begin(), sorted.end(), [text](const auto& a, const auto& b) {
    return (text ? NameCompare(a.first, b.first) : BinaryCompare(a.first, b.first)) < 0;
  });
  return sorted;
}

Ref<Enumerator> CKeys::NewEnum() {
  std::vector<Variant> items;
  for (auto& [key, position] : owner_->SortedKeys()) items.push_back(ObjectVariant(MakeRef<cKey>(key, position)));
  return MakeRef<VariantListEnumerator>(std::move(items));
}

bool VariantListEnumerator::Next(Variant& out) {
  if (cursor_ >= items_.size()) return false;
  out = items_[cursor_++];
  return true;
}

// Script-facing members.

const MemberTable<CSuperCollection>& CSuperCollection::Members() {
  using C = CSuperCollection;
  static const MemberTable<C> table(
      "CSuperCollection",
      {
          {"CompareMode", [](C& c, Args) { return Variant(c.CompareMode()); },
           [](C& c, Args, const Variant& v) { c.CompareMode(CLng(v)); }},
          {"AllowItemAsignments", [](C& c, Args) { return Variant(c.AllowItemAsignments()); },
           [](C& c, Args, const Variant& v) { c.AllowItemAsignments(CBool(v)); }},
          {"BaseIndex", [](C& c, Args) { return Variant(c.BaseIndex()); },
           [](C& c, Args, const Variant& v) { c.BaseIndex(CLng(v)); }},
          {"Keys", [](C& c, Args) { return ObjectVariant(c.Keys()); }, nullptr, kProperty},
          {"Key", [](C& c, Args a) { return Variant(c.Key(CLng(Arg(a, 0)))); }, nullptr},
          {"KeyExists", [](C& c, Args a) { return Variant(c.KeyExists(CStr(Arg(a, 0)))); }, nullptr},
          {"ChangeKey",
           [](C& c, Args a) {
             c.ChangeKey(CStr(Arg(a, 0)), CStr(Arg(a, 1)));
             return Variant();
           },
           nullptr},
          {"ChangeKeyForIndex",
           [](C& c, Args a) {
             c.ChangeKeyForIndex(CLng(Arg(a, 0)), CStr(Arg(a, 1)));
             return Variant();
           },
           nullptr},
          {"Add",
           [](C& c, Args a) {
             c.Add(Arg(a, 0), CStr(OptArg(a, 1, "")), CLng(OptArg(a, 2, int32_t{kInsertLast})),
                   CLng(OptArg(a, 3, kNoPosition)));
             return Variant();
           },
           nullptr},
          {"Count", [](C& c, Args) { return Variant(c.Count()); }, nullptr},
          {"Remove",
           [](C& c, Args a) {
             c.Remove(Arg(a, 0));
             return Variant();
           },
           nullptr},
          {"Item", [](C& c, Args a) { return c.Item(Arg(a, 0)); },
           [](C& c, Args a, const Variant& v) { c.SetItem(Arg(a, 0), v); }},
          {"Clear",
           [](C& c, Args) {
             c.Clear();
             return Variant();
           },
           nullptr},
          {"MoveItem", [](C& c, Args a) { return Variant(c.MoveItem(Arg(a, 0), Arg(a, 1))); }, nullptr},
      },
      "Item");
  return table;
}

const MemberTable<cKey>& cKey::Members() {
  static const MemberTable<cKey> table(
      "cKey",
      {
          {"Name", [](cKey& k, Args) { return Variant(k.Name); }, nullptr},
          {"AssociatedIndex", [](cKey& k, Args) { return Variant(k.AssociatedIndex); }, nullptr},
      },
      "Name");
  return table;
}

const MemberTable<CKeys>& CKeys::Members() {
  static const MemberTable<CKeys> table("CKeys", {{"Count", [](CKeys& k, Args) { return Variant(k.Count()); }, nullptr}});
  return table;
}

}  // namespace zantrel
