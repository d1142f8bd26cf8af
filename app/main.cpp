// zantrel: the command-line host of the engine.
#include <clocale>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli.h"
#include "core/context.h"
#include "core/error.h"
#include "core/version.h"
#include "platform/progress.h"
#include "suggest.h"
#include "terminal_prompter.h"

namespace zantrel::cli {

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"new", "create a project file, empty or from a live database",
       "zantrel new PROJECT.zpr [--name NAME] [--force] [--type sqlite|mysql|postgresql --db NAME [--host H] "
       "[--port P] [--user U] [--password-env VAR] [--sid S] [--encoding E] [--dynamic]]",
       RunNew},
      {"databases", "list the databases of a server",
       "zantrel databases --type mysql|postgresql [--host H] [--port P] [--user U] [--password-env VAR]",
       RunDatabases},
      {"load-table", "load the fields of tables a dynamic project listed",
       "zantrel load-table PROJECT.zpr TABLE...", RunLoadTable},
      {"custom-view", "add a custom view made from a SELECT",
       "zantrel custom-view PROJECT.zpr NAME --sql \"SELECT ...\" [--copy-fields]", RunCustomView},
      {"report", "add a report over a loaded table", "zantrel report PROJECT.zpr NAME --from TABLE", RunReport},
      {"unload", "drop the database and its schema from a project", "zantrel unload PROJECT.zpr", RunUnload},
      {"check", "compare a project with its live database (exit 3 when they differ)",
       "zantrel check PROJECT.zpr [--json]", RunCheck},
      {"sync", "bring a project in step with its live database and save it",
       "zantrel sync PROJECT.zpr [--keys keep|update|ask] [--no-rename] [--dry-run] [--allow-drop]", RunSync},
      {"show", "print the settings of a project, a table or a field",
       "zantrel show [PROJECT.zpr [--table T | --field T.F]] [--json] [--sync keep|update|ask] [--allow-drop]", RunShow},
      {"set", "change settings of a project file",
       "zantrel set PROJECT.zpr NAME=VALUE... [--table T | --field T.F]", RunSet},
      {"generate", "generate the application of a project through its template",
       "zantrel generate PROJECT.zpr [--template ZIP|DIR] [--dest DIR] [--overwrite merge|ask|all|skip|none] "
       "[--backup] [--template-update keep|extract] [--quiet] [--strict] [--sync keep|update|ask] [--offline]\n"
       "       zantrel generate --check PROJECT.zpr [--template ZIP|DIR] [--dest DIR]\n\n"
       "Each run keeps a record beside the project file (PROJECT.zpr.d/): every page as generated and its hash.\n"
       "--overwrite merge (the default once a record exists): untouched pages are replaced, pages edited by hand\n"
       "are merged three ways with the new text; a conflict leaves the page as it is and writes the merge with\n"
       "markers to PROJECT.zpr.d/conflicts/; a page no longer generated is removed unless it was edited; an\n"
       "identical page is not rewritten. The first run into a folder without a record follows --overwrite ask.\n"
       "Backups (--backup or the BackupFile default) go to PROJECT.zpr.d/backups/TIME/, never the destination.\n"
       "--template-update answers whether to re-extract a changed template archive (default: keep).\n"
       "Exit codes: 0 done, 1 failure, 2 usage, 4 merge conflicts (every other page done), 130 Ctrl-C.",
       RunGenerate},
      {"demo", "generate the demo shop application from the bundled database",
       "zantrel demo [--dest DIR] [--http-port P] [--serve] [--quiet] [--type T --db NAME connection options...]", RunDemo},
      {"render", "run one template file against a project and print the page",
       "zantrel render TEMPLATE_FILE [--project P.zpr] [--table T [--field F]] [--template-dir D] [--out FILE]",
       RunRender},
      {"prepare", "write the prepared script of one control of a template",
       "zantrel prepare --template-dir D --control ID [--project P.zpr] [--out FILE]", RunPrepare},
      {"check-template", "list the problems of a template at their file, line and column (exit 1 when any)",
       "zantrel check-template DIR|ZIP [--project P.zpr]", RunCheckTemplate},
      {"config", "read and write the user defaults",
       "zantrel config list|get|set|unset [NAME] [VALUE...] [--type sz|expand_sz|dword|binary|multi_sz] [--machine]",
       RunConfig},
      {"script", "run a VBScript file as a console script host does",
       "zantrel script FILE.vbs [ARGS...] [--dump-tokens|--dump-ast|--dump-code]", RunScript},
  };
  return commands;
}

namespace {

void PrintHelp() {
  std::printf("usage: zantrel <command> [options]\n       zantrel --version\n\ncommands:\n");
  for (const Command& c : Commands()) std::printf("  %-14s %.*s\n", std::string(c.name).c_str(), int(c.summary.size()), c.summary.data());
  std::printf("\n'zantrel <command> --help' shows a command's options.\n");
}

// The engine's texts begin with the product's name; the command's own prefix replaces it.
std::string WithoutProductPrefix(const std::string& text) {
  const std::string prefix = Context().product.errorName + ": ";
  return text.rfind(prefix, 0) == 0 ? text.substr(prefix.size()) : text;
}

void PrintFailure(const Command& command, const std::string& text) {
  std::fprintf(stderr, "zantrel %.*s: %s\n", int(command.name.size()), command.name.data(),
               WithoutProductPrefix(text).c_str());
}

const Command* FindCommand(std::string_view name) {
  for (const Command& c : Commands())
    if (c.name == name) return &c;
  return nullptr;
}

int Run(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintHelp();
    return kExitUsage;
  }
  if (args[0] == "--version") {
    std::printf("zantrel %s\n", version::kText);
    return kExitOk;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintHelp();
    return kExitOk;
  }
  const Command* command = FindCommand(args[0]);
  if (!command) {
    std::vector<std::string> names;
    for (const Command& c : Commands()) names.emplace_back(c.name);
    std::fprintf(stderr, "zantrel: unknown command '%s'%s\n", args[0].c_str(), DidYouMean(args[0], names).c_str());
    return kExitUsage;
  }
  args.erase(args.begin());
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      std::printf("%.*s\n\nusage: %.*s\n", int(command->summary.size()), command->summary.data(),
                  int(command->usage.size()), command->usage.data());
      return kExitOk;
    }
  }
  try {
    return command->run(args);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "zantrel %.*s: %s\nusage: %.*s\n", int(command->name.size()), command->name.data(),
                 e.what(), int(command->usage.size()), command->usage.data());
    return kExitUsage;
  } catch (const Failure& e) {
    PrintFailure(*command, e.what());
    return kExitFailure;
  } catch (const Error& e) {
    PrintFailure(*command, e.description() + " (error " + std::to_string(e.number()) + ")");
    return kExitFailure;
  } catch (const std::exception& e) {
    PrintFailure(*command, e.what());
    return kExitFailure;
  }
}

}  // namespace
}  // namespace zantrel::cli

int main(int argc, char** argv) {
  std::setlocale(LC_CTYPE, "");  // files are written in the charset of the user's locale
  zantrel::InstallProgress(std::make_unique<zantrel::TerminalProgress>());
  zantrel::InstallPrompter(std::make_unique<zantrel::cli::TerminalPrompter>());
  return zantrel::cli::Run(argc, argv);
}
