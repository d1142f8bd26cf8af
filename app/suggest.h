// "Did you mean" for a misspelt command, flag or setting name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zantrel::cli {

// The candidate closest to word (letter case ignored) when it is close enough to
// be a slip of the keyboard, else "".
std::string Closest(std::string_view word, const std::vector<std::string>& candidates);

// "; did you mean 'X'?" for the closest candidate, or "".
std::string DidYouMean(std::string_view word, const std::vector<std::string>& candidates, std::string_view prefix = {});

}  // namespace zantrel::cli
