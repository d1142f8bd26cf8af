// Everything that touches the destination folder: output paths from the
// project's naming settings, whether an existing file or folder may be
// overwritten (asking through the Prompter, with ".bak" backups), writing a
// page, the style sheet, and the template's static files and folders. Pages
// are written to a temporary file and renamed into place, so a failed or
// cancelled run never leaves half a page.
#pragma once

#include <cstdint>
#include <string>

namespace zantrel {

class ObPModel;
struct GenerationRun;

std::string BuildOutputPath(const ObPModel& project, const std::string& name, bool applyNaming, bool inDestination);
// folder/name when a file or folder of that path exists, else "".
std::string ExistingPath(const std::string& folder, const std::string& name);
// Trimmed, with a separator appended to a non-empty folder that lacks one.
std::string NormalizeFolder(const std::string& folder);
void CreateFolderPath(const std::string& path);  // failures are ignored

// Whether the output may be written (in check mode: whether it exists). Raises
// through CancelGeneration when the person answers Cancel.
bool ConfirmFileWrite(ObPModel& project, GenerationRun& run, const std::string& path, bool overwrite, bool prompt,
                      bool checkOnly);
bool ConfirmFolderWrite(ObPModel& project, GenerationRun& run, const std::string& path, bool overwrite, bool prompt,
                        bool checkOnly);

// Runs a prepared script (initType 1: control current, 2: table and field too)
// and writes its page, cleaned (space) or stripped of leading blank lines.
// Nothing is written when the script fails (the run's error says why then).
void WritePage(ObPModel& project, GenerationRun& run, const std::string& scriptPath, const std::string& outputPath,
               bool overwrite, bool space, int16_t initType);

void WriteStyleSheet(ObPModel& project, GenerationRun& run, bool checkOnly, int32_t& count);
void CopyTemplateFiles(ObPModel& project, GenerationRun& run, bool checkOnly, int32_t& count);

// The number of the error that ends a run the person cancelled.
inline constexpr int32_t kGenerationCancelled = -1;

// Ends the run: closes the progress window and raises "Generation cancelled by
// user!" as error kGenerationCancelled.
[[noreturn]] void CancelGeneration();

}  // namespace zantrel
