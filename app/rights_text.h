// The rights text of TblSecurity and SecDefault: what each user level may do
// on a table in a generated application, e.g. "admin:*,staff:lvsaecx,customer:lv".
// Entries LEVEL:LETTERS separated by commas; LEVEL is a name of letters,
// digits, '_', '.', '-' (or '*' for every level not named; a leading '+' marks
// the level registration gives new users); LETTERS come from kRightLetters or are '*'.
#pragma once

#include <string>
#include <string_view>

namespace zantrel::cli {

// list, view, search, add, edit, copy, delete, export, global (every user's rows).
inline constexpr std::string_view kRightLetters = "lvsaecdxg";

bool IsRightsSetting(std::string_view name);

// What is wrong with a rights text, or "" when it is well formed (an empty text is).
std::string RightsTextProblem(std::string_view text);

}  // namespace zantrel::cli
