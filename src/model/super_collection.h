// CSuperCollection: the ordered, optionally keyed container under every list of
// the object model. Items are addressed by position (from BaseIndex) or by key;
// keys compare binary or as text (case-insensitive). CKeys presents the keys in
// sorted order; enumeration yields the items in position order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/dispatch.h"
#include "core/variant.h"

namespace zantrel {

// Marks "no item" and "no position given".
inline constexpr int32_t kNoPosition = 268435457;  // 0x10000001

// Errors of the collection beside VBScript's own 9, 438 and 457.
namespace err {
inline constexpr int32_t kCollectionInitialized = int32_t(0x80000500);
inline constexpr int32_t kKeyNotFound = int32_t(0x80000501);
inline constexpr int32_t kMoveInForEach = int32_t(0x80000502);
inline constexpr int32_t kInvalidDatatype = int32_t(0x80000503);
inline constexpr int32_t kNoPositionSupplied = int32_t(0x80000504);
}  // namespace err

// Where Add puts the new item relative to nPosition.
enum InsertMode : int32_t { kInsertBefore = 1, kInsertAfter = 2, kInsertFirst = 3, kInsertLast = 4 };

class CKeys;

class CSuperCollection : public HostObject<CSuperCollection> {
 public:
  static const MemberTable<CSuperCollection>& Members();

  CSuperCollection();
  ~CSuperCollection() override;

  int32_t CompareMode() const { return compareMode_; }
  void CompareMode(int32_t mode);
  bool AllowItemAsignments() const { return allowItemAssignments_; }
  void AllowItemAsignments(bool allow) { allowItemAssignments_ = allow; }
  int32_t BaseIndex() const { return baseIndex_; }
  void BaseIndex(int32_t base);

  Ref<CKeys> Keys();
  const std::string& Key(int32_t index) const;
  int32_t KeyExists(std::string_view key) const;  // position, or kNoPosition
  void ChangeKey(std::string_view oldKey, std::string_view newKey);
  void ChangeKeyForIndex(int32_t index, std::string_view newKey);

  void Add(const Variant& item, std::string_view key = {}, int32_t insert = kInsertLast,
           int32_t position = kNoPosition);
  int32_t Count() const { return static_cast<int32_t>(positions_.size()); }
  int32_t KeyCount() const { return static_cast<int32_t>(keys_.size()); }
  void Remove(const Variant& indexOrKey);
  Variant Item(const Variant& indexOrKey) const;  // Empty when absent
  void SetItem(const Variant& indexOrKey, const Variant& value);
  Ref<Enumerator> NewEnum() override;
  void Clear();
  int32_t MoveItem(const Variant& moved, const Variant& target);

  // Fast paths for the typed lists: the value at a 0-based ordinal, and the
  // 0-based ordinal of a key (-1 when absent). No errors.
  const Variant& ValueAt(int32_t ordinal) const { return slots_[positions_[ordinal]].value; }
  int32_t OrdinalOf(std::string_view key) const;

  // Keys in key order (the order CKeys enumerates), with their positions.
  std::vector<std::pair<std::string, int32_t>> SortedKeys() const;

 private:
  struct Slot {
    Variant value;
    std::string key;
  };
  struct KeyHash {
    bool text;
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const;
  };
  struct KeyEqual {
    bool text;
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
  };
  using KeyIndex = std::unordered_map<std::string, int32_t, KeyHash, KeyEqual>;  // key -> slot
  struct Liveness {
    int32_t activeEnumerations = 0;
  };
  friend class CollectionEnumerator;

  int32_t ResolvePosition(const Variant& indexOrKey) const;  // ordinal, Raise on bad input
  int32_t OrdinalOfPosition(int32_t position) const;         // -1 when out of range
  bool IsNumericIndex(const Variant& v) const;
  int32_t TakeSlot();
  void EraseOrdinal(int32_t ordinal);
  void MoveOrdinal(int32_t from, int32_t to);
  void RenumberFrom(int32_t ordinal);
  void RebuildKeyIndex();

  int32_t compareMode_ = 0;
  int32_t baseIndex_ = 1;
  bool allowItemAssignments_ = false;
  std::vector<int32_t> positions_;  // ordinal -> slot
  std::vector<Slot> slots_;
  std::vector<int32_t> ordinalOfSlot_;
  std::vector<int32_t> freeSlots_;
  KeyIndex keys_;
  std::shared_ptr<Liveness> liveness_;
};

class cKey : public HostObject<cKey> {
 public:
  static const MemberTable<cKey>& Members();
  cKey(std::string name, int32_t index) : Name(std::move(name)), AssociatedIndex(index) {}
  std::string Name;
  int32_t AssociatedIndex;
};

class CKeys : public HostObject<CKeys> {
 public:
  static const MemberTable<CKeys>& Members();
  explicit CKeys(Ref<CSuperCollection> owner) : owner_(std::move(owner)) {}
  int32_t Count() const { return owner_->KeyCount(); }
  Ref<Enumerator> NewEnum() override;

 private:
  Ref<CSuperCollection> owner_;
};

// Enumerates a fixed list of values (a snapshot), used for For Each.
class VariantListEnumerator : public Enumerator {
 public:
  explicit VariantListEnumerator(std::vector<Variant> items) : items_(std::move(items)) {}
  bool Next(Variant& out) override;
  void Reset() override { cursor_ = 0; }
  void Skip(uint32_t n) override { cursor_ += n; }

 private:
  std::vector<Variant> items_;
  std::size_t cursor_ = 0;
};

}  // namespace zantrel
