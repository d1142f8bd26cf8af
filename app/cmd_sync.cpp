// zantrel sync: brings a project in step with its live database, keeping the
// user's settings, prints what changed and saves the project (atomically).
#include <cstdio>

#include "cli.h"
#include "project_file.h"
#include "sync/differences.h"
#include "terminal_prompter.h"

namespace zantrel::cli {

int RunSync(const std::vector<std::string>& args) {
  ArgParser parser(args, {"keys"}, {"dry-run", "no-rename"});
  const auto& pos = parser.positionals();
  if (pos.size() != 1) throw UsageError("sync takes one PROJECT file");
  const SyncAnswer keys = ParseSyncAnswer(parser.option("keys", "ask"), "keys");
  Ref<ObP> project = LoadProject(pos[0]);
  AnswerQuestion("primarykey", keys);
  // A column renamed in the database keeps its settings unless the user says no.
  if (parser.flag("no-rename")) Prompts().Answer("renamedfield", PromptReply{1, false});
  SchemaDifferences changes;
  project->SynchronizeDB(&changes);
  PrintPromptNotices();
  if (!ObP::ProjErr().empty()) throw Failure(ObP::ProjErr());
  for (const Difference& d : changes.items) std::printf("%s\n", Describe(d, true).c_str());
  if (changes.empty()) std::printf("in step with the database\n");
  if (parser.flag("dry-run")) {
    std::printf("dry run: %s not changed\n", pos[0].c_str());
    return kExitOk;
  }
  project->Save(pos[0]);
  return kExitOk;
}

}  // namespace zantrel::cli
