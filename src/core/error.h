// The numbered error of the engine: what VBScript's Err object carries and what
// every layer below the project object throws. The project object's members
// (project/project.h) turn it into the error text ProjErr; a host decides by
// its number, never by its text.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zantrel {

// Error numbers that several subsystems raise.
namespace err {
inline constexpr int32_t kInvalidCall = 5;
inline constexpr int32_t kOverflow = 6;
inline constexpr int32_t kOutOfMemory = 7;
inline constexpr int32_t kSubscript = 9;
inline constexpr int32_t kArrayFixed = 10;
inline constexpr int32_t kDivisionByZero = 11;
inline constexpr int32_t kTypeMismatch = 13;
inline constexpr int32_t kOutOfStack = 28;
inline constexpr int32_t kPathFileAccess = 75;
inline constexpr int32_t kObjectNotSet = 91;
inline constexpr int32_t kForNotInitialized = 92;
inline constexpr int32_t kObjectRequired = 424;
inline constexpr int32_t kNotSupported = 438;
inline constexpr int32_t kWrongArguments = 450;
inline constexpr int32_t kNotCollection = 451;
inline constexpr int32_t kDuplicateKey = 457;
inline constexpr int32_t kVariableUndefined = 500;
inline constexpr int32_t kSyntax = 1002;
inline constexpr int32_t kRegistry = 26001;

// Failures of the operations on a project; the description is the user's text.
inline constexpr int32_t kDatabaseAlreadyLoaded = 26101;  // a second database for a project or loader
inline constexpr int32_t kInvalidDatabaseName = 26102;    // no database name for a loadable type
inline constexpr int32_t kJdbcNotConfigured = 26103;      // the JDBC method without its user defaults (checked first)
inline constexpr int32_t kConnection = 26104;             // the driver could not connect or read
inline constexpr int32_t kDatabaseNotLoaded = 26105;      // an operation that needs the database
inline constexpr int32_t kTableNotFound = 26106;          // a table the operation names does not exist
inline constexpr int32_t kTableAlreadyLoaded = 26107;
inline constexpr int32_t kTableExists = 26108;            // a custom view or report under a taken name
inline constexpr int32_t kSourceNotLoaded = 26109;        // a report over a table that is not loaded
inline constexpr int32_t kDuplicateColumns = 26110;       // a custom view with two columns of one name
inline constexpr int32_t kJdbcFailure = 26111;            // the JDBC method's runtime, driver jar or URL failed
inline constexpr int32_t kCustomViewSql = 26112;          // a custom view's SQL that is not one SELECT
inline constexpr int32_t kProjectFileUnreadable = 26120;  // not a readable project file
inline constexpr int32_t kInvalidProjectFile = 26121;     // XML whose root is not a project
inline constexpr int32_t kNoDatabaseInformation = 26122;  // a project file without a database
inline constexpr int32_t kProjectReadOnly = 26123;        // a project read from a newer version's file is not saved
inline constexpr int32_t kGeneration = 26130;             // a generation run failed
inline constexpr int32_t kTemplate = 26131;               // a template or script error
inline constexpr int32_t kSynchronization = 26140;        // a check or synchronisation failed
inline constexpr int32_t kWouldDropTables = 26141;        // a sync that would remove most tables, not allowed to

// Whether a number is one of the failures of project operations above.
constexpr bool IsOperationError(int32_t number) { return number > 26100 && number < 26200; }
}  // namespace err

// VBScript's own description for a runtime error number, or "" when it has none.
std::string_view StandardErrorText(int32_t number);

class Error : public std::runtime_error {
 public:
  Error(int32_t number, std::string description, std::string source = {});
  // A failure at a place in a file (a template, a project file): line and column from 1.
  Error(int32_t number, std::string description, std::string file, int32_t line, int32_t column);
  int32_t number() const { return number_; }
  const std::string& description() const { return description_; }
  const std::string& source() const { return source_; }
  const std::string& file() const { return file_; }
  int32_t line() const { return line_; }
  int32_t column() const { return column_; }

 private:
  int32_t number_;
  std::string description_;
  std::string source_;
  std::string file_;  // "" when the error has no place in a file
  int32_t line_ = 0;
  int32_t column_ = 0;
};

// Raises a numbered error; an empty description takes VBScript's standard text.
[[noreturn]] void Raise(int32_t number, std::string description = {}, std::string source = {});

}  // namespace zantrel
