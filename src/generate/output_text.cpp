#include "generate/output_text.h"

#include "core/context.h"

namespace zantrel {
namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsBlank(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

bool IsCommentLine(std::string_view line) {
  std::size_t first = line.find_first_not_of(" \t");
  return first != std::string_view::npos && line.substr(first, 2) == "//";
}

// Lower-cases ASCII letters only, so positions in the copy match the original.
std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

std::string StripLeadingBlankLines(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!IsBlank(line)) break;
    start = end == std::string_view::npos ? text.size() : end + 1;
  }
  return std::string(text.substr(start));
}

std::string CleanOutput(std::string_view text, std::string_view versionText) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  int comments = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    std::string_view raw = text.substr(start, end == std::string_view::npos ? end : end - start);
    start = end == std::string_view::npos ? text.size() : end + 1;
    std::string line;
    line.reserve(raw.size());
    for (char c : raw)
      if (c != '\r') line += c;
    if (IsBlank(line)) continue;
    if (IsCommentLine(line)) {
      if (++comments == 1) out += kCrLf;
    } else {
      if (comments >= 2) out += kCrLf;
      comments = 0;
    }
    out += line;
    out += kCrLf;
  }
  return InsertGeneratorTag(out, versionText);
}

std::string InsertGeneratorTag(std::string_view text, std::string_view versionText) {
  static constexpr std::string_view kHeadEnd = "</head>";
  std::string lower = AsciiLower(text);
  if (lower.find(kHeadEnd) == std::string::npos) return std::string(text);
  std::string tag = "<meta name=\"generator\" content=\"" + Context().product.name + " v" + std::string(versionText) +
                    "\" />" + std::string(kCrLf);
  std::string out;
  out.reserve(text.size() + tag.size());
  std::size_t from = 0;
  for (std::size_t at; (at = lower.find(kHeadEnd, from)) != std::string::npos; from = at) {
    out.append(text.substr(from, at - from));
    out += tag;
    out.append(text.substr(at, kHeadEnd.size()));
    at += kHeadEnd.size();
  }
  out.append(text.substr(from));
  return out;
}

}  // namespace zantrel
