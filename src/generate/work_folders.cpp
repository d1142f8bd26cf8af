#include "generate/work_folders.h"

#include "core/context.h"
#include "core/text.h"
#include "generate/generation_run.h"
#include "generate/page_merge.h"
#include "model/project.h"
#include "platform/atomic_file.h"
#include "platform/config_paths.h"

namespace zantrel {
namespace {

namespace fs = std::filesystem;

std::string WithoutSlashesAndBlanks(std::string_view name) {
  std::string out;
  for (char c : name)
    if (c != '/' && c != ' ' && c != '\\') out += c;
  return out;
}

// The template's own name: what follows the last separator.
std::string TemplateName(std::string path) {
  while (!path.empty() && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  std::size_t at = path.find_last_of("/\\");
  return at == std::string::npos ? path : path.substr(at + 1);
}

bool MakeFolder(GenerationRun& run, const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (fs::is_directory(folder, ec)) return true;
  run.error = ProductError(": Unable to create folder \"" + folder.string() + "\"! Generation aborted!");
  return false;
}

}  // namespace

bool TemplateIsFolder(const ObPModel& project) {
  std::error_code ec;
  return fs::is_directory(project.Template(), ec);
}

bool PrepareWorkFolders(ObPModel& project, GenerationRun& run, const std::string& subfolder) {
  std::string name = WithoutSlashesAndBlanks(TemplateName(project.Template()));
  // Two template folders of the same name elsewhere must not share prepared scripts.
  if (TemplateIsFolder(project)) {
    std::error_code ec;
    name += "-" + ContentHash(fs::weakly_canonical(fs::absolute(project.Template()), ec).string()).substr(0, 10);
  }
  fs::path root = DocumentsDir() / WithoutSlashesAndBlanks(Context().product.name) / "Templates" / name;
  run.tempFolder = (root / "temp").string();
  run.cacheFolder = (root / "cache").string();
  run.templateFolder = TemplateIsFolder(project) ? project.Template() : (root / subfolder).string();
  return MakeFolder(run, run.tempFolder) && MakeFolder(run, run.cacheFolder) && MakeFolder(run, run.templateFolder);
}

void RemoveWorkFolder(const fs::path& path) {
  std::error_code ec;
  if (fs::exists(path, ec)) fs::remove_all(path, ec);
}

void DeleteFilesByExt(const fs::path& folder, std::string_view extension) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    std::string file = entry.path().filename().string();
    std::size_t dot = file.rfind('.');
    if (dot != std::string::npos && file.substr(dot + 1) == extension) fs::remove(entry.path(), ec);
  }
}

bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code ec1, ec2;
  if (!fs::is_regular_file(a, ec1) || !fs::is_regular_file(b, ec2)) return false;
  return fs::last_write_time(a, ec1) == fs::last_write_time(b, ec2) && fs::file_size(a, ec1) == fs::file_size(b, ec2);
}

void CopyKeepingTime(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::file_time_type time = fs::last_write_time(from, ec);
  if (ec) throw FileError(from.string() + ": " + ec.message());
  ReplaceFileAtomically(to, ReadWholeFile(from), /*durable=*/false);
  fs::last_write_time(to, time, ec);
}

void CopyNewerFiles(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(from, ec)) {
    if (!entry.is_regular_file(ec)) continue;
    fs::path target = to / entry.path().filename();
    if (SameFile(entry.path(), target)) continue;
    if (fs::exists(target, ec) && fs::last_write_time(target, ec) > fs::last_write_time(entry.path(), ec)) continue;
    CopyKeepingTime(entry.path(), target);
  }
}

}  // namespace zantrel
