#include "project_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "cli.h"
#include "rights_text.h"
#include "core/context.h"
#include "core/convert.h"
#include "core/error.h"
#include "persist/load_check.h"
#include "persist/project_file.h"
#include "sync/load_time_check.h"
#include "suggest.h"
#include "terminal_prompter.h"

namespace zantrel::cli {

namespace {

// Loads the file into the project; the error, if any.
std::optional<Error> LoadFile(ObP& project, const std::string& file) {
  try {
    zantrel::LoadProject(project, file);
  } catch (const Error& e) {
    return e;
  }
  return std::nullopt;
}

// Why the system could not open the file, when that was the trouble: ": No such file or directory".
std::string SystemReason(const Error& error, const std::string& file) {
  if (error.number() != err::kProjectFileUnreadable) return {};
  if (error.description().find(" Reason: ") != std::string::npos) return {};
  std::FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) return std::string(": ") + std::strerror(errno);
  std::fclose(f);
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) return std::string(": ") + std::strerror(EISDIR);
  return {};
}

// A file without a database loads: a project made by `zantrel new` has none yet.
void ThrowUnlessLoaded(const std::optional<Error>& error, const std::string& file) {
  if (error && error->number() != err::kNoDatabaseInformation)
    throw Failure(DescribeWithHint(*error) + " (" + file + ")" + SystemReason(*error, file));
}

}  // namespace

std::string DescribeWithHint(const Error& error) {
  if (error.number() == err::kWouldDropTables)
    return error.description() + " If the tables are really gone, run again with --allow-drop.";
  return error.description();
}

Ref<ObP> LoadProject(const std::string& file) {
  auto project = MakeRef<ObP>();
  ThrowUnlessLoaded(LoadFile(*project, file), file);
  return project;
}

SyncAnswer ParseSyncAnswer(const std::string& value, const std::string& option) {
  if (value == "keep") return SyncAnswer::Keep;
  if (value == "update") return SyncAnswer::Update;
  if (value == "ask") return SyncAnswer::Ask;
  throw UsageError("--" + option + " takes keep, update or ask");
}

void AnswerQuestion(const std::string& id, SyncAnswer answer) {
  if (answer == SyncAnswer::Ask) return;
  Prompts().Answer(id, PromptReply{answer == SyncAnswer::Keep ? std::size_t{0} : std::size_t{1}, false});
}

namespace {

// What the load-time check found and did, for the person who runs the command.
void ReportLoadTimeCheck(const LoadTimeCheckOutcome& outcome, bool askedPerson) {
  if (!outcome.ran || outcome.unreadable) return;
  if (!askedPerson)  // else the question showed them
    for (const Difference& d : outcome.differences.items)
      std::fprintf(stderr, "zantrel: %s\n", Describe(d, false).c_str());
  if (outcome.count < 1) return;
  std::fprintf(stderr, "zantrel: the database differs from the project (%d); %s\n", outcome.count,
               outcome.updated ? "the definition was updated for this run" : "the old definition was kept");
  for (const Difference& d : outcome.changes.items) std::fprintf(stderr, "zantrel: %s\n", Describe(d, true).c_str());
}

}  // namespace

Ref<ObP> LoadProjectChecked(const std::string& file, SyncAnswer answer, bool allowDrop) {
  AnswerQuestion("keepdb", answer);
  InstallLoadTimeCheck(true, allowDrop);
  ForgetLoadTimeCheck();
  auto project = MakeRef<ObP>();
  auto* terminal = dynamic_cast<TerminalPrompter*>(&Prompts());
  const std::size_t askedBefore = terminal ? terminal->asked : 0;
  std::optional<Error> error = LoadFile(*project, file);
  InstallLoadTimeCheck(false);
  const LoadTimeCheckOutcome& outcome = LastLoadTimeCheck();
  PrintPromptNotices();
  ReportLoadTimeCheck(outcome, terminal && terminal->asked > askedBefore);
  if (error && outcome.unreadable) {
    // Told above, or a JDBC method without its driver: the saved definition stands.
    if (error->number() == err::kJdbcNotConfigured)
      std::fprintf(stderr, "zantrel: the database was not checked: %s\n", error->description().c_str());
    error.reset();
  }
  ThrowUnlessLoaded(error, file);
  return project;
}

namespace {

Variant ConvertForType(const std::string& name, const std::string& text, const std::string& dataType) {
  try {
    return SettingFromText(text, SettingTypeOf(dataType));
  } catch (const Error& e) {
    throw Failure("'" + text + "' is not a valid " + dataType + " for " + name + " (" +
                  e.description() + ")");
  }
}

}  // namespace

void SetSetting(ObProperties& bag, const std::string& pair) {
  std::size_t eq = pair.find('=');
  if (eq == std::string::npos || eq == 0) throw UsageError("'" + pair + "' is not NAME=VALUE");
  std::string name = pair.substr(0, eq);
  int32_t at = bag.Find(name);
  if (at < 0) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < bag.Count(); ++i) names.push_back(bag.MetaAt(i).name);
    throw Failure("unknown setting '" + name + "'" + DidYouMean(name, names));
  }
  const std::string& canonical = bag.MetaAt(at).name;
  if (IsRightsSetting(canonical)) {
    std::string problem = RightsTextProblem(pair.substr(eq + 1));
    if (!problem.empty())
      throw Failure(canonical + ": " + problem + " (the format is LEVEL:LETTERS entries separated by "
                    "commas, letters from " + std::string(kRightLetters) + " or *, e.g. admin:*,staff:lvsaecx,customer:lv)");
  }
  bag.ValueAt(at) = ConvertForType(canonical, pair.substr(eq + 1), bag.MetaAt(at).dataType);
}

std::string ShippedFile(const std::string& relative) {
  namespace fs = std::filesystem;
  std::error_code ec;
  std::vector<fs::path> roots;
  if (const char* dir = std::getenv("ZANTREL_DATA_DIR"); dir && *dir) roots.emplace_back(dir);
  fs::path exe = fs::read_symlink("/proc/self/exe", ec).parent_path();
  roots.push_back(exe.parent_path());
  roots.push_back(exe.parent_path() / "share" / "zantrel");
  for (const fs::path& root : roots)
    if (fs::exists(root / relative, ec)) return (root / relative).string();
  return {};
}

void CheckOneScope(bool database, bool table, bool field) {
  if (int(database) + int(table) + int(field) > 1) throw UsageError("give only one of --database, --table or --field");
}

ObProperties& SelectBag(ObP& project, const std::string& table, const std::string& field, bool wholeDatabase) {
  if (wholeDatabase) {
    ObPDatabase* open = project.openDatabase();
    if (!open) throw Failure("the project has no database");
    return open->Properties();
  }
  if (table.empty() && field.empty()) return project.Properties();
  std::string tableName = table, fieldName;
  if (!field.empty()) {
    std::size_t dot = field.find('.');
    if (dot == std::string::npos) throw UsageError("--field takes TABLE.FIELD");
    tableName = field.substr(0, dot);
    fieldName = field.substr(dot + 1);
  }
  ObPDatabase* database = project.openDatabase();
  ObPTable* t = database ? database->tables().Find(tableName) : nullptr;
  if (!t) throw Failure("no table '" + tableName + "' in the project");
  if (fieldName.empty()) return t->Properties();
  ObPField* f = t->Fields().Find(fieldName);
  if (!f) throw Failure("no field '" + fieldName + "' in table '" + tableName + "'");
  return f->Properties();
}

}  // namespace zantrel::cli
