// SPDX-License-Identifier: MIT
#pragma once
#include <memory>

#include "script/saved_game.h"
#include "shell/project_saves.h"

namespace nova {

class TFormView;
class TGameSave;
class TProjectBinding;
class TPlatformScriptDialogs;
class TSaveBehaviours;
class TSaveFile;
class TSaveFuncs;
class TSceneBinding;
struct TPlayerHooks;

// How a failed write of the save file reaches the player.
enum class TSaveReport { MessageBox, StandardError };

// Binds the save file into the player: the empty first archive that holds the memory files
// ("VrFileManager.AddFirstCollection"), the random seed at start, the status data restored at
// start and written at every shutdown, the deferred game saves and loads, the GameSave and
// GameLoad commands and the built-in functions on the save data.
class TSaveBinding final : public IProjectSaves {
public:
  TSaveBinding(TFormView& form, TPlayerHooks& hooks, TProjectBinding& project, TSceneBinding& scene,
               TSaveReport report);
  ~TSaveBinding() override;
  TSaveBinding(const TSaveBinding&) = delete;
  TSaveBinding& operator=(const TSaveBinding&) = delete;

  // IProjectSaves
  void RestoreStatusData(TProject& project) override;
  void ReadSaveTitles(TProject& project) override;
  void WriteStatusData(TProject& project) override;
  void LoadGame(TProject& project, int32_t slot) override;
  void SaveGame(TProject& project, int32_t slot, const std::string& title,
                const std::string& resume_page, int32_t resume_index) override;
  void ConnectInterpreter(TProject& project, TCallMan& calls, TExprHosts& hosts) override;
  void DisconnectInterpreter() override;

private:
  TGameSave& Save(TProject& project);
  TSavedParts Parts(TProject& project);
  void Report(const std::string& message);

  TFormView& form_;
  TPlayerHooks& hooks_;
  TProjectBinding& project_;
  TSceneBinding& scene_;
  TSaveReport report_;
  bool reported_ = false;
  std::unique_ptr<TPlatformScriptDialogs> dialogs_;
  std::unique_ptr<TSaveFile> file_;
  std::unique_ptr<TGameSave> save_;
  std::unique_ptr<TSaveBehaviours> behaviours_;
  std::unique_ptr<TSaveFuncs> funcs_;
};

} // namespace nova
