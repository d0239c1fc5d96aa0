// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "script/project_setting.h"

namespace nova {

class TProject;

// The interpreter as the project drives it: the call manager implements it.
class IProjectInterpreter {
public:
  virtual ~IProjectInterpreter() = default;
  // Starts the script on a page from its first command.
  virtual void Start(const std::string& page) = 0;
  // Runs one frame's worth of commands.
  virtual void Run() = 0;
};

// The steps of the project's start and end that belong to other parts of the player. The
// shell passes one implementation that reaches the variable table, the save file, the screen
// transitions and the main window.
class IProjectHost {
public:
  virtual ~IProjectHost() = default;

  // The title became known: application title and main window caption.
  virtual void SetApplicationTitle(const std::string& title) = 0;
  // Default centre point of the screen transitions that have one (half the scene size).
  virtual void SetTransitionCentre(int32_t x, int32_t y) = 0;
  // Restores the status data and the saved files from the save file.
  virtual void RestoreStatusData(TProject& project) = 0;
  // True when the variable table already holds a variable of this name.
  virtual bool VariableExists(const std::string& name) = 0;
  // Creates a project variable as a status variable with its initial value.
  virtual void CreateStatusVariable(const TParamData& variable) = 0;
  // Reads the titles of the saved games into the project.
  virtual void ReadSaveTitles(TProject& project) = 0;
  // Creates the call manager of the project.
  virtual std::unique_ptr<IProjectInterpreter> CreateInterpreter(TProject& project) = 0;
  // Writes the status data at exit; `project.setting().write_save_file` says whether it
  // reaches the disk.
  virtual void WriteStatusData(TProject& project) = 0;
  // Performs a pending game load or save request (deferred to the end of the frame).
  virtual void LoadGame(TProject& project, int32_t slot) = 0;
  virtual void SaveGame(TProject& project, int32_t slot, const std::string& title,
                        const std::string& resume_page, int32_t resume_index) = 0;
};

// Where the title's data lies, for the data location check: the executable's folder, the
// disks and the virtual file manager. Paths are native; folders end in a separator.
class ITitleLocation {
public:
  virtual ~ITitleLocation() = default;
  virtual std::string ExecutableFolder() = 0;
  virtual bool FileExists(const std::string& path) = 0;
  virtual std::vector<uint8_t> ReadFile(const std::string& path) = 0;
  // Roots of the CD-ROM drives that hold a medium.
  virtual std::vector<std::string> CdRomRoots() = 0;
  // The virtual file manager.
  virtual std::string BaseFolder() = 0;
  virtual void SetBaseFolder(const std::string& folder) = 0;
  virtual int32_t ArchiveCount() = 0;
  virtual void AddArchive(const std::string& path) = 0;
};

} // namespace nova
