// Fuzzes the control-file and phrase-file loaders: arbitrary bytes written to
// a file must load or give the loader's error text, never a crash.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/error.h"
#include "platform/atomic_file.h"
#include "template/control_file.h"
#include "template/language_file.h"

namespace {

const std::string& FuzzFile() {
  static const std::string file = [] {
    auto dir = std::filesystem::temp_directory_path() / ("zantrel-fuzz-control-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return (dir / "control.xml").string();
  }();
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 256 * 1024) return 0;
  const std::string& file = FuzzFile();
  zantrel::ReplaceFileAtomically(file, std::string_view(reinterpret_cast<const char*>(data), size), false);

  auto controls = zantrel::MakeRef<zantrel::ObPControls>();
  try {
    if (controls->LoadControls(file)) {
      for (int16_t i = 1; i <= controls->Count(); ++i) {
        auto control = controls->Item(i);
        auto& sessions = control->Sessions();
        for (int32_t s = 1; s <= sessions.Count(); ++s) (void)sessions.Item(s)->SessCond.size();
      }
    }
  } catch (const zantrel::Error&) {
    // a "space" value that is no boolean raises a conversion error by design
  }
  auto language = zantrel::MakeRef<zantrel::ObPLanguage>();
  if (language->Load(file)) {
    (void)language->Phrase("Add");
    (void)language->Count();
  }
  return 0;
}
