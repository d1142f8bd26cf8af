// Character sets of the project file: the table that maps Windows code page
// numbers to internet charset names, and the system's code page, derived on
// Linux from the locale's codeset (UTF-8 is 65001, ISO-8859-1 is 28591, …).
#pragma once

#include <string>
#include <string_view>

namespace zantrel {

// The charset name for a code page given as text ("1252" -> "iso-8859-1");
// NULs and surrounding spaces are ignored; an unknown code page gives "".
std::string CharsetForCodePage(std::string_view codePage);

// The code page of a locale codeset name as nl_langinfo(CODESET) reports it
// ("UTF-8" -> 65001); 0 when the codeset is unknown.
int CodePageForCodeset(std::string_view codeset);

// The system code page as text (from the current locale), and its charset name.
// Both are kept per thread and refreshed at every call.
std::string SystemCodePage();
std::string SystemCharset();

}  // namespace zantrel
