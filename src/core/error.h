// The numbered error of the engine: what VBScript's Err object carries and what the
// low-level classes raise. Project operations turn it into the error text ProjErr.
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
}  // namespace err

// VBScript's own description for a runtime error number, or "" when it has none.
std::string_view StandardErrorText(int32_t number);

class Error : public std::runtime_error {
 public:
  Error(int32_t number, std::string description, std::string source = {});
  int32_t number() const { return number_; }
  const std::string& description() const { return description_; }
  const std::string& source() const { return source_; }

 private:
  int32_t number_;
  std::string description_;
  std::string source_;
};

// Raises a numbered error; an empty description takes VBScript's standard text.
[[noreturn]] void Raise(int32_t number, std::string description = {}, std::string source = {});

}  // namespace zantrel
