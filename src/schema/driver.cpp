#include "schema/driver.h"

namespace zantrel {

Driver* ThreadDriver() {
  DriverSlot& slot = Context().Service<DriverSlot>();
  if (!slot.driver && slot.factory) slot.driver = slot.factory();
  return slot.driver.get();
}

void SetDriverFactory(DriverFactory factory) {
  DriverSlot& slot = Context().Service<DriverSlot>();
  slot.factory = factory;
  slot.driver.reset();
}

}  // namespace zantrel
