#include "generate/generation_record.h"

#include <sstream>

#include "generate/page_merge.h"
#include "platform/atomic_file.h"

namespace zantrel {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kHeader = "zantrel generation record 1";
constexpr std::string_view kDestination = "destination ";

fs::path Index(const fs::path& folder) { return folder / "record.txt"; }

// A page's text kept in a subfolder of the record; written atomically.
void WriteBelow(const fs::path& file, std::string_view text) {
  fs::create_directories(file.parent_path());
  ReplaceFileAtomically(file, text, /*durable=*/false);
}

}  // namespace

GenerationRecord::GenerationRecord(fs::path folder, std::string destination)
    : folder_(std::move(folder)), destination_(std::move(destination)) {
  std::error_code ec;
  if (!fs::is_regular_file(Index(folder_), ec)) return;
  std::istringstream in(ReadWholeFile(Index(folder_)));
  std::string line;
  if (!std::getline(in, line) || line != kHeader) return;
  if (!std::getline(in, line) || line != std::string(kDestination) + destination_) return;  // another destination
  while (std::getline(in, line)) {
    const std::size_t space = line.find(' ');
    if (space != std::string::npos) hashes_[line.substr(space + 1)] = line.substr(0, space);
  }
  loaded_ = true;
}

const std::string* GenerationRecord::HashOf(const std::string& page) const {
  auto it = hashes_.find(page);
  return it == hashes_.end() ? nullptr : &it->second;
}

std::string GenerationRecord::BaseOf(const std::string& page) const {
  std::error_code ec;
  const fs::path file = folder_ / "base" / page;
  return fs::is_regular_file(file, ec) ? ReadWholeFile(file) : std::string();
}

void GenerationRecord::Record(const std::string& page, std::string_view text) {
  WriteBelow(folder_ / "base" / page, text);
  hashes_[page] = ContentHash(text);
  produced_.insert(page);
}

std::string GenerationRecord::WriteConflict(const std::string& page, std::string_view text) const {
  const fs::path file = folder_ / "conflicts" / page;
  WriteBelow(file, text);
  return file.string();
}

std::vector<std::string> GenerationRecord::NotProduced() const {
  std::vector<std::string> pages;
  for (const auto& [page, hash] : hashes_)
    if (!produced_.count(page)) pages.push_back(page);
  return pages;
}

void GenerationRecord::Save() const {
  std::string text = std::string(kHeader) + "\n" + std::string(kDestination) + destination_ + "\n";
  for (const auto& [page, hash] : hashes_) text += hash + " " + page + "\n";
  fs::create_directories(folder_);
  ReplaceFileAtomically(Index(folder_), text, /*durable=*/true);
}

}  // namespace zantrel
