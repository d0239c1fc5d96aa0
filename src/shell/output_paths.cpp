// SPDX-License-Identifier: MIT
#include "shell/output_paths.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "shell/player_options.h"

namespace nova {

namespace {

namespace fs = std::filesystem;

// What keeps `folder` from taking new files, or empty.
std::string FolderProblem(const fs::path& folder) {
  std::error_code error;
  const fs::file_status status = fs::status(folder, error);
  if (!fs::exists(status))
    return "no such folder";
  if (!fs::is_directory(status))
    return "not a folder";
  if (::access(folder.c_str(), W_OK | X_OK) != 0)
    return std::strerror(errno);
  return {};
}

// What keeps `file` from being written (created or replaced), or empty.
std::string FileProblem(const fs::path& file) {
  std::error_code error;
  const fs::file_status status = fs::status(file, error);
  if (fs::exists(status)) {
    // A device such as /dev/null takes the output too; a folder or a pipe does not.
    if (!fs::is_regular_file(status) && !fs::is_character_file(status))
      return "not a regular file or device";
    if (::access(file.c_str(), W_OK) != 0)
      return std::strerror(errno);
    return {};
  }
  const fs::path parent = file.parent_path().empty() ? fs::path(".") : file.parent_path();
  const std::string problem = FolderProblem(parent);
  return problem.empty() ? problem : "its folder " + parent.string() + ": " + problem;
}

} // namespace

std::optional<std::string> CheckOutputPaths(const TPlayerOptions& options) {
  const struct {
    const char* option;
    const std::string& path;
    bool folder;
  } outputs[] = {
      {"--screenshot-every", options.screenshot_dir, true},
      {"--screenshot", options.screenshot, false},
      {"--trace", options.trace_file, false},
      {"--dump-vars", options.dump_vars_file, false},
      {"--record", options.record_file, false},
      {"--audio-out", options.audio_out, false},
      {"--midi-log", options.midi_log_file, false},
  };
  for (const auto& o : outputs) {
    if (o.path.empty())
      continue;
    const std::string problem = o.folder ? FolderProblem(o.path) : FileProblem(o.path);
    if (!problem.empty())
      return std::string(o.option) + ": cannot write to " + o.path + " (" + problem + ")";
  }
  return std::nullopt;
}

} // namespace nova
