// Name-based convenience calls on Dispatch and the argument helpers that host
// member tables use.
#include "core/dispatch.h"

#include "core/error.h"

namespace zantrel {
namespace {

DispId RequireMember(const Dispatch& obj, std::string_view name) {
  const DispId id = obj.MemberId(name);
  if (id == kDispUnknown) RaiseNotSupported();
  return id;
}

}  // namespace

Variant Dispatch::GetMember(std::string_view name, std::vector<Variant> args) {
  return Invoke(RequireMember(*this, name), InvokeKind::Get, args);
}

void Dispatch::LetMember(std::string_view name, Variant value, std::vector<Variant> args) {
  const DispId id = RequireMember(*this, name);
  args.push_back(std::move(value));
  Invoke(id, InvokeKind::Let, args);
}

Variant Dispatch::CallMember(std::string_view name, std::vector<Variant> args) {
  return Invoke(RequireMember(*this, name), InvokeKind::Call, args);
}

void RaiseNotSupported() { Raise(err::kNotSupported); }

void RaiseWrongArguments() { Raise(err::kWrongArguments); }

const Variant& Arg(Args args, std::size_t i) {
  if (i >= args.size()) RaiseWrongArguments();
  return args[i];
}

Variant OptArg(Args args, std::size_t i, Variant dflt) { return i < args.size() ? args[i] : std::move(dflt); }

}  // namespace zantrel
