// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

namespace nova {

class TCallMan;
class TProject;
struct TExprHosts;

// The project's save and load steps, which the project binding hands on once they are
// connected (save_binding.h); without them nothing is saved or restored.
class IProjectSaves {
public:
  virtual ~IProjectSaves() = default;
  virtual void RestoreStatusData(TProject& project) = 0;
  virtual void ReadSaveTitles(TProject& project) = 0;
  virtual void WriteStatusData(TProject& project) = 0;
  virtual void LoadGame(TProject& project, int32_t slot) = 0;
  virtual void SaveGame(TProject& project, int32_t slot, const std::string& title,
                        const std::string& resume_page, int32_t resume_index) = 0;
  // The interpreter was made: the commands and functions that reach the save data join it.
  virtual void ConnectInterpreter(TProject& project, TCallMan& calls, TExprHosts& hosts) = 0;
  // The interpreter is about to go.
  virtual void DisconnectInterpreter() = 0;
};

} // namespace nova
