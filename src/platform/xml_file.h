// Loading XML files into a pugixml document whatever charset they declare:
// UTF-8, UTF-16 and ISO-8859-1 go to pugixml as they are; any other declared
// encoding is converted to UTF-8 first.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace zantrel {

// The encoding named by the XML declaration at the start of text, or "".
std::string DeclaredEncoding(std::string_view text);

// Loads and parses; on failure returns false with a reason in *error.
bool LoadXmlFile(const std::filesystem::path& file, pugi::xml_document& doc, std::string* error = nullptr);
bool LoadXmlText(std::string_view bytes, pugi::xml_document& doc, std::string* error = nullptr);

}  // namespace zantrel
