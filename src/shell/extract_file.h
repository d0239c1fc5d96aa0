// SPDX-License-Identifier: MIT
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace nova {

// What `ExtractFile` copies: title file names or patterns ("*", "?") in Shift-JIS, whether an
// existing target is asked about, and the destination as the script gave it (none: chosen).
struct TExtractRequest {
  std::vector<std::string> files;
  bool confirm = true;
  std::optional<std::string> destination;
};

// Where the files go and how the user is asked.
struct TExtractContext {
  std::string title_folder; // native, the folder relative destinations start from
  std::string desktop_folder;
  std::string documents_folder;
  // A folder chosen by the user (native); none when cancelled.
  std::function<std::optional<std::string>()> choose_folder;
  // Asks about an existing target; the text is Shift-JIS.
  std::function<TMsgResult(const std::string& text, TMsgButtons buttons)> ask;
};

// The native folder a destination names: "{Desktop}\x" and "{MyDocuments}\x" inside those
// folders, anything else inside the title folder. A path with ".." or ":" stands for the
// folder itself, so nothing lands outside it. None for another "{...}" name.
std::optional<std::string> ExtractDestination(const std::string& sjis_destination,
                                              const TExtractContext& context);

// Copies the title files (through the file manager) into the destination folder, made with its
// parents; true when at least one file was written.
bool ExtractFiles(const TExtractRequest& request, const TExtractContext& context);

} // namespace nova
