// Fuzzes the template block parser: arbitrary text is parsed into blocks, every
// block is read back, and a session is extracted with includes resolved in a
// temporary template folder that holds the same text as "self.php" (so an
// input can include itself). A syntax error is a normal outcome; a crash, a
// sanitizer report or a hang is a bug.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/context.h"
#include "core/error.h"
#include "platform/atomic_file.h"
#include "template/block_parser.h"

namespace {

const std::string& TemplateFolder() {
  static const std::string dir = [] {
    auto path = std::filesystem::temp_directory_path() / ("zantrel-fuzz-parser-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path.string();
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 64 * 1024) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  zantrel::ReplaceFileAtomically(TemplateFolder() + "/self.php", text, false);

  auto parser = zantrel::MakeRef<zantrel::ObParser>();
  parser->templateFolder = TemplateFolder();
  zantrel::Context().projErr.clear();
  parser->Parse(text);
  for (int32_t id = 1; id <= parser->Count(); ++id) {
    parser->BlockID(id);
    (void)parser->BlockType();
    (void)parser->BlockName();
    (void)parser->BlockValue();
    (void)parser->BlockIndent();
  }

  // The session asked for is the first line's text, so inputs choose it.
  std::string_view sessionId = text.substr(0, text.find('\n'));
  zantrel::Context().projErr.clear();
  try {
    (void)parser->GetSession(text, sessionId);
    (void)parser->GetSession(text, "a");
  } catch (const zantrel::Error&) {
    // an unreadable include file is reported as a script error
  }
  zantrel::Context().projErr.clear();
  return 0;
}
