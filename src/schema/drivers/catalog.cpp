// Shared catalogue helpers of the native drivers.
#include "schema/drivers/catalog.h"

#include <algorithm>
#include <cctype>

namespace zantrel::catalog {

DriverTable& TableSet::Table(const std::string& name, std::string_view type) {
  if (!tables_.empty() && tables_.back().Name == name) return tables_.back();
  auto [it, added] = index_.try_emplace(name, tables_.size());
  if (added) {
    tables_.push_back(DriverTable{name, std::string(type), {}, {}});
  }
  return tables_[it->second];
}

DriverTable* TableSet::Find(const std::string& name) {
  auto it = index_.find(name);
  return it == index_.end() ? nullptr : &tables_[it->second];
}

void ApplyKeys(DriverTable& table, const Keys& keys) {
  table.PKField.clear();
  for (const std::string& name : keys.primary) {
    if (!table.PKField.empty()) table.PKField += ",";
    table.PKField += name;
  }
  for (DriverField& f : table.Fields) {
    bool inKey = std::find(keys.primary.begin(), keys.primary.end(), f.Name) != keys.primary.end();
    bool soleKey = inKey && keys.primary.size() == 1;
    bool unique = std::find(keys.unique.begin(), keys.unique.end(), f.Name) != keys.unique.end();
    if (inKey) f.ADOAttributes |= ado::kFldKeyColumn;
    if (soleKey || unique) f.Unique = true;
  }
}

const ado::NativeType* FindType(std::span<const ado::NativeType> table, std::string_view name) {
  for (const ado::NativeType& t : table)
    if (t.name == name) return &t;
  return nullptr;
}

std::string TagValues(const std::vector<std::string>& members) {
  std::string out;
  for (const std::string& m : members) {
    if (!out.empty()) out += "\r\n";
    out += "\"" + m + "\",\"" + m + "\"";
  }
  return out;
}

std::vector<std::string> EnumMembers(std::string_view columnType) {
  std::vector<std::string> out;
  auto open = columnType.find('(');
  if (open == std::string_view::npos) return out;
  std::string current;
  bool quoted = false;
  for (std::size_t i = open + 1; i < columnType.size(); ++i) {
    char c = columnType[i];
    if (quoted) {
      if (c == '\'' && i + 1 < columnType.size() && columnType[i + 1] == '\'') {
        current += '\'';
        ++i;
      } else if (c == '\'') {
        out.push_back(current);
        current.clear();
        quoted = false;
      } else {
        current += c;
      }
    } else if (c == '\'') {
      quoted = true;
    }
  }
  return out;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool DefaultValue(std::string_view text, std::string& value) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  if (text.empty() || Lower(text) == "null") return false;
  if (text.front() == '\'' && text.size() >= 2) {
    std::string out;
    std::size_t i = 1;
    for (; i < text.size(); ++i) {
      if (text[i] == '\'') {
        if (i + 1 < text.size() && text[i + 1] == '\'') {
          out += '\'';
          ++i;
          continue;
        }
        break;  // the closing quote; a cast may follow
      }
      out += text[i];
    }
    value = out;
    return true;
  }
  if (auto cast = text.find("::"); cast != std::string_view::npos && text.front() != '(') text = text.substr(0, cast);
  if (Lower(text).starts_with("null")) return false;
  value = std::string(text);
  return true;
}

int32_t DeclaredLength(std::string_view typeText) {
  auto open = typeText.find('(');
  if (open == std::string_view::npos) return 0;
  int32_t n = 0;
  for (std::size_t i = open + 1; i < typeText.size() && std::isdigit(static_cast<unsigned char>(typeText[i])); ++i)
    n = n * 10 + (typeText[i] - '0');
  return n;
}

}  // namespace zantrel::catalog
