// Folder names from control files: "/" is the canonical separator; "\" is
// accepted. One leading separator is dropped and one trailing separator is
// ensured, so "a\b" and "/a/b/" both give "a/b/". An empty name stays empty.
#pragma once

#include <string>
#include <string_view>

namespace zantrel {

std::string NormalizeFolder(std::string_view folder);

}  // namespace zantrel
