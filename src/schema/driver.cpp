// The thread's driver slot: the driver is made on first use and kept for every
// later call on the thread; installing a factory drops the driver in use.
#include "schema/driver.h"

namespace zantrel {

Driver* ThreadDriver() {
  DriverSlot& slot = Context().Service<DriverSlot>();
  if (!slot.driver) slot.driver = slot.factory ? slot.factory() : MakeDriverByType();
  return slot.driver.get();
}

void SetDriverFactory(DriverFactory factory) {
  DriverSlot& slot = Context().Service<DriverSlot>();
  slot.factory = factory;
  slot.driver.reset();
}

}  // namespace zantrel
