// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "script/project_services.h"
#include "script/project_setting.h"
#include "script/script_host.h"

namespace nova {

// The running title: reads the project file, applies it, starts the interpreter on the start
// page, and at the end runs the exit page and writes the status data back.
class TProject {
public:
  struct Services {
    IScriptFiles& files; // the virtual file manager
    IScriptDialogs& dialogs;
    IProjectHost& host;
    ITitleLocation* location; // for the data location check; null when started with parameters
  };

  explicit TProject(Services services);
  ~TProject();
  TProject(const TProject&) = delete;
  TProject& operator=(const TProject&) = delete;

  // The start-up sequence. False when it stopped (Terminating stays set and the window
  // closes); raises "このバージョンには対応していません" for a project file that is too new.
  bool Start();
  // The shutdown sequence: runs the exit page once and writes the status data. Called once.
  void Shutdown();

  // Runs the interpreter for one frame.
  void Step();
  // Performs a pending load (then returns true) and a pending save.
  bool DoDeferred();
  // True when the page exists, possibly after asking for the disk that holds it.
  bool PageExists(const std::string& name);

  // Requests performed by DoDeferred at the end of the frame; -1 = none.
  void RequestLoad(int32_t slot) { pending_load_ = slot; }
  void RequestSave(int32_t slot, std::string title, std::string resume_page, int32_t resume_index);

  const TProjectSetting& setting() const { return setting_; }
  const std::string& title() const { return setting_.title; }
  const std::string& disk_prompt() const { return setting_.disk_prompt; }
  const std::string& quit_message() const { return setting_.quit_message; }
  IProjectInterpreter* interpreter() const { return interpreter_.get(); }

  // Titles of the saved games: (title, slot number), in the order of the save file's entries.
  std::vector<std::pair<std::string, int32_t>> save_titles;
  // The title of the first pair with that slot, or empty.
  std::string SaveTitle(int32_t slot) const;
  // Replaces the title of the pair with that slot, or appends a new pair.
  void SetSaveTitle(int32_t slot, const std::string& title);
  // The save file path, computed once by the save and load of games.
  std::string save_file_path;

private:
  bool CheckDataLocation();
  bool SearchCdRoms(const std::string& title);

  Services services_;
  TProjectSetting setting_;
  std::unique_ptr<IProjectInterpreter> interpreter_;
  int32_t pending_load_ = -1;
  int32_t pending_save_ = -1;
  std::string save_title_;
  std::string save_resume_page_;
  int32_t save_resume_index_ = 0;
  bool shut_down_ = false;
};

} // namespace nova
