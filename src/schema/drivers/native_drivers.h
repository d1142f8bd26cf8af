// Factories of the native drivers, one per database type. A driver that was not
// built (its client library missing) answers every Connect with an error.
#pragma once

#include <memory>

#include "schema/driver.h"

namespace zantrel {

std::unique_ptr<Driver> MakeSqliteDriver();
std::unique_ptr<Driver> MakeMysqlDriver();
std::unique_ptr<Driver> MakePostgresDriver();
std::unique_ptr<Driver> MakeOracleDriver();

}  // namespace zantrel
