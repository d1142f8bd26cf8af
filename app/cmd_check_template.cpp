// zantrel check-template: every problem of a template (a folder or a zip
// archive) at its file, line and column, without generating anything.
#include <cstdio>
#include <filesystem>
#include <random>

#include "cli.h"
#include "generate/check_template.h"
#include "platform/zip_archive.h"
#include "project_file.h"

namespace zantrel::cli {
namespace {

namespace fs = std::filesystem;

// A folder the archive is extracted into, removed again at the end.
class ExtractedTemplate {
 public:
  explicit ExtractedTemplate(const fs::path& archive) {
    std::random_device rd;
    folder_ = fs::temp_directory_path() / ("zantrel-check-" + std::to_string(rd()) + std::to_string(rd()));
    try {
      ExtractArchive(archive, folder_);
    } catch (const std::exception& e) {
      Remove();
      throw Failure(archive.string() + ": " + e.what());
    }
  }
  ~ExtractedTemplate() { Remove(); }
  ExtractedTemplate(const ExtractedTemplate&) = delete;
  ExtractedTemplate& operator=(const ExtractedTemplate&) = delete;
  const fs::path& folder() const { return folder_; }

 private:
  void Remove() {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  fs::path folder_;
};

}  // namespace

int RunCheckTemplate(const std::vector<std::string>& args) {
  ArgParser parser(args, {"project"}, {});
  const auto& pos = parser.positionals();
  if (pos.size() != 1) throw UsageError("check-template takes one DIR or ZIP");
  Ref<ObP> project = parser.has("project") ? LoadProject(parser.option("project")) : MakeRef<ObP>();
  fs::path source = pos[0];
  std::error_code ec;
  std::unique_ptr<ExtractedTemplate> extracted;
  if (!fs::is_directory(source, ec)) {
    if (!fs::is_regular_file(source, ec))
      throw Failure(source.string() + ": no such folder or archive");
    extracted = std::make_unique<ExtractedTemplate>(source);
  }
  std::string folder = extracted ? extracted->folder().string() : source.string();
  std::vector<TemplateDiagnostic> problems = CheckTemplate(*project, folder);
  for (const TemplateDiagnostic& d : problems) {
    std::fputs(FormatPosition(d).c_str(), stdout);
    if (!d.pos && !d.message.empty()) std::printf("%s\n", d.message.c_str());
  }
  if (problems.empty()) {
    std::printf("%s: no problems found\n", source.string().c_str());
    return kExitOk;
  }
  std::printf("%s: %zu problem%s\n", source.string().c_str(), problems.size(), problems.size() == 1 ? "" : "s");
  return kExitFailure;
}

}  // namespace zantrel::cli
