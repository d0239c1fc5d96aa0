// SPDX-License-Identifier: MIT
// Which pages of which text insert commands the player has read, and the page each message box
// is showing until it reports that page finished. The status data keeps them.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace nova {

class BinaryReader;
class BinaryWriter;
class TSerializer;

// The pairs (command index, page index) read on one script page.
struct TNovaRead {
  std::string name;
  std::vector<std::pair<int32_t, int32_t>> pairs;
};

class TNovaReadList {
public:
  bool IsRead(const std::string& page, int32_t command, int32_t page_index) const;
  // Remembers the page a box is showing.
  void SetPending(const std::string& box, const std::string& page, int32_t page_index,
                  int32_t command);
  // The box that set the pending page finished it: the pair becomes read.
  void Commit(const std::string& box);
  void Clear();
  const std::vector<TNovaRead>& Items() const { return items_; }

  void Save(BinaryWriter& w) const;
  void Load(BinaryReader& r, int version);
  // Status data of version below 100 holds no read marks.
  void Sync(TSerializer& s);

private:
  std::vector<TNovaRead> items_;
  std::string pending_page_;
  int32_t pending_page_index_ = 0;
  int32_t pending_command_ = 0;
  std::string pending_box_;
};

} // namespace nova
