// SPDX-License-Identifier: MIT
#include "scene/message_read_list.h"

#include <algorithm>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/serializer.h"

namespace nova {
namespace {

// Status data from this version on holds the read marks.
constexpr Since kReadMarksSaved{100};

} // namespace

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
  TSerializer s(w);
  // Saving only reads what the description names.
  const_cast<TNovaReadList*>(this)->Sync(s);
}

void TNovaReadList::Load(BinaryReader& r, int version) {
  TSerializer s(r, version);
  Sync(s);
}

void TNovaReadList::Sync(TSerializer& s) {
  if (s.Loading())
    Clear();
  if (!s.Has(kReadMarksSaved))
    return;
  s.List(items_, 4 + 4, "read mark item count", [&s](TNovaRead& item) {
    s.String(item.name);
    // Command indexes, then page indexes.
    s.Count(item.pairs, 8, "read mark pair count");
    for (auto& p : item.pairs)
      s.I32(p.first);
    for (auto& p : item.pairs)
      s.I32(p.second);
  });
  s.String(pending_page_);
  s.I32(pending_page_index_);
  s.I32(pending_command_);
  s.String(pending_box_);
}

} // namespace nova
