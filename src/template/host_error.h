// The error text the template's host objects (ObScript, ObParser) report in:
// like every object a host creates, they leave a failure's words in ProjErr.
// Their callers inside the engine take the text from there after each call.
#pragma once

#include <string>

namespace zantrel {

// The text the last failing call left, and "" from then on.
std::string TakeHostError();
// Forgets any text, before a run whose objects test for one.
void ClearHostError();

}  // namespace zantrel
