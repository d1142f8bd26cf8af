// The number of the error a call raises, or 0 when it raises none.
#pragma once

#include <functional>

#include "core/error.h"

namespace zantrel::test {

inline int32_t ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const Error& e) {
    return e.number();
  }
  return 0;
}

}  // namespace zantrel::test
