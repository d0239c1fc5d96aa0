// SPDX-License-Identifier: MIT
#include "media/cd_tracks.h"

#include <filesystem>
#include <vector>

#include "base/sjis.h"

namespace nova {

int CdTrackNumber(const std::string& name) {
  if (name.size() < 4 || name.compare(0, 3, "CD_") != 0 || name.size() > 6)
    return -1;
  int n = 0;
  for (size_t i = 3; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9')
      return -1;
    n = n * 10 + (name[i] - '0');
  }
  return n;
}

std::string FindCdTrackFile(const std::string& folder, int track) {
  if (folder.empty() || track < 1 || track > 99)
    return {};
  char two[8], one[8];
  std::snprintf(two, sizeof two, "%02d", track);
  std::snprintf(one, sizeof one, "%d", track);
  std::vector<std::string> stems;
  for (const char* digits : {two, one})
    for (const char* prefix : {"cd_", "track", "track ", ""})
      stems.push_back(std::string(prefix) + digits);
  static const char* const kExtensions[] = {".ogg", ".flac", ".wav", ".mp3"};
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  if (error)
    return {};
  // The first naming in the order above wins, whatever order the folder lists.
  std::string best;
  size_t best_rank = SIZE_MAX;
  for (const auto& entry : it) {
    if (!entry.is_regular_file(error))
      continue;
    const std::string file = LowerCaseJ(entry.path().filename().string());
    for (size_t s = 0; s < stems.size(); ++s)
      for (size_t e = 0; e < std::size(kExtensions); ++e) {
        const size_t rank = s * std::size(kExtensions) + e;
        if (rank < best_rank && file == stems[s] + kExtensions[e]) {
          best_rank = rank;
          best = entry.path().string();
        }
      }
  }
  return best;
}

} // namespace nova
