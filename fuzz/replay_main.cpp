// Replays a fuzz target's corpus without libFuzzer, so that the normal build
// runs every saved input as a test: each file named on the command line, or
// found below a folder named there, goes once through the target's entry
// function. A crash, a sanitizer report or an abort fails the run; the last
// name printed is the input that did it. Temporary files and user defaults go
// to a private folder removed at the end.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Inputs(int argc, char** argv) {
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    if (fs::is_directory(argv[i])) {
      for (const auto& entry : fs::recursive_directory_iterator(argv[i]))
        if (entry.is_regular_file()) files.push_back(entry.path());
    } else {
      files.emplace_back(argv[i]);
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

// A private folder for everything the target writes.
fs::path Sandbox() {
  std::string pattern = (fs::temp_directory_path() / "zantrel-replay-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return {};
  const fs::path root = pattern;
  for (const char* folder : {"tmp", "config", "machine", "documents"}) fs::create_directories(root / folder);
  setenv("TMPDIR", (root / "tmp").c_str(), 1);
  setenv("ZANTREL_CONFIG_DIR", (root / "config").c_str(), 1);
  setenv("ZANTREL_MACHINE_CONFIG_DIR", (root / "machine").c_str(), 1);
  setenv("ZANTREL_DOCUMENTS_DIR", (root / "documents").c_str(), 1);
  return root;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<fs::path> files = Inputs(argc, argv);
  if (files.empty()) {
    std::fprintf(stderr, "usage: %s FILE|FOLDER...: no input found (every target needs a seed corpus)\n", argv[0]);
    return 2;
  }
  const fs::path sandbox = Sandbox();
  if (sandbox.empty()) {
    std::perror("cannot create a temporary folder");
    return 2;
  }
  for (const fs::path& file : files) {
    std::printf("%s\n", file.c_str());
    std::fflush(stdout);
    std::ifstream in(file, std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  std::error_code ec;
  fs::remove_all(sandbox, ec);
  std::printf("%zu inputs replayed\n", files.size());
  return 0;
}
