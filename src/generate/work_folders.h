// The work folders of a template, below the user's documents folder:
//   <Documents>/Zantrel/Templates/<template name>/{Script,temp,cache}
// (a template folder's name carries a hash of its path, so that two folders of
// the same name do not share prepared scripts)
// Script holds the extracted template (unless the template is a folder, used
// where it is), temp the prepared scripts, cache copies of the inputs by which
// the next run tells what changed.
#pragma once

#include <filesystem>
#include <string>

namespace zantrel {

class ObPModel;
struct GenerationRun;

// Sets the run's folders for the project's "Template" and creates them; false
// with the run's error set when that fails.
bool PrepareWorkFolders(ObPModel& project, GenerationRun& run, const std::string& subfolder);
void RemoveWorkFolder(const std::filesystem::path& path);
void DeleteFilesByExt(const std::filesystem::path& folder, std::string_view extension);

// Whether both files exist with the same modification time and size.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);
// Copies a file, keeping its modification time; throws FileError.
void CopyKeepingTime(const std::filesystem::path& from, const std::filesystem::path& to);
// Copies each file of from into to unless to holds one of the same name modified later.
void CopyNewerFiles(const std::filesystem::path& from, const std::filesystem::path& to);

// Whether the project's "Template" names a folder rather than an archive.
bool TemplateIsFolder(const ObPModel& project);

}  // namespace zantrel
