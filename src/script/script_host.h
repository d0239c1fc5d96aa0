// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace nova {

// Texts of a disk prompt, from the project (Shift-JIS).
struct TDiskTexts {
  std::string prompt_format; // one %d
  std::string quit_message;
  std::string caption; // the application title
};

// What the project and the page loader need from the title's files. The player implements it
// over the virtual file manager; tests and tools over a folder or a map of names.
class IScriptFiles {
public:
  virtual ~IScriptFiles() = default;
  virtual bool Exists(const std::string& name) = 0;
  // The file's bytes; raises "%s:ファイルがありません" when it is missing.
  virtual std::vector<uint8_t> Load(const std::string& name) = 0;
  // Asks for disk `disk` of a multi-disk title; true once it is in and its archive added.
  virtual bool PromptForDisk(int32_t disk, const TDiskTexts& texts) = 0;
};

// Message boxes and the main window, as the script folder uses them. Texts are Shift-JIS.
// TPlatformScriptDialogs is the player's; tests record the calls.
class IScriptDialogs {
public:
  virtual ~IScriptDialogs() = default;
  virtual TMsgResult MessageBox(const std::string& text, const std::string& caption,
                                TMsgButtons buttons, TMsgIcon icon) = 0;
  // Asks the main window to close after the current step.
  virtual void CloseMainWindow() = 0;
};

} // namespace nova
