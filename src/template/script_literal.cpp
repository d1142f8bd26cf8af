#include "template/script_literal.h"

namespace zantrel {

std::string QuoteScriptString(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string ToScriptLiteral(std::string_view text) {
  std::string out;
  while (!text.empty()) {
    std::size_t end = text.find("\r\n");
    if (!out.empty()) out += "&";
    out += QuoteScriptString(text.substr(0, end));
    if (end == std::string_view::npos) break;
    out += "&vbCrLf";
    text.remove_prefix(end + 2);
    if (text.empty()) out += "&\"\"";
  }
  return out;
}

}  // namespace zantrel
