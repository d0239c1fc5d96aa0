// SPDX-License-Identifier: MIT
// The two records of the save file: a saved game ("GAMESAVEDATA" + slot) and the status data
// ("STATUSSAVEDATA"). Each writer sits beside its reader; what the pieces hold is theirs.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace nova {

class BinaryReader;
class BinaryWriter;
class TCallMan;
class TNovaBaseList;
class TParamCollection;
class TWispCollection;

inline constexpr int32_t kSavedGameVersion = 143;
inline constexpr int32_t kOldestSavedGame = 107;
inline constexpr int32_t kStatusVersion = 103;

// What the two records are made of.
struct TSavedParts {
  TNovaBaseList& scene;    // with its history formats and read marks
  TCallMan* calls;         // needed by saved games only; the status data is read before it exists
  TParamCollection& vars;  // with the in-game tables, whose parts come last in both records
  TWispCollection* images; // the status data is written only when it exists
};

// Where a loaded game goes on.
struct TResumePoint {
  std::string page; // empty: none
  int32_t index = 0;
};

std::vector<uint8_t> WriteSavedGame(const TSavedParts& parts, const std::string& title,
                                    const TResumePoint& resume);
// Loads a saved game into the parts. Raises ENovaError naming `what` on damaged data, on a
// version outside 107..143, or when a page it names cannot be loaded.
void ReadSavedGame(const TSavedParts& parts, std::span<const uint8_t> bytes,
                   const std::string& what);
// The title a saved game shows in save menus (its version and title lead the record).
std::string ReadSavedGameTitle(std::span<const uint8_t> bytes, const std::string& what);

std::vector<uint8_t> WriteStatusData(const TSavedParts& parts);
// Raises ENovaError naming `what` on damaged data.
void ReadStatusData(const TSavedParts& parts, std::span<const uint8_t> bytes,
                    const std::string& what);

} // namespace nova
