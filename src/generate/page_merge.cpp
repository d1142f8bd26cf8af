#include "generate/page_merge.h"

#include <git2.h>

#include <stdexcept>

namespace zantrel {
namespace {

// libgit2 keeps global state; it is set up once for the process.
void InitLibgit2() {
  static const int once = git_libgit2_init();
  (void)once;
}

git_merge_file_input Input(std::string_view text) {
  git_merge_file_input input = GIT_MERGE_FILE_INPUT_INIT;
  input.ptr = text.data();
  input.size = text.size();
  return input;
}

}  // namespace

MergedPage MergePage(std::string_view base, std::string_view ours, std::string_view theirs) {
  InitLibgit2();
  const git_merge_file_input ancestor = Input(base), mine = Input(ours), generated = Input(theirs);
  git_merge_file_options options = GIT_MERGE_FILE_OPTIONS_INIT;
  options.ancestor_label = "generated before";
  options.our_label = "edited";
  options.their_label = "generated now";
  git_merge_file_result result{};
  if (git_merge_file(&result, &ancestor, &mine, &generated, &options) != 0)
    throw std::runtime_error("merging a page failed");
  MergedPage merged{result.automergeable != 0, std::string(result.ptr ? result.ptr : "", result.len)};
  git_merge_file_result_free(&result);
  return merged;
}

std::string ContentHash(std::string_view text) {
  InitLibgit2();
  git_oid oid;
  if (git_odb_hash(&oid, text.data(), text.size(), GIT_OBJECT_BLOB) != 0)
    throw std::runtime_error("hashing a page failed");
  char hex[GIT_OID_HEXSZ + 1];
  git_oid_tostr(hex, sizeof hex, &oid);
  return hex;
}

}  // namespace zantrel
