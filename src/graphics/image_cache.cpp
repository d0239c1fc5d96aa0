// SPDX-License-Identifier: MIT
#include "graphics/image_cache.h"

#include <algorithm>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/sjis.h"
#include "graphics/wisp_frame_list.h"
#include "vfs/vr_file_manager.h"

namespace nova {

namespace {

bool StripSuffix(std::string& name, std::string_view suffix) {
  if (name.size() < suffix.size() ||
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return false;
  }
  name.resize(name.size() - suffix.size());
  return true;
}

} // namespace

TWispCollection::TWispCollection(TVrFileManager& files, int32_t code,
                                 std::function<int()> screen_bit_count)
    : files_(files), code_(code), screen_bit_count_(std::move(screen_bit_count)) {}

TWispCollection::~TWispCollection() = default;

int TWispCollection::ScreenBitCount() const {
  const int bits = screen_bit_count_ ? screen_bit_count_() : 0;
  return bits > 0 ? bits : 32;
}

TWispItem* TWispCollection::Get(const void* user, const std::string& name, uint8_t options) {
  std::string key = name;
  if (options & kWispMask)
    key += "?m";
  if (options & kWispTrim)
    key += "?t";
  std::string folded = UpperCaseJ(key);
  auto it = items_.find(folded);
  TWispItem* item;
  if (it != items_.end()) {
    item = it->second.get();
  } else {
    auto fresh = std::make_unique<TWispItem>();
    fresh->key_ = key;
    fresh->folded_key_ = folded;
    Load(*fresh, false, false);
    item = fresh.get();
    items_.emplace(std::move(folded), std::move(fresh));
  }
  if (std::find(item->users_.begin(), item->users_.end(), user) == item->users_.end()) {
    item->users_.push_back(user);
  }
  item->idle_ = false;
  return item;
}

void TWispCollection::Release(const void* user, TWispItem* item, WispRelease mode) {
  if (item == nullptr)
    return;
  std::erase(item->users_, user);
  if (!item->users_.empty())
    return;
  if (mode == WispRelease::kKeepIdle) {
    item->idle_ = true;
  } else {
    Free(item->folded_key_);
  }
}

void TWispCollection::Free(const std::string& folded_key) { items_.erase(folded_key); }

void TWispCollection::Purge(const std::string& name) {
  for (const char* suffix : {"", "?m", "?t", "?m?t"}) {
    auto it = items_.find(UpperCaseJ(name + suffix));
    if (it != items_.end() && it->second->idle_)
      items_.erase(it);
  }
}

void TWispCollection::ReloadAll(bool recreate) {
  for (auto& [key, item] : items_)
    Load(*item, true, recreate);
}

void TWispCollection::SetDither(bool on) {
  if (on == dither_)
    return;
  dither_ = on;
  ReloadAll(false);
}

void TWispCollection::SaveFlag(BinaryWriter& w) const { w.U8(dither_ ? 1 : 0); }

void TWispCollection::LoadFlag(BinaryReader& r, int32_t save_version) {
  if (save_version > 100)
    SetDither(r.U8() != 0);
}

void TWispCollection::LoadPlaceholder(TWispItem& item, bool mask) {
  item.frames_.clear();
  auto frame = std::make_unique<TWispItemFrame>();
  frame->surface.SetSize(8, 8, ScreenBitCount());
  frame->surface.Clear(0);
  frame->surface.SetTransparentColor(0);
  // Left at a new surface's size: not an 8-bit mask, so masked draws show nothing.
  if (mask)
    frame->mask = std::make_unique<TDIBX>();
  item.total_time_ = frame->display_time;
  item.frames_.push_back(std::move(frame));
}

void TWispCollection::Load(TWispItem& item, bool reload, bool recreate) {
  std::string name = item.key_;
  const bool trim = StripSuffix(name, "?t");
  const bool mask = StripSuffix(name, "?m");
  const bool fresh_surfaces = !reload || recreate;
  TWispFrameList list(code_);
  if (files_.Exists(name)) {
    TMemoryStream data = files_.Load(name, kMaxPictureFileBytes);
    list.LoadFromMemory(data.Bytes(), name);
  }
  if (list.Count() == 0) {
    if (fresh_surfaces)
      LoadPlaceholder(item, mask);
    return;
  }
  if (mask)
    list.MakeMasks();
  if (!reload) {
    item.frames_.clear();
    item.total_time_ = 0;
  }
  const int bits = ScreenBitCount();
  const WispDither dither = dither_ ? WispDither::kOn : WispDither::kOff;
  for (int i = 0; i < list.Count(); ++i) {
    TWispFrame& f = list.Frame(i);
    if (!reload) {
      item.frames_.push_back(std::make_unique<TWispItemFrame>());
    } else if (static_cast<size_t>(i) >= item.frames_.size()) {
      break;
    }
    if (reload && !recreate && f.transparent >= 0 && !f.HasAlpha())
      continue;
    TWispItemFrame& out = *item.frames_[static_cast<size_t>(i)];
    out.offset = trim ? f.Trim() : WispPoint{};
    if (fresh_surfaces)
      out.surface = TDIBX(1, 1, bits);
    f.CopyTo(out.surface, dither);
    out.surface.SetTransparentColor(out.surface.ColorToPixel(f.key_color));
    if (f.HasAlpha() || mask) {
      if (!out.mask)
        out.mask = std::make_unique<TDIBX>();
      f.CopyAlphaTo(*out.mask);
    }
    out.key_color = f.key_color;
    out.display_time = std::max(1, f.display_time);
    out.visible_regions = std::move(f.visible_regions);
    out.opaque_regions = std::move(f.opaque_regions);
    if (!reload)
      item.total_time_ += out.display_time;
  }
}

} // namespace nova
