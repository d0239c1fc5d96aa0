// SPDX-License-Identifier: MIT
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace nova {

// The title's base folder and archives, as the command line names them.
struct TTitleArchives {
  std::filesystem::path base_folder;
  std::vector<std::filesystem::path> archives; // in the order they are added
};

// The base folder alone: the first parameter's folder, or the executable's without parameters.
std::filesystem::path TitleBaseFolder(const std::vector<std::string>& params,
                                      const std::filesystem::path& executable);

// True when the file ends in the appended-archive trailer "nv".
bool HasArchiveTrailer(const std::filesystem::path& file);
// True when the file starts as a stand-alone archive does ("vf") and carries no trailer.
bool IsPlainArchive(const std::filesystem::path& file);

// A translation patch beside "game.dat" that the player loads with it.
inline constexpr const char* kPatchArchiveName = "patch.dat";

// Without parameters the base folder is the executable's and the executable itself is an
// archive when it carries the trailer. With parameters the base folder is the first one (the
// folder of it, when it names a file); then for each parameter in order: the "game.dat" in the
// folder it names, if there is one, and the parameter itself if it is a file with the trailer.
// Patch archives come before all of these, so that their files take priority: "patch.dat"
// beside such a "game.dat", and each later parameter that is a plain archive file.
TTitleArchives FindArchives(const std::vector<std::string>& params,
                            const std::filesystem::path& executable);

} // namespace nova
