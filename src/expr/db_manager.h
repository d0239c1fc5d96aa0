// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "expr/db_table.h"

namespace nova {

class BinaryReader;
class BinaryWriter;

// Every in-game table of the process, in creation order, and the current one. Game tables go
// with each saved game and away with `Reset`; status tables go with the status data.
class TDBManager {
public:
  int32_t Count() const { return static_cast<int32_t>(tables_.size()); }
  TDBTable& At(int32_t i) { return *tables_[static_cast<size_t>(i)]; }
  // Index of a table by name, compared case-insensitively; -1 when none.
  int32_t IndexOf(std::string_view name) const;
  TDBTable* Find(std::string_view name);
  // The current table, or null.
  TDBTable* Current();
  int32_t CurrentIndex() const { return current_; }
  void SetCurrent(int32_t index) { current_ = index; }

  // Appends a new empty table and makes it current.
  TDBTable& Append(std::string name, bool status);
  // Removes table `index`; the current one stays current unless it was the one removed.
  void Remove(int32_t index);
  // Every table goes; no current table.
  void Clear();
  // What `Reset` does: the game tables go, the status tables stay; no current table.
  void RemoveGameTables();

  // The game part (game tables and the current table's name) of a saved game.
  void SaveGameTables(BinaryWriter& w) const;
  void LoadGameTables(BinaryReader& r);
  // The status part (status tables) of the status data.
  void SaveStatusTables(BinaryWriter& w) const;
  void LoadStatusTables(BinaryReader& r);

private:
  void SavePart(BinaryWriter& w, bool status) const;
  // Reads the whole part before replacing anything, so damaged data leaves the tables intact.
  void LoadPart(BinaryReader& r, bool status);

  std::vector<std::unique_ptr<TDBTable>> tables_;
  int32_t current_ = -1;
};

} // namespace nova
