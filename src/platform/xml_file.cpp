#include "platform/xml_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include "core/names.h"
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

// Where each line of a text starts, to turn a parser's byte offset into a line
// and column (taken before an in-place parse overwrites the text).
class LineIndex {
 public:
  explicit LineIndex(std::string_view text) {
    for (std::size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1))
      starts_.push_back(at + 1);
  }
  void Place(std::ptrdiff_t offset, XmlError& error) const {
    if (offset < 0) return;
    auto next = std::upper_bound(starts_.begin(), starts_.end(), static_cast<std::size_t>(offset));
    error.line = static_cast<int32_t>(next - starts_.begin());
    error.column = static_cast<int32_t>(static_cast<std::size_t>(offset) - *(next - 1) + 1);
  }

 private:
  std::vector<std::size_t> starts_{0};
};

bool Fail(XmlError* error, std::string reason, const LineIndex* lines = nullptr, std::ptrdiff_t offset = -1) {
  if (error) {
    *error = XmlError{std::move(reason)};
    if (lines) lines->Place(offset, *error);
  }
  return false;
}

bool LooksWide(std::string_view text) {
  if (text.size() < 2) return false;
  const auto b0 = static_cast<unsigned char>(text[0]), b1 = static_cast<unsigned char>(text[1]);
  return (b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF) || b0 == 0 || b1 == 0;
}

// A NUL byte, or a character reference to NUL, which the parser would take as
// the end of the value and so cut it silently; -1 when there is none.
std::ptrdiff_t FindNul(std::string_view text) {
  if (!LooksWide(text))
    if (std::size_t at = text.find('\0'); at != std::string_view::npos) return static_cast<std::ptrdiff_t>(at);
  for (std::size_t at = text.find("&#"); at != std::string_view::npos; at = text.find("&#", at + 2)) {
    std::size_t i = at + 2;
    if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) ++i;
    const std::size_t digits = i;
    while (i < text.size() && text[i] == '0') ++i;
    if (i > digits && i < text.size() && text[i] == ';') return static_cast<std::ptrdiff_t>(at);
  }
  return -1;
}

// The elements of a document, with a check that no attribute is given twice.
class DuplicateAttributeFinder : public pugi::xml_tree_walker {
 public:
  pugi::xml_node element;
  std::string name;

  bool for_each(pugi::xml_node& node) override {
    if (node.type() != pugi::node_element || !node.first_attribute()) return true;
    names_.clear();
    for (const pugi::xml_attribute& a : node.attributes()) names_.emplace_back(a.name());
    std::sort(names_.begin(), names_.end());
    auto twice = std::adjacent_find(names_.begin(), names_.end());
    if (twice == names_.end()) return true;
    element = node;
    name = std::string(*twice);
    return false;
  }

 private:
  std::vector<std::string_view> names_;
};

// What pugixml accepts but XML does not: a second root element, an attribute twice.
bool CheckStructure(pugi::xml_document& doc, const LineIndex& lines, XmlError* error) {
  int roots = 0;
  for (const pugi::xml_node& child : doc.children())
    if (child.type() == pugi::node_element && ++roots == 2)
      return Fail(error, std::string("second root element <") + child.name() + ">", &lines, child.offset_debug());
  DuplicateAttributeFinder finder;
  if (!doc.traverse(finder))
    return Fail(error, "attribute " + finder.name + " given twice in <" + finder.element.name() + ">", &lines,
                finder.element.offset_debug());
  return true;
}

bool Parsed(const pugi::xml_parse_result& result, pugi::xml_document& doc, const LineIndex& lines,
            XmlError* error) {
  if (!result) return Fail(error, result.description(), &lines, result.offset);
  return CheckStructure(doc, lines, error);
}

bool ParseCopy(std::string_view bytes, pugi::xml_document& doc, pugi::xml_encoding encoding, XmlError* error) {
  const LineIndex lines(bytes);
  if (std::ptrdiff_t nul = FindNul(bytes); nul >= 0) return Fail(error, "NUL character", &lines, nul);
  return Parsed(doc.load_buffer(bytes.data(), bytes.size(), kParseOptions, encoding), doc, lines, error);
}

// A buffer allocated the way pugixml frees it, so that a document can own it.
struct PugiBuffer {
  char* data = nullptr;
  std::size_t size = 0;
  ~PugiBuffer() {
    if (data) pugi::get_memory_deallocation_function()(data);
  }
  char* Release() { return std::exchange(data, nullptr); }
  std::string_view View() const { return {data, size}; }
};

bool Allocate(PugiBuffer& buffer, std::size_t size, XmlError* error) {
  buffer.data = static_cast<char*>(pugi::get_memory_allocation_function()(size == 0 ? 1 : size));
  buffer.size = size;
  return buffer.data != nullptr || Fail(error, "out of memory");
}

// Opened without blocking, so that a FIFO is refused rather than waited on.
bool ReadInto(const std::filesystem::path& file, PugiBuffer& buffer, XmlError* error) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Fail(error, std::strerror(errno));
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 || Fail(error, std::strerror(errno));
  ok = ok && (S_ISREG(st.st_mode) || Fail(error, "not a regular file"));
  ok = ok && Allocate(buffer, static_cast<std::size_t>(st.st_size), error);
  std::size_t done = 0;
  while (ok && done < buffer.size) {
    const ssize_t n = ::read(fd, buffer.data + done, buffer.size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = Fail(error, std::strerror(errno));
    if (n == 0) buffer.size = done;  // shortened while read
    done += n > 0 ? static_cast<std::size_t>(n) : 0;
    if (n == 0) break;
  }
  ::close(fd);
  return ok;
}

// Parses a buffer that the document takes over, so that a large file is held once.
bool ParseOwned(PugiBuffer& buffer, pugi::xml_document& doc, XmlError* error) {
  const LineIndex lines(buffer.View());
  if (std::ptrdiff_t nul = FindNul(buffer.View()); nul >= 0) return Fail(error, "NUL character", &lines, nul);
  const std::size_t size = buffer.size;
  return Parsed(doc.load_buffer_inplace_own(buffer.Release(), size, kParseOptions, pugi::encoding_auto), doc, lines,
                error);
}

template <class Load>
bool WithText(std::string* error, Load&& load) {
  XmlError failure;
  const bool ok = load(&failure);
  if (!ok && error) *error = failure.Text();
  return ok;
}

}  // namespace

std::string XmlError::Text() const {
  if (line == 0) return reason;
  return reason + " at line " + std::to_string(line) + ", column " + std::to_string(column);
}

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

bool LoadXmlText(std::string_view bytes, pugi::xml_document& doc, XmlError* error) {
  std::string encoding = DeclaredEncoding(bytes);
  if (PugixmlReadsItself(encoding)) return ParseCopy(bytes, doc, pugi::encoding_auto, error);
  try {
    return ParseCopy(DecodeToUtf8(bytes, encoding), doc, pugi::encoding_utf8, error);
  } catch (const EncodingError& e) {
    return Fail(error, e.what());
  }
}

bool LoadXmlFile(const std::filesystem::path& file, pugi::xml_document& doc, XmlError* error) {
  PugiBuffer raw;
  if (!ReadInto(file, raw, error)) return false;
  std::string encoding = DeclaredEncoding(raw.View());
  if (PugixmlReadsItself(encoding)) return ParseOwned(raw, doc, error);
  std::string utf8;
  try {
    utf8 = DecodeToUtf8(raw.View(), encoding);
  } catch (const EncodingError& e) {
    return Fail(error, e.what());
  }
  PugiBuffer converted;
  if (!Allocate(converted, utf8.size(), error)) return false;
  std::memcpy(converted.data, utf8.data(), utf8.size());
  return ParseOwned(converted, doc, error);
}

// The file is read again: an in-place parse has overwritten some line ends of its copy.
XmlError XmlErrorAt(const std::filesystem::path& file, const pugi::xml_node& node, std::string reason) {
  XmlError error{std::move(reason)};
  PugiBuffer text;
  if (ReadInto(file, text, nullptr)) LineIndex(text.View()).Place(node.offset_debug(), error);
  return error;
}

bool LoadXmlFile(const std::filesystem::path& file, pugi::xml_document& doc, std::string* error) {
  return WithText(error, [&](XmlError* e) { return LoadXmlFile(file, doc, e); });
}

bool LoadXmlText(std::string_view bytes, pugi::xml_document& doc, std::string* error) {
  return WithText(error, [&](XmlError* e) { return LoadXmlText(bytes, doc, e); });
}

}  // namespace zantrel
