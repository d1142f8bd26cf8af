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

class ObP;
struct GenerationRun;

std::string BuildOutputPath(const ObP& project, const std::string& name, bool applyNaming, bool inDestination);
// folder/name when a file or folder of that path exists, else "".
std::string ExistingPath(const std::string& folder, const std::string& name);
// Trimmed, with a separator appended to a non-empty folder that lacks one.
std::string NormalizeFolder(const std::string& folder);
void CreateFolderPath(const std::string& path);  // failures are ignored

// Whether the output may be written (in check mode: whether it exists). Raises
// through CancelGeneration when the person answers Cancel.
bool ConfirmFileWrite(ObP& project, GenerationRun& run, const std::string& path, bool overwrite, bool prompt,
                      bool checkOnly);
bool ConfirmFolderWrite(ObP& project, GenerationRun& run, const std::string& path, bool overwrite, bool prompt,
                        bool checkOnly);

// Runs a prepared script (initType 1: control current, 2: table and field too)
// and writes its page, cleaned (space) or stripped of leading blank lines.
// Nothing is written when the script fails (ProjErr is set then).
void WritePage(ObP& project, GenerationRun& run, const std::string& scriptPath, const std::string& outputPath,
               bool overwrite, bool space, int16_t initType);

void WriteStyleSheet(ObP& project, GenerationRun& run, bool checkOnly, int32_t& count);
void CopyTemplateFiles(ObP& project, GenerationRun& run, bool checkOnly, int32_t& count);

// Ends the run: closes the progress window, sets "Generation cancelled by user!"
// and raises it as error -1.
[[noreturn]] void CancelGeneration();

}  // namespace zantrel
