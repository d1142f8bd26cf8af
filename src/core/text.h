// Small text helpers shared by every subsystem: trimming, case-insensitive
// search, replacing, the line end the system writes, and error texts that
// begin with the product name.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zantrel {

// The line end of every file and message the system writes.
inline constexpr std::string_view kCrLf = "\r\n";

// s without the spaces at both ends.
std::string_view Trim(std::string_view s);
// s without the spaces and tabs at both ends.
std::string_view TrimBlanks(std::string_view s);
// Whether the text holds nothing but spaces and tabs.
bool IsBlank(std::string_view text);

// Position of needle in text at or after from, ignoring ASCII letter case; npos when absent.
std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from = 0);

// Replaces every occurrence of what in text, left to right, without rescanning replacements.
void ReplaceAll(std::string& text, std::string_view what, std::string_view with);

// The product name followed by text ("Zantrel: Database not loaded!").
std::string ProductError(std::string_view text);

}  // namespace zantrel
