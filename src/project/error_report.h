// How the members of the project objects report: the subsystems throw Error,
// and a member turns what its operation threw into the error text ProjErr,
// which the host reads after the call.
#pragma once

#include "core/error.h"
#include "model/project.h"

namespace zantrel {

// Runs op; an Error it throws becomes ProjErr and the answer false. With
// onlyOperations, other errors than the failures of project operations
// (err::IsOperationError) reach the caller as they are.
template <class Op>
bool Reported(Op&& op, bool onlyOperations = false) {
  try {
    op();
    return true;
  } catch (const Error& e) {
    if (onlyOperations && !err::IsOperationError(e.number())) throw;
    ObPModel::ProjErr(e.description());
    return false;
  }
}

}  // namespace zantrel
