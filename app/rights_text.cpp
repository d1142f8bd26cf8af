// Checks the rights texts `zantrel set` stores, with the same grammar the
// generated application's runtime reads (templates/default/runtime/lib/rights.php).
#include "rights_text.h"

#include <cctype>

namespace zantrel::cli {
namespace {

bool IsLevelChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '-';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

std::string EntryProblem(std::string_view entry) {
  const std::string quoted = "'" + std::string(entry) + "'";
  std::size_t colon = entry.find(':');
  if (colon == std::string_view::npos) return "the entry " + quoted + " has no ':' between level and rights";
  std::string_view level = entry.substr(0, colon), letters = entry.substr(colon + 1);
  if (!level.empty() && level.front() == '+') level.remove_prefix(1);
  if (level.empty()) return "the entry " + quoted + " names no level";
  if (level != "*")
    for (char c : level)
      if (!IsLevelChar(c)) return "the level of " + quoted + " may hold only letters, digits, '_', '.' and '-'";
  if (letters == "*") return {};
  for (std::size_t i = 0; i < letters.size(); ++i) {
    if (kRightLetters.find(letters[i]) == std::string_view::npos)
      return "unknown right '" + std::string(1, letters[i]) + "' in " + quoted;
    if (letters.find(letters[i], i + 1) != std::string_view::npos)
      return "the right '" + std::string(1, letters[i]) + "' is given twice in " + quoted;
  }
  return {};
}

}  // namespace

bool IsRightsSetting(std::string_view name) { return name == "TblSecurity" || name == "SecDefault"; }

std::string RightsTextProblem(std::string_view text) {
  std::string seen = ",";
  while (!text.empty()) {
    std::size_t comma = text.find(',');
    std::string_view entry = Trim(text.substr(0, comma));
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    if (entry.empty()) continue;
    if (std::string problem = EntryProblem(entry); !problem.empty()) return problem;
    std::string_view level = entry.substr(0, entry.find(':'));
    if (level.front() == '+') level.remove_prefix(1);
    if (seen.find("," + std::string(level) + ",") != std::string::npos)
      return "the level '" + std::string(level) + "' is named twice";
    seen += std::string(level) + ",";
  }
  return {};
}

}  // namespace zantrel::cli
