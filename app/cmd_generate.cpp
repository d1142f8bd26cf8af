// zantrel generate: the application for a project, with the command line's
// choices applied to its settings for this run only (the file is not saved).
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "cli.h"
#include "core/context.h"
#include "generate/generate.h"
#include "project/project.h"
#include "platform/progress.h"
#include "platform/prompter.h"
#include "project_file.h"

namespace zantrel::cli {
namespace {

namespace fs = std::filesystem;

// No template means the default one; a relative template path that does not
// exist from here is taken from the project's folder.
void ResolveTemplate(ObP& project, const std::string& projectFile, const std::string& option) {
  if (!option.empty()) {
    project.Template(option);
    return;
  }
  std::error_code ec;
  fs::path stored = project.Template();
  if (stored.empty()) {
    project.Template(ShippedFile("templates/default.zip"));  // the default template
    return;
  }
  if (stored.is_absolute() || fs::exists(stored, ec)) return;
  fs::path beside = fs::path(projectFile).parent_path() / stored;
  if (fs::exists(beside, ec)) project.Template(beside.string());
}

void SetAllTablesOverwrite(ObP& project, bool overwrite) {
  ObPDatabase* database = project.openDatabase();
  if (!database || !database->HasTables()) return;
  for (int32_t t = 0; t < database->tables().Count(); ++t) database->tables().At(t)->TblOverwrite(overwrite);
}

// ask: the settings decide and questions are asked; skip: they decide and
// every question is answered Skip; all / none: every existing output is / is
// not overwritten.
void ApplyOverwrite(ObP& project, Prompter& prompter, const std::string& mode) {
  if (mode == "ask") return;
  if (mode == "skip") {
    prompter.Answer("overwrite", PromptReply{1, true});
    return;
  }
  if (mode != "all" && mode != "none") throw UsageError("--overwrite takes ask, all, skip or none");
  bool overwrite = mode == "all";
  project.PromptOnOverwrite(false);
  project.OtherOverwrite(overwrite);
  SetAllTablesOverwrite(project, overwrite);
}

// The answers given without asking: the first few, then how many more.
void PrintNotices(Prompter& prompter) {
  constexpr std::size_t kShown = 5;
  auto& notices = prompter.notices;
  for (std::size_t i = 0; i < notices.size() && i < kShown; ++i)
    std::fprintf(stderr, "zantrel: %s\n", notices[i].c_str());
  if (notices.size() > kShown) std::fprintf(stderr, "zantrel: ... and %zu more\n", notices.size() - kShown);
  if (!notices.empty())
    std::fprintf(stderr, "zantrel: pass --overwrite all|none|skip to decide without being asked\n");
  notices.clear();
}

}  // namespace

int RunGenerate(const std::vector<std::string>& args) {
  ArgParser parser(args, {"template", "dest", "overwrite", "sync"}, {"backup", "quiet", "check"});
  if (parser.positionals().size() != 1) throw UsageError("generate takes one PROJECT.zpr");
  const std::string& file = parser.positionals()[0];
  Ref<ObP> project = LoadProjectChecked(file, ParseSyncAnswer(parser.option("sync", "ask"), "sync"));
  ResolveTemplate(*project, file, parser.option("template"));
  if (parser.has("dest")) project->Destination(parser.option("dest"));
  if (project->Template().empty()) throw Failure("no template: set Template or pass --template ZIP|DIR");
  if (project->Destination().empty()) throw Failure("no destination: set Destination or pass --dest DIR");
  Prompter& prompts = Prompts();
  ApplyOverwrite(*project, prompts, parser.option("overwrite", "ask"));
  bool quiet = parser.flag("quiet");
  InstallProgress(std::make_unique<TerminalProgress>(!quiet));

  if (parser.flag("check")) {
    const ExistingPagesOutcome outcome = CountExistingPages(*project);
    const int16_t existing = outcome.count;
    PrintNotices(prompts);
    if (!outcome.error.empty()) throw Failure(outcome.error);
    // The check stops at the first table that has existing pages.
    if (existing == 0)
      std::printf("No page of the output exists yet in %s\n", project->Destination().c_str());
    else
      std::printf("At least %d page%s of the output exist%s already in %s\n", existing, existing == 1 ? "" : "s",
                  existing == 1 ? "s" : "", project->Destination().c_str());
    return kExitOk;
  }
  GenerateOptions options;
  if (parser.flag("backup")) options.backup = true;
  auto start = std::chrono::steady_clock::now();
  const GenerateOutcome outcome = Generate(*project, options);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  PrintNotices(prompts);
  if (!outcome.error.empty()) throw Failure(outcome.error);
  const GenerationSummary& summary = outcome.summary;
  if (!quiet)
    std::printf("Generated into %s: %d written, %d skipped, %d backed up, in %.2f s\n",
                project->Destination().c_str(), summary.written, summary.skipped, summary.backedUp, seconds);
  return kExitOk;
}

}  // namespace zantrel::cli
