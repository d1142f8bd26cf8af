// The connection options shared by `databases` and `new`: --type, --db, --host,
// --port, --user, --password-env, --sid, --method, --url, --encoding. The
// password never comes from the command line: it is read from the environment
// variable that --password-env names, or asked for on the terminal.
#pragma once

#include <string>
#include <vector>

#include "cli.h"
#include "core/error.h"
#include "project/project.h"
#include "schema/connection.h"

namespace zantrel::cli {

// The value options ArgParser must accept for them.
std::vector<std::string> ConnectionOptionNames();

// A hint after a failed connection through the JDBC method: which user
// defaults to set, with `zantrel config set`. "" for other failures.
std::string JdbcHint(const Connection& c, const Error& error);

// Refuse with UsageError naming the option: a port that is no number from 1 to
// 65535, a path that does not exist.
void CheckPort(const std::string& text, const std::string& option);
void CheckFilePresent(const std::string& path, const std::string& option);

// Checks the options (a supported --type, a numeric --port, an existing SQLite
// file, a known --method), refusing with UsageError, then reads them; asks for the password on the terminal when --user is given
// without --password-env for a server database and stdin is a terminal.
Connection ReadConnectionOptions(const ArgParser& parser);

// Loads the database the options name into the project, with the SQL quoting
// of its type unless the user's defaults chose one; throws Failure with
// the engine's error (and the JDBC hint) when it cannot.
void LoadDatabase(ObP& project, Connection c);

}  // namespace zantrel::cli
