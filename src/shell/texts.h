// SPDX-License-Identifier: MIT
#pragma once
#include <string>

namespace nova {

// The shell's own texts, in Shift-JIS, converted once from the UTF-8 table in texts.cpp.
struct TShellTexts {
  std::string quit_question_ja; // format with the title for %s
  std::string quit_question_en;
  std::string warning_caption;
  std::string config_caption;
  std::string config_use_direct_sound;
  std::string config_delay_label;
  std::string config_delay_info; // format with the delay in ms for %d
  std::string ok;
  std::string cancel;
  std::string work_file_failed;
  std::string overwrite_question; // format with the target's path for %s
  std::string open_file_caption;
  std::string save_file_caption;
  std::string select_folder_caption;
};

const TShellTexts& ShellTexts();

} // namespace nova
