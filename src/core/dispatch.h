// The dispatch protocol through which scripts reach every object.
//
// A caller looks a member up by name once (case-insensitive) and then invokes it
// by id as a property get, a property let, a property set or a method call. Id 0
// is the default member (usually Item); an object that can be enumerated by
// For Each hands out an Enumerator. Host classes describe their members in a
// static MemberTable; script classes implement Dispatch directly.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/names.h"
#include "core/ref.h"
#include "core/variant.h"

namespace zantrel {

using DispId = int32_t;
inline constexpr DispId kDispUnknown = -1;
inline constexpr DispId kDispDefault = 0;

enum class InvokeKind : uint8_t { Get, Let, Set, Call };

// Arguments of an invocation, in source order. For Let and Set the new value is
// the last element. Elements are writable so that ByRef arguments can be updated.
using Args = std::span<Variant>;

class Enumerator : public RefCounted {
 public:
  virtual bool Next(Variant& out) = 0;
  virtual void Reset() = 0;
  virtual void Skip(uint32_t n) {
    Variant ignored;
    while (n-- > 0 && Next(ignored)) {
    }
  }
};

class Dispatch : public RefCounted {
 public:
  virtual std::string_view TypeName() const = 0;
  // Id of a member by name, kDispUnknown when there is none.
  virtual DispId MemberId(std::string_view name) const = 0;
  virtual Variant Invoke(DispId id, InvokeKind kind, Args args) = 0;
  // Enumeration for For Each; null when the object is not a collection.
  virtual Ref<Enumerator> NewEnum() { return nullptr; }

  // Convenience for hosts and tests: look up and invoke in one step (Raise 438).
  Variant GetMember(std::string_view name, std::vector<Variant> args = {});
  void LetMember(std::string_view name, Variant value, std::vector<Variant> args = {});
  Variant CallMember(std::string_view name, std::vector<Variant> args = {});
};

// One member of a host class: a property with getter and/or setter, or a method
// (a getter that takes arguments). Ids are positions in the table plus one.
template <class T>
struct Member {
  std::string name;
  std::function<Variant(T&, Args)> get;              // property get or method
  std::function<void(T&, Args, const Variant&)> put;  // property let/set
  int arity = -1;  // 0 for a property without parameters; -1 when the member takes any
};

// A member marked as a property without parameters: arguments given to it go to
// the default member of the value it returns (db.Tables("x") is db.Tables.Item("x")).
inline constexpr int kProperty = 0;

template <class T>
class MemberTable {
 public:
  MemberTable(std::string typeName, std::vector<Member<T>> members, std::string_view defaultMember = {})
      : typeName_(std::move(typeName)), members_(std::move(members)) {
    for (std::size_t i = 0; i < members_.size(); ++i) index_.emplace(members_[i].name, static_cast<DispId>(i + 1));
    if (!defaultMember.empty()) defaultId_ = Find(defaultMember);
  }

  const std::string& typeName() const { return typeName_; }
  DispId Find(std::string_view name) const {
    auto it = index_.find(name);
    return it == index_.end() ? kDispUnknown : it->second;
  }
  std::size_t size() const { return members_.size(); }
  const Member<T>& at(std::size_t i) const { return members_[i]; }

  Variant Invoke(T& self, DispId id, InvokeKind kind, Args args) const;

 private:
  std::string typeName_;
  std::vector<Member<T>> members_;
  NameMap<DispId> index_;
  DispId defaultId_ = kDispUnknown;
};

// Raises 438 "Object doesn't support this property or method".
[[noreturn]] void RaiseNotSupported();
// Raises 450 "Wrong number of arguments or invalid property assignment".
[[noreturn]] void RaiseWrongArguments();

template <class T>
Variant MemberTable<T>::Invoke(T& self, DispId id, InvokeKind kind, Args args) const {
  if (id == kDispDefault) id = defaultId_;
  if (id < 1 || static_cast<std::size_t>(id) > members_.size()) RaiseNotSupported();
  const Member<T>& m = members_[id - 1];
  bool assigning = kind == InvokeKind::Let || kind == InvokeKind::Set;
  if (m.arity == kProperty && args.size() > (assigning ? 1u : 0u)) {
    if (assigning) RaiseWrongArguments();
    if (!m.get) RaiseNotSupported();
    Variant value = m.get(self, {});
    if (!value.IsObject() || !value.AsObject()) RaiseWrongArguments();
    return value.AsObject()->Invoke(kDispDefault, kind, args);
  }
  if (assigning) {
    if (!m.put) RaiseNotSupported();
    if (args.empty()) RaiseWrongArguments();
    m.put(self, args.first(args.size() - 1), args.back());
    return {};
  }
  if (!m.get) RaiseNotSupported();
  return m.get(self, args);
}

// Base for host classes: T provides `static const MemberTable<T>& Members();`.
template <class T>
class HostObject : public Dispatch {
 public:
  std::string_view TypeName() const override { return T::Members().typeName(); }
  DispId MemberId(std::string_view name) const override { return T::Members().Find(name); }
  Variant Invoke(DispId id, InvokeKind kind, Args args) override {
    return T::Members().Invoke(static_cast<T&>(*this), id, kind, args);
  }
};

// Argument helpers for member tables.
const Variant& Arg(Args args, std::size_t i);        // Raise 450 when missing
Variant OptArg(Args args, std::size_t i, Variant dflt);  // a missing argument takes dflt

// Wraps an object reference into a Variant (Nothing when null).
template <class T>
Variant ObjectVariant(const Ref<T>& obj) {
  return obj ? Variant(Ref<Dispatch>(obj.get())) : Variant::Nothing();
}

}  // namespace zantrel
