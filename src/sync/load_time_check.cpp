#include "sync/load_time_check.h"

#include <exception>

#include "core/error.h"
#include "core/text.h"
#include "persist/load_check.h"
#include "platform/prompter.h"
#include "schema/connection.h"
#include "sync/check.h"
#include "sync/live_schema.h"
#include "sync/synchronize.h"

namespace zantrel {
namespace {

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

void CheckAndAsk(ObPModel& project, LoadTimeCheckOutcome& outcome) {
  ObPDatabase* database = project.openDatabase();
  if (!database) return;
  BusyScope busy(" - Database Synchronization Check ...");
  SchemaReader live;
  try {
    LoadLiveSchema(live, *database);
  } catch (const Error& e) {
    outcome.unreadable = true;
    outcome.failure = e.description();
    // Without a configured JDBC driver there is no message box.
    if (e.number() != err::kJdbcNotConfigured) TellUnreadable(outcome.failure);
    throw;
  }
  // What a failing custom view or a report without source noted is recorded
  // with them; loading itself succeeded.
  outcome.count = DatabaseCheck(project, live, &outcome.differences).CheckAll();
  if (outcome.count < 1 || KeepDefinition(outcome.differences)) return;
  outcome.updated = true;
  DatabaseSync(project, &outcome.changes, Context().Service<LoadTimeCheckState>().allowDrop).SyncAll(live);
}

}  // namespace

void InstallLoadTimeCheck(bool on, bool allowDrop) {
  Context().Service<LoadTimeCheckState>().allowDrop = on && allowDrop;
  SetLoadTimeCheck(on ? &RunLoadTimeCheck : nullptr);
}

void RunLoadTimeCheck(ObPModel& project) {
  LoadTimeCheckOutcome& outcome = Context().Service<LoadTimeCheckState>().last;
  outcome = LoadTimeCheckOutcome{};
  outcome.ran = true;
  try {
    CheckAndAsk(project, outcome);
  } catch (const Error&) {
    throw;
  } catch (const std::exception& e) {
    throw Error(err::kSynchronization, ProductError(std::string(": ") + e.what()));
  }
}

const LoadTimeCheckOutcome& LastLoadTimeCheck() { return Context().Service<LoadTimeCheckState>().last; }

void ForgetLoadTimeCheck() { Context().Service<LoadTimeCheckState>().last = LoadTimeCheckOutcome{}; }

}  // namespace zantrel
