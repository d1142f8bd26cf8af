#include "persist/converter.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "platform/atomic_file.h"
#include "platform/xml_file.h"

namespace zantrel {

std::string ConvertProjectFile(const std::string& projFile, std::string_view, std::string_view version) {
  pugi::xml_document doc;
  if (!LoadXmlFile(projFile, doc)) return {};
  pugi::xml_node root = doc.document_element();
  pugi::xml_attribute attr = root.attribute("Version");
  if (!attr) attr = root.prepend_attribute("Version");
  attr.set_value(std::string(version).c_str());

  std::string pattern = (std::filesystem::temp_directory_path() / "zantrel-convert-XXXXXX").string();
  int fd = ::mkstemp(pattern.data());
  if (fd < 0) return {};
  ::close(fd);
  std::ostringstream text;
  doc.save(text, "", pugi::format_raw, pugi::encoding_utf8);
  try {
    ReplaceFileAtomically(pattern, text.str(), /*durable=*/false, 0600);
  } catch (const FileError&) {
    RemoveConvertedFile(pattern);
    return {};
  }
  return pattern;
}

void RemoveConvertedFile(const std::string& path) {
  if (path.empty()) return;
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

}  // namespace zantrel
