// Loading a project file for a command, and finding the bag a command works on.
#pragma once

#include <string>

#include "project/project.h"

namespace zantrel::cli {

// Loads the file into a new project; a file without a database still loads
// (a project made by `zantrel new` has none yet). Other failures throw Failure
// with the engine's error text.
Ref<ObP> LoadProject(const std::string& file);

// How the question "keep or update a changed definition" is answered: Keep or
// Update without asking, or Ask on the terminal (keep when there is none).
enum class SyncAnswer { Keep, Update, Ask };

// The answer named by a --sync or --keys value; UsageError for another word.
SyncAnswer ParseSyncAnswer(const std::string& value, const std::string& option);

// Makes every question with this id take the answer (Ask leaves it to the terminal).
void AnswerQuestion(const std::string& id, SyncAnswer answer);

// Loads like LoadProject, and when the project's AutoSync is on, checks it
// against the live database first: the differences are listed on stderr and
// the question whether to take them is answered by `answer` (primary-key
// questions of an update are asked on the terminal, else kept). An unreadable
// database is reported on stderr and the project loads as saved. Commands that
// work with a project as the database has it now (show, generate) load this way.
Ref<ObP> LoadProjectChecked(const std::string& file, SyncAnswer answer);

// The bag of the project, of its open database (--database), of --table T or
// of --field T.F; throws Failure when the database, table or field does not exist.
ObProperties& SelectBag(ObP& project, const std::string& table, const std::string& field, bool database = false);

// Throws UsageError when more than one of --database, --table and --field is given.
void CheckOneScope(bool database, bool table, bool field);

// Sets one NAME=VALUE of a bag, converted by the setting's type; throws
// UsageError for a malformed pair and Failure for an unknown name, a value
// that does not convert, or a rights text (TblSecurity, SecDefault) that is
// malformed.
void SetSetting(ObProperties& bag, const std::string& nameEqualsValue);

// A file the build or the installation ships (examples/shop.db,
// templates/default.zip): under $ZANTREL_DATA_DIR, beside the program's build
// folder, or in the installation's share/zantrel; "" when none has it.
std::string ShippedFile(const std::string& relative);

}  // namespace zantrel::cli
