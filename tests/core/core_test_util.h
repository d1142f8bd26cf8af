// Small helpers shared by the core tests: the number of a raised error and a
// readable "Type:text" form of a value for table comparisons.
#pragma once

#include <string>

#include "core/convert.h"
#include "core/error.h"

namespace zantrel::testing {

// The error number f raises, or 0 when it returns normally.
template <class F>
int32_t RaisedNumber(F&& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.number();
  }
  return 0;
}

inline std::string Describe(const Variant& v) {
  if (v.IsNull() || v.IsObject() || v.IsArray()) return TypeName(v);
  return TypeName(v) + ":" + CStr(v);
}

}  // namespace zantrel::testing
