// Feeds arbitrary bytes to the registry file parser. Anything it accepts must
// format to a text that parses back to the same document, so what the writer
// produces can always be read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/registry_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const zantrel::RegDocument doc = zantrel::ParseRegistryText(text, "fuzz.reg");
    const std::string written = zantrel::FormatRegistryText(doc);
    if (zantrel::FormatRegistryText(zantrel::ParseRegistryText(written, "written.reg")) != written) std::abort();
  } catch (const zantrel::RegistryError&) {
  }
  try {
    const zantrel::RegValue value = zantrel::ParseValueData(text);
    if (zantrel::ParseValueData(zantrel::FormatValueData(value)) != value) std::abort();
  } catch (const zantrel::RegistryError&) {
  }
  return 0;
}
