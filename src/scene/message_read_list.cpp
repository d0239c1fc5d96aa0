// SPDX-License-Identifier: MIT
#include "scene/message_read_list.h"

#include <algorithm>

#include "base/binary_reader.h"
#include "base/binary_writer.h"

namespace nova {

bool TNovaReadList::IsRead(const std::string& page, int32_t command, int32_t page_index) const {
  for (const TNovaRead& item : items_)
    if (item.name == page)
      return std::find(item.pairs.begin(), item.pairs.end(), std::pair{command, page_index}) !=
             item.pairs.end();
  return false;
}

void TNovaReadList::SetPending(const std::string& box, const std::string& page, int32_t page_index,
                               int32_t command) {
  pending_box_ = box;
  pending_page_ = page;
  pending_page_index_ = page_index;
  pending_command_ = command;
}

void TNovaReadList::Commit(const std::string& box) {
  if (pending_page_.empty() || box != pending_box_)
    return;
  auto it = std::find_if(items_.begin(), items_.end(),
                         [&](const TNovaRead& i) { return i.name == pending_page_; });
  if (it == items_.end()) {
    items_.push_back({pending_page_, {}});
    it = items_.end() - 1;
  }
  const std::pair pair{pending_command_, pending_page_index_};
  if (std::find(it->pairs.begin(), it->pairs.end(), pair) == it->pairs.end())
    it->pairs.push_back(pair);
  pending_page_.clear();
  pending_box_.clear();
  pending_page_index_ = pending_command_ = 0;
}

void TNovaReadList::Clear() {
  items_.clear();
  pending_page_.clear();
  pending_box_.clear();
  pending_page_index_ = pending_command_ = 0;
}

void TNovaReadList::Save(BinaryWriter& w) const {
  w.I32(static_cast<int32_t>(items_.size()));
  for (const TNovaRead& item : items_) {
    w.String(item.name);
    w.I32(static_cast<int32_t>(item.pairs.size()));
    for (const auto& p : item.pairs)
      w.I32(p.first);
    for (const auto& p : item.pairs)
      w.I32(p.second);
  }
  w.String(pending_page_);
  w.I32(pending_page_index_);
  w.I32(pending_command_);
  w.String(pending_box_);
}

void TNovaReadList::Load(BinaryReader& r, int version) {
  Clear();
  if (version < 100)
    return;
  const int32_t count = r.I32();
  r.CheckCount(count, 4 + 4, "read mark item count");
  items_.resize(static_cast<size_t>(count));
  for (TNovaRead& item : items_) {
    item.name = r.String();
    const int32_t n = r.I32();
    r.CheckCount(n, 8, "read mark pair count");
    item.pairs.resize(static_cast<size_t>(n));
    for (auto& p : item.pairs)
      p.first = r.I32();
    for (auto& p : item.pairs)
      p.second = r.I32();
  }
  pending_page_ = r.String();
  pending_page_index_ = r.I32();
  pending_command_ = r.I32();
  pending_box_ = r.String();
}

} // namespace nova
