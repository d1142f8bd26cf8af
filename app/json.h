// A small JSON writer for the machine-readable output of the command line.
#pragma once

#include <string>
#include <string_view>

#include "core/variant.h"

namespace zantrel::cli {

std::string JsonString(std::string_view text);
// Empty and Null as null, booleans and numbers as themselves, dates and
// strings as text, arrays as lists; objects as their type name.
std::string JsonValue(const Variant& value);

}  // namespace zantrel::cli
