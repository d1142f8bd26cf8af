#include "generate/output_text.h"

#include "core/context.h"
#include "core/text.h"

namespace zantrel {
namespace {



bool IsCommentLine(std::string_view line) {
  std::size_t first = line.find_first_not_of(" \t");
  return first != std::string_view::npos && line.substr(first, 2) == "//";
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The position of the next "</head>" in any letter case, from `from`.
std::size_t FindHeadEnd(std::string_view text, std::size_t from) {
  static constexpr std::string_view kHeadEnd = "</head>";
  for (std::size_t at = text.find("</", from); at != std::string_view::npos; at = text.find("</", at + 2)) {
    if (text.size() - at < kHeadEnd.size()) break;
    std::size_t i = 2;
    while (i < kHeadEnd.size() && AsciiLower(text[at + i]) == kHeadEnd[i]) ++i;
    if (i == kHeadEnd.size()) return at;
  }
  return std::string_view::npos;
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
    std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
    start = end == std::string_view::npos ? text.size() : end + 1;
    std::string withoutCr;
    if (line.find('\r') != std::string_view::npos) {
      withoutCr.assign(line);
      std::erase(withoutCr, '\r');
      line = withoutCr;
    }
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
  if (FindHeadEnd(out, 0) == std::string_view::npos) return out;
  return InsertGeneratorTag(out, versionText);
}

std::string InsertGeneratorTag(std::string_view text, std::string_view versionText) {
  static constexpr std::size_t kHeadEndSize = 7;
  if (FindHeadEnd(text, 0) == std::string_view::npos) return std::string(text);
  std::string tag = "<meta name=\"generator\" content=\"" + Context().product.name + " v" + std::string(versionText) +
                    "\" />" + std::string(kCrLf);
  std::string out;
  out.reserve(text.size() + tag.size());
  std::size_t from = 0;
  for (std::size_t at; (at = FindHeadEnd(text, from)) != std::string_view::npos; from = at) {
    out.append(text.substr(from, at - from));
    out += tag;
    out.append(text.substr(at, kHeadEndSize));
    at += kHeadEndSize;
  }
  out.append(text.substr(from));
  return out;
}

}  // namespace zantrel
