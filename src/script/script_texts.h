// SPDX-License-Identifier: MIT
#pragma once
#include <string>

namespace nova {

// The system's own texts of the script folder, converted to Shift-JIS once.
enum class TScriptText {
  NoProject,          // project file empty
  VersionUnsupported, // project version too new
  NoStartPage,
  Reinstall,
  InsertDisk,
  Rebuild, // page too old
  InvalidCommand,
  DefaultTitle,
  DefaultDiskPrompt,
  DefaultQuitMessage,
  CaptionWarning,
  CaptionInfo,
  FileMissing,         // "%s:..." format of the file manager
  SaveFileUncreatable, // no folder can hold the save file
  SaveDataUnusable,    // a saved game that cannot be loaded
};

const std::string& ScriptText(TScriptText id);

} // namespace nova
