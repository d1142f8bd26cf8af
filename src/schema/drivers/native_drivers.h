// Factories of the drivers: the native ones, one per database type, and the
// JDBC one. A driver that was not built (its library missing) answers every
// Connect with an error.
#pragma once

#include <memory>

#include "schema/driver.h"

namespace zantrel {

std::unique_ptr<Driver> MakeSqliteDriver();
std::unique_ptr<Driver> MakeMysqlDriver();
std::unique_ptr<Driver> MakePostgresDriver();
std::unique_ptr<Driver> MakeOracleDriver();

// The driver of the JDBC connection method, for every type with a JDBC jar.
std::unique_ptr<Driver> MakeJdbcDriver();
// Whether this process runs a Java runtime (started by the JDBC driver).
bool JavaRuntimeLoaded();

}  // namespace zantrel
