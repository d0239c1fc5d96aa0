// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "script/save_file.h"
#include "script/saved_game.h"

namespace nova {

class IScriptDialogs;
class TProject;
class TVrFileCollection;

inline constexpr char kStatusEntryName[] = "STATUSSAVEDATA";
inline constexpr char kGameEntryPrefix[] = "GAMESAVEDATA";
inline constexpr char kSaveFilePrefix[] = "save:";

// The entry name of a saved game's slot.
std::string GameEntryName(int32_t slot);

// The title's progress in its save file: saving and loading games, the status data at start
// and at every shutdown, the save titles, and the "save:" memory files that scripts write.
// Main thread.
class TGameSave {
public:
  struct Context {
    TProject& project;
    TSaveFile& file;
    IScriptDialogs& dialogs;
    // The first archive of the file manager, which holds the memory files.
    TVrFileCollection& memory_files;
  };
  // The parts are asked for when needed: the interpreter exists only after start-up.
  TGameSave(Context context, std::function<TSavedParts()> parts);

  // Saves the game into slot `slot` and then the status data; an empty title saves nothing.
  void SaveGame(int32_t slot, const std::string& title, const TResumePoint& resume);
  // Loads slot `slot`; a slot the file does not hold changes nothing. A game that cannot be
  // used shows "このセーブデータは使用できません…" and sets Terminating.
  void LoadGame(int32_t slot);
  // Writes the status data when every part exists and the project's setting allows it; a
  // failure is reported and otherwise ignored.
  void WriteStatusData();
  // At start: the status data (what cannot be read is ignored), then every "save:" entry
  // becomes a memory file.
  void RestoreStatusData();
  // The save titles of the project, in the order of the file's entries.
  void ReadSaveTitles();
  // Writes the memory file `name` ("save:…") into the save file at once.
  void WriteBackMemoryFile(const std::string& name);

private:
  void AddStatusEntry(TVrFileCollection& archive, const TSavedParts& parts);

  Context ctx_;
  std::function<TSavedParts()> parts_;
};

} // namespace nova
