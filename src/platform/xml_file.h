// Loading XML files into a pugixml document whatever charset they declare:
// UTF-8, UTF-16 and ISO-8859-1 go to pugixml as they are; any other declared
// encoding is converted to UTF-8 first.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace zantrel {

// The encoding named by the XML declaration at the start of text, or "".
std::string DeclaredEncoding(std::string_view text);

// Why a file did not load, and where when its text is at fault.
struct XmlError {
  std::string reason;
  int32_t line = 0;  // from 1; 0 when the failure has no place in the text
  int32_t column = 0;
  // "reason at line L, column C", or the reason alone.
  std::string Text() const;
};

// Loads and parses; on failure returns false with the reason in *error. Only
// regular files are read (a FIFO or a directory fails at once), and what XML
// forbids but a lenient parser would take is refused: a character reference
// to NUL or a NUL byte, an attribute given twice, a second root element.
bool LoadXmlFile(const std::filesystem::path& file, pugi::xml_document& doc, XmlError* error);
bool LoadXmlText(std::string_view bytes, pugi::xml_document& doc, XmlError* error);
bool LoadXmlFile(const std::filesystem::path& file, pugi::xml_document& doc, std::string* error = nullptr);
// A reason found in a document loaded from file, placed at node's line and column.
XmlError XmlErrorAt(const std::filesystem::path& file, const pugi::xml_node& node, std::string reason);
bool LoadXmlText(std::string_view bytes, pugi::xml_document& doc, std::string* error = nullptr);

}  // namespace zantrel
