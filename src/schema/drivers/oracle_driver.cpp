// Oracle has no native client on Linux: it is reached only through the JDBC
// connection method (--method JDBC and the OracleJDBCDriver jar).
#include "schema/drivers/native_drivers.h"
#include "schema/drivers/unavailable_driver.h"

namespace zantrel {

std::unique_ptr<Driver> MakeOracleDriver() {
  return std::make_unique<UnavailableDriver>(
      "Oracle needs the JDBC connection method (set OracleJDBCDriver and use --method JDBC)");
}

}  // namespace zantrel
