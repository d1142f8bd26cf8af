// The clean-up a page gets before it is written.
#pragma once

#include <string>
#include <string_view>

namespace zantrel {

// Drops leading lines that hold only blanks and tabs; the first other line keeps its indentation.
std::string StripLeadingBlankLines(std::string_view text);

// Rebuilds the text with CR LF line ends, without blank lines, setting runs of
// "//" comment lines apart by one empty line; then InsertGeneratorTag.
std::string CleanOutput(std::string_view text, std::string_view versionText);

// <meta name="generator" content="Zantrel vX" /> before every </head> (any case).
std::string InsertGeneratorTag(std::string_view text, std::string_view versionText);

}  // namespace zantrel
