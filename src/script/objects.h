// The objects the runtime library creates: Scripting.Dictionary, RegExp (with
// its Match, Matches and SubMatches), the Err object and GetRef's function
// references.
#pragma once

#include <string_view>

#include "core/dispatch.h"

namespace zantrel::script {

class Runtime;
struct Function;

// Property getters that take no arguments refuse some (450), so that obj.Prop(i)
// can fall back to indexing what Prop returns.
inline void NoArgs(Args a) {
  if (!a.empty()) RaiseWrongArguments();
}

Ref<Dispatch> NewDictionary();
Ref<Dispatch> NewRegExp();
Ref<Dispatch> NewErrObject(Runtime& rt);
Ref<Dispatch> NewFunctionRef(Runtime& rt, const Function& fn);

}  // namespace zantrel::script
