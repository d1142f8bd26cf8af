// zantrel generate: the application for a project, with the command line's
// choices applied to its settings for this run only (the file is not saved).
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "cli.h"
#include "core/context.h"
#include "generate/generate.h"
#include "project/project.h"
#include "platform/progress.h"
#include "platform/prompter.h"
#include "project_file.h"
#include "template_report.h"
#include "sync/load_time_check.h"

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

// merge (with a record of an earlier run): untouched pages are replaced,
// edited ones merged; ask: the settings decide and questions are asked; skip: they decide and
// every question is answered Skip; all / none: every existing output is / is
// not overwritten.
void ApplyOverwrite(ObP& project, Prompter& prompter, const std::string& mode) {
  if (mode == "ask") return;
  if (mode == "merge") {
    // Pages are merged by the record; the template's copied files are its own
    // and replaced (an identical file is left alone).
    project.PromptOnOverwrite(false);
    project.OtherOverwrite(true);
    return;
  }
  if (mode == "skip") {
    prompter.Answer("overwrite", PromptReply{1, true});
    return;
  }
  if (mode != "all" && mode != "none") throw UsageError("--overwrite takes merge, ask, all, skip or none");
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

// The record of a project's generations lives beside its file, outside the
// destination: shop.zpr -> shop.zpr.d/.
fs::path RecordFolder(const std::string& projectFile) { return fs::path(projectFile + ".d"); }

// This run's backup folder inside the record: backups/YYYYMMDD-HHMMSS.
std::string BackupFolder(const std::string& projectFile) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  return (RecordFolder(projectFile) / "backups" / stamp).string();
}

}  // namespace

int RunGenerate(const std::vector<std::string>& args) {
  ArgParser parser(args, {"template", "dest", "overwrite", "sync", "template-update"},
                   {"backup", "quiet", "check", "strict", "offline"});
  if (parser.positionals().size() != 1) throw UsageError("generate takes one PROJECT.zpr");
  const std::string& file = parser.positionals()[0];
  Ref<ObP> project = LoadProjectChecked(file, ParseSyncAnswer(parser.option("sync", "ask"), "sync"));
  // An application generated from a definition the database may no longer
  // match is the user's choice, not a quiet fallback.
  if (LastLoadTimeCheck().unreadable && !parser.flag("offline"))
    throw Failure("the database could not be read; pass --offline to generate from the project "
                  "as saved");
  ResolveTemplate(*project, file, parser.option("template"));
  if (parser.has("dest")) project->Destination(parser.option("dest"));
  if (project->Template().empty()) throw Failure("no template: set Template or pass --template ZIP|DIR");
  if (project->Destination().empty()) throw Failure("no destination: set Destination or pass --dest DIR");
  Prompter& prompts = Prompts();
  const std::string record = RecordFolder(file).string();
  std::string mode = parser.option("overwrite", "merge");
  const bool merge = mode == "merge" && HasGenerationRecord(*project, record);
  if (mode == "merge" && !merge) mode = "ask";  // a first run: the settings decide, then the record is written
  ApplyOverwrite(*project, prompts, mode);
  const std::string templateUpdate = parser.option("template-update");
  if (templateUpdate == "keep" || templateUpdate == "extract")
    prompts.Answer("template", PromptReply{templateUpdate == "keep" ? 0u : 1u, false});
  else if (!templateUpdate.empty())
    throw UsageError("--template-update takes keep or extract");
  bool quiet = parser.flag("quiet");
  // The progress installed for the whole command watches Ctrl-C; it only
  // learns here whether to draw.
  if (TerminalProgress* progress = InstalledTerminalProgress()) progress->SetDraw(!quiet);

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
  options.strict = parser.flag("strict");
  options.backupFolder = BackupFolder(file);
  options.recordFolder = record;
  options.merge = merge;
  auto start = std::chrono::steady_clock::now();
  const GenerateOutcome outcome = Generate(*project, options);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  PrintNotices(prompts);
  PrintTemplateWarnings(outcome.warnings, options.strict);
  if (outcome.cancelled) {
    std::fprintf(stderr, "%s\n", outcome.error.c_str());
    return kExitCancelled;
  }
  if (!outcome.error.empty()) FailAtTemplate(outcome.errorAt, outcome.error);
  const GenerationSummary& summary = outcome.summary;
  for (const std::string& page : summary.kept)
    std::fprintf(stderr, "zantrel: kept %s: no longer generated, but edited\n", page.c_str());
  for (const std::string& page : summary.conflicts)
    std::fprintf(stderr, "zantrel: conflict in %s: left as it was; the merge with markers is in %s\n", page.c_str(),
                 (RecordFolder(file) / "conflicts" / page).c_str());
  if (!quiet)
    std::printf("Generated into %s: %d written (%d updated, %d merged), %d unchanged, %zu conflicts, %d removed, "
                "%zu kept, %d skipped, %d backed up, in %.2f s\n",
                project->Destination().c_str(), summary.written, summary.updated, summary.merged, summary.unchanged,
                summary.conflicts.size(), summary.removed, summary.kept.size(), summary.skipped, summary.backedUp,
                seconds);
  if (summary.failed > 0)
    throw Failure(std::to_string(summary.failed) + " page" + (summary.failed == 1 ? "" : "s") +
                  " not written: a run-time error was skipped in " + (summary.failed == 1 ? "its" : "their") +
                  " script (--strict)");
  return summary.conflicts.empty() ? kExitOk : kExitConflicts;
}

}  // namespace zantrel::cli
