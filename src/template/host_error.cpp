#include "template/host_error.h"

#include <utility>

#include "core/context.h"

namespace zantrel {

std::string TakeHostError() { return std::exchange(Context().projErr, std::string()); }

void ClearHostError() { Context().projErr.clear(); }

}  // namespace zantrel
