// zantrel sync: brings a project in step with its live database, keeping the
// user's settings, prints what changed and saves the project (atomically),
// keeping the file it replaces as PROJECT.prev.
#include <cstdio>
#include <filesystem>

#include "cli.h"
#include "project_file.h"
#include "platform/atomic_file.h"
#include "sync/differences.h"
#include "sync/synchronize.h"
#include "terminal_prompter.h"

namespace zantrel::cli {
namespace {

// A sync that takes a wrong database at its word can still be undone by hand.
void KeepPrevious(const std::string& file) {
  if (!std::filesystem::is_regular_file(file)) return;
  try {
    ReplaceFileAtomically(file + ".prev", ReadWholeFile(file), true);
  } catch (const FileError& e) {
    throw Failure(e.what());
  }
}

}  // namespace

int RunSync(const std::vector<std::string>& args) {
  ArgParser parser(args, {"keys"}, {"dry-run", "no-rename", "allow-drop"});
  const auto& pos = parser.positionals();
  if (pos.size() != 1) throw UsageError("sync takes one PROJECT file");
  const SyncAnswer keys = ParseSyncAnswer(parser.option("keys", "ask"), "keys");
  Ref<ObP> project = LoadProject(pos[0]);
  AnswerQuestion("primarykey", keys);
  // A column renamed in the database keeps its settings unless the user says no.
  if (parser.flag("no-rename")) Prompts().Answer("renamedfield", PromptReply{1, false});
  SchemaDifferences changes;
  try {
    Synchronize(*project, &changes, parser.flag("allow-drop"));
  } catch (const Error& e) {
    PrintPromptNotices();
    throw Failure(DescribeWithHint(e));
  }
  PrintPromptNotices();
  for (const Difference& d : changes.items) std::printf("%s\n", Describe(d, true).c_str());
  if (changes.empty()) std::printf("in step with the database\n");
  if (parser.flag("dry-run")) {
    std::printf("dry run: %s not changed\n", pos[0].c_str());
    return kExitOk;
  }
  KeepPrevious(pos[0]);
  project->Save(pos[0]);
  return kExitOk;
}

}  // namespace zantrel::cli
