// libFuzzer target over the VBScript engine: every input is compiled and run
// with a short time-out. A compile error or a run-time error is a normal
// outcome; a crash, a sanitizer report or a hang past the time-out is a bug.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "script/engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 64 * 1024) return 0;
  zantrel::script::Engine engine;
  engine.SetTimeout(200);
  const std::string_view code(reinterpret_cast<const char*>(data), size);
  if (!engine.AddCode("System", code)) {
    for (const std::string& name : engine.ProcedureNames("System")) {
      (void)engine.Run("System", name);
      break;
    }
  }
  (void)engine.Eval("System", code.substr(0, code.find('\n')));
  return 0;
}
