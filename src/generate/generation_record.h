// The record of the last generation into a destination, kept outside it (the
// command line puts it beside the project file): for every page written, its
// path relative to the destination, its content hash and, under base/, its
// text as generated, the base of the next run's merge. Conflicted merges go
// under conflicts/. The list is replaced atomically by Save.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace zantrel {

class GenerationRecord {
 public:
  // Loads the record in folder when it is one of destination; else starts empty.
  GenerationRecord(std::filesystem::path folder, std::string destination);

  bool loaded() const { return loaded_; }
  const std::string* HashOf(const std::string& page) const;
  std::string BaseOf(const std::string& page) const;

  // The page as generated this run: its text becomes the next merge's base.
  void Record(const std::string& page, std::string_view text);
  // Produced this run but left as it was (skipped, or a conflict): the old entry stays.
  void Keep(const std::string& page) { produced_.insert(page); }
  void Forget(const std::string& page) { hashes_.erase(page); }
  // Writes the conflicted text under conflicts/; returns its path.
  std::string WriteConflict(const std::string& page, std::string_view text) const;
  // Recorded pages this run did not produce.
  std::vector<std::string> NotProduced() const;
  void Save() const;

 private:
  std::filesystem::path folder_;
  std::string destination_;
  std::map<std::string, std::string> hashes_;  // page -> content hash
  std::set<std::string> produced_;
  bool loaded_ = false;
};

}  // namespace zantrel
