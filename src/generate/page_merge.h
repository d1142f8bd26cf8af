// Three-way merge of a page the user edited with the page generated now, and
// the content hash that tells an edited page from an untouched one.
#pragma once

#include <string>
#include <string_view>

namespace zantrel {

struct MergedPage {
  bool clean = false;  // false: text holds the conflict, with markers
  std::string text;
};

// base: the page as last generated; ours: the file as it is now; theirs: the
// page generated now.
MergedPage MergePage(std::string_view base, std::string_view ours, std::string_view theirs);

// The hex content hash of a page (git's blob hash).
std::string ContentHash(std::string_view text);

}  // namespace zantrel
