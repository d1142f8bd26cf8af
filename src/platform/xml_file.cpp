#include "platform/xml_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "core/names.h"
#include "platform/atomic_file.h"
#include "platform/text_encoding.h"

namespace zantrel {
namespace {

// Attribute values are kept exactly as written: no folding of tabs and line
// breaks into spaces, no rewriting of CR LF, so multi-line settings survive.
constexpr unsigned kParseOptions = pugi::parse_default & ~pugi::parse_wconv_attribute & ~pugi::parse_eol;

bool PugixmlReadsItself(std::string_view encoding) {
  return encoding.empty() || NameEquals(encoding, "utf-8") || NameEquals(encoding, "utf-16") ||
         NameEquals(encoding, "iso-8859-1") || NameEquals(encoding, "latin1");
}

}  // namespace

std::string DeclaredEncoding(std::string_view text) {
  if (text.substr(0, 5) != "<?xml") return {};
  std::string_view decl = text.substr(0, text.find("?>"));
  std::size_t at = decl.find("encoding");
  if (at == std::string_view::npos) return {};
  std::size_t open = decl.find_first_of("\"'", at);
  if (open == std::string_view::npos) return {};
  std::size_t close = decl.find(decl[open], open + 1);
  if (close == std::string_view::npos) return {};
  return std::string(decl.substr(open + 1, close - open - 1));
}

bool LoadXmlText(std::string_view bytes, pugi::xml_document& doc, std::string* error) {
  pugi::xml_parse_result result;
  std::string encoding = DeclaredEncoding(bytes);
  try {
    if (PugixmlReadsItself(encoding)) {
      result = doc.load_buffer(bytes.data(), bytes.size(), kParseOptions, pugi::encoding_auto);
    } else {
      std::string utf8 = DecodeToUtf8(bytes, encoding);
      result = doc.load_buffer(utf8.data(), utf8.size(), kParseOptions, pugi::encoding_utf8);
    }
  } catch (const EncodingError& e) {
    if (error) *error = e.what();
    return false;
  }
  if (!result && error) *error = std::string(result.description()) + " at byte " + std::to_string(result.offset);
  return static_cast<bool>(result);
}

namespace {

// A buffer allocated the way pugixml frees it, so that a document can own it.
struct PugiBuffer {
  char* data = nullptr;
  std::size_t size = 0;
  ~PugiBuffer() {
    if (data) pugi::get_memory_deallocation_function()(data);
  }
  char* Release() { return std::exchange(data, nullptr); }
};

bool Allocate(PugiBuffer& buffer, std::size_t size, std::string* error) {
  buffer.data = static_cast<char*>(pugi::get_memory_allocation_function()(size == 0 ? 1 : size));
  buffer.size = size;
  if (!buffer.data && error) *error = "out of memory";
  return buffer.data != nullptr;
}

bool ReadInto(const std::filesystem::path& file, PugiBuffer& buffer, std::string* error) {
  FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) {
    if (error) *error = "cannot open " + file.string() + ": " + std::strerror(errno);
    return false;
  }
  std::fseek(f, 0, SEEK_END);
  long size = std::ftell(f);
  std::fseek(f, 0, SEEK_SET);
  bool ok = size >= 0 && Allocate(buffer, static_cast<std::size_t>(size), error) &&
            std::fread(buffer.data, 1, buffer.size, f) == buffer.size;
  if (!ok && error && error->empty()) *error = "cannot read " + file.string();
  std::fclose(f);
  return ok;
}

// Parses a buffer that the document takes over, so that a large file is held once.
bool ParseOwned(PugiBuffer& buffer, pugi::xml_document& doc, std::string* error) {
  std::size_t size = buffer.size;
  pugi::xml_parse_result result = doc.load_buffer_inplace_own(buffer.Release(), size, kParseOptions, pugi::encoding_auto);
  if (!result && error) *error = std::string(result.description()) + " at byte " + std::to_string(result.offset);
  return static_cast<bool>(result);
}

}  // namespace

bool LoadXmlFile(const std::filesystem::path& file, pugi::xml_document& doc, std::string* error) {
  PugiBuffer raw;
  if (!ReadInto(file, raw, error)) return false;
  std::string encoding = DeclaredEncoding(std::string_view(raw.data, raw.size));
  if (PugixmlReadsItself(encoding)) return ParseOwned(raw, doc, error);
  std::string utf8;
  try {
    utf8 = DecodeToUtf8(std::string_view(raw.data, raw.size), encoding);
  } catch (const EncodingError& e) {
    if (error) *error = e.what();
    return false;
  }
  PugiBuffer converted;
  if (!Allocate(converted, utf8.size(), error)) return false;
  std::memcpy(converted.data, utf8.data(), utf8.size());
  return ParseOwned(converted, doc, error);
}

}  // namespace zantrel
