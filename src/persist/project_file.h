// The project file: an XML document with one element per object and every
// setting with FileSave as an attribute (project_writer.cpp writes it,
// project_reader.cpp reads it).
#pragma once

#include <string>

#include "model/project.h"

namespace zantrel {

// Reads the file into the project as it stands (user defaults first, then the
// file's settings, database, tables and fields); when AutoSync is on and a
// load-time check is installed (persist/load_check.h), runs it. Every failure
// throws Error: err::kProjectFileUnreadable (with the reason, and the line and
// column when the XML is at fault), kInvalidProjectFile,
// kNoDatabaseInformation (the settings are read then), or the check's error
// (the project is loaded then).
void LoadProject(ObPModel& project, const std::string& projFile);

// Writes the project atomically: an existing file stays as it was when
// writing fails, which raises 75 (Path/File access error). A project read
// from a newer version's file throws err::kProjectReadOnly.
void SaveProject(ObPModel& project, const std::string& projFile);

}  // namespace zantrel
