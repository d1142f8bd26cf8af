#include "sync/load_time_check.h"

#include <exception>

#include "core/error.h"
#include "persist/load_check.h"
#include "platform/prompter.h"
#include "schema/connection.h"
#include "sync/check.h"
#include "sync/live_schema.h"
#include "sync/synchronize.h"

namespace zantrel {
namespace {

// The reason the loader gave when no JDBC driver is configured: no message box.
constexpr std::string_view kJdbcError = "JDBC ERROR";

void TellUnreadable(const std::string& reason) {
  Prompt box;
  box.id = "dbunreadable";
  box.caption = Context().product.name;
  box.message = "Unable to load database information! Reason: " + reason + ". Please check if correct database is in use.";
  box.buttons = {"OK"};
  Prompts().Ask(box);
}

// Keep (true) or Update the definition that the database no longer matches.
bool KeepDefinition(const SchemaDifferences& differences) {
  Prompt question;
  question.id = "keepdb";
  question.caption = Context().product.name;
  question.message =
      "Database has been modified since last change. Do you want to keep old definition or update to new definition?";
  question.buttons = {"Keep", "Update"};
  question.safeButton = 0;
  for (const Difference& d : differences.items) question.details += Describe(d, false) + "\n";
  return Prompts().Ask(question).button == 0;
}

void CheckAndAsk(ObP& project, LoadTimeCheckOutcome& outcome) {
  ObPDatabase* database = project.openDatabase();
  if (!database) return;
  BusyScope busy(" - Database Synchronization Check ...");
  ObPSchema live;
  LoadLiveSchema(live, *database);
  if (!ObP::ProjErr().empty()) {
    outcome.unreadable = true;
    outcome.failure = ObP::ProjErr();
    if (outcome.failure != kJdbcError) TellUnreadable(outcome.failure);
    return;
  }
  outcome.count = DatabaseCheck(project, live, &outcome.differences).CheckAll();
  // What a failing custom view or a report without source left in ProjErr is
  // recorded with them; loading itself succeeded.
  ObP::ProjErr("");
  if (outcome.count < 1 || KeepDefinition(outcome.differences)) return;
  outcome.updated = true;
  DatabaseSync(project, &outcome.changes).SyncAll(live);
}

}  // namespace

void InstallLoadTimeCheck(bool on) { SetLoadTimeCheck(on ? &RunLoadTimeCheck : nullptr); }

void RunLoadTimeCheck(ObP& project) {
  LoadTimeCheckOutcome& outcome = Context().Service<LoadTimeCheckState>().last;
  outcome = LoadTimeCheckOutcome{};
  outcome.ran = true;
  try {
    CheckAndAsk(project, outcome);
  } catch (const Error& e) {
    ObP::ProjErr(e.description());
  } catch (const std::exception& e) {
    ObP::ProjErr(ProductError(std::string(": ") + e.what()));
  }
}

const LoadTimeCheckOutcome& LastLoadTimeCheck() { return Context().Service<LoadTimeCheckState>().last; }

void ForgetLoadTimeCheck() { Context().Service<LoadTimeCheckState>().last = LoadTimeCheckOutcome{}; }

}  // namespace zantrel
