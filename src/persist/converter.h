// The converter of project files written by older versions of the library. The
// format has not changed since, so a conversion rewrites the file's Version into
// a temporary copy; the user's own file is never touched.
#pragma once

#include <string>
#include <string_view>

namespace zantrel {

// The path of the converted copy, or "" when the file cannot be converted.
std::string ConvertProjectFile(const std::string& projFile, std::string_view languageTag, std::string_view version);

// Removes a copy made by ConvertProjectFile (nothing for "").
void RemoveConvertedFile(const std::string& path);

}  // namespace zantrel
