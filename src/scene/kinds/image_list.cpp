// SPDX-License-Identifier: MIT
#include "scene/kinds/image_list.h"

#include <algorithm>
#include <cstdlib>

#include "graphics/image_cache.h"

namespace nova {
TCustomDIBX* TNovaImageData::Surface() const {
  if (brightness_ != 0 && copy_)
    return copy_.get();
  return &frame_->surface;
}

bool TNovaImageData::IsAdjustedCopy(const TCustomDIBX* s) const {
  return copy_ && s == copy_.get();
}

TCustomDIBX* TNovaImageData::Mask() const { return frame_->mask.get(); }
int32_t TNovaImageData::KeyColor() const { return frame_->key_color; }
int32_t TNovaImageData::DisplayTime() const { return frame_->display_time; }
const std::vector<TRect>& TNovaImageData::VisibleRegions() const { return frame_->visible_regions; }

void TNovaImageData::SetBrightness(int32_t b) {
  if (b == brightness_)
    return;
  brightness_ = b;
  if (b != 0)
    BuildCopy();
}

void TNovaImageData::BuildCopy() {
  TDIBX& src = frame_->surface;
  if (src.IsEmpty())
    return;
  if (!copy_)
    copy_ = std::make_unique<TDIBX>(src.Width(), src.Height(), src.BitCount());
  if (copy_->Width() != src.Width() || copy_->Height() != src.Height() ||
      copy_->BitCount() != src.BitCount())
    copy_->SetSize(src.Width(), src.Height(), src.BitCount());
  // Any brightness is allowed; beyond 255 the saturating add and subtract change nothing more.
  const int32_t g = static_cast<int32_t>(std::min<int64_t>(std::abs(int64_t{brightness_}), 255));
  const TPixel grey = static_cast<TPixel>(copy_->ColorToPixel(g | (g << 8) | (g << 16)));
  const TRect one{0, 0, 1, 1};
  auto adjust = [&](const TRect& r) {
    if (brightness_ > 0)
      copy_->FillRectAdd(r, grey);
    else
      copy_->FillRectSub(r, grey);
  };
  // The key goes through the same arithmetic so keyed pixels stay transparent.
  int32_t key = -1;
  if (src.TransparentColor() != -1) {
    copy_->ResetClip();
    copy_->SetPixel(0, 0, static_cast<TPixel>(src.TransparentColor()));
    adjust(one);
    key = static_cast<int32_t>(copy_->GetPixel(0, 0));
  }
  copy_->ResetClip();
  copy_->Draw(0, 0, FlipNone, TKeyMode::Ignore, src.Bounds(), src);
  adjust(copy_->Bounds());
  copy_->SetTransparentColor(key);
}

void TNovaImageData::ReleaseCopy() { copy_.reset(); }

void TNovaImageData::RestoreCopy() {
  if (brightness_ != 0)
    BuildCopy();
}

void TNovaImageList::Load(TWispCollection* cache, const void* user, const std::string& file) {
  Clear();
  if (!cache || file.empty())
    return;
  item_ = cache->Get(user, file);
  cache_ = cache;
  user_ = user;
  file_ = file;
  for (int i = 0; i < item_->Count(); ++i)
    frames_.push_back(std::make_unique<TNovaImageData>(item_->Frame(i)));
}

void TNovaImageList::Clear() {
  frames_.clear();
  if (item_ && cache_)
    cache_->Release(user_, item_);
  cache_ = nullptr;
  item_ = nullptr;
  user_ = nullptr;
  file_.clear();
  current = 0;
  countdown = 0;
}

TNovaImageData* TNovaImageList::Frame(int i) const {
  if (i < 0 || i >= Count())
    return nullptr;
  return frames_[static_cast<size_t>(i)].get();
}

void TNovaImageList::ReleaseSurfaces() {
  for (auto& f : frames_)
    f->ReleaseCopy();
}

void TNovaImageList::RestoreSurfaces() {
  for (auto& f : frames_)
    f->RestoreCopy();
}

TImageItemHold::~TImageItemHold() {
  if (item_ && cache_)
    cache_->Release(user_, item_);
}

void TImageItemHold::Hold(TWispCollection* cache, const void* user, const std::string& file) {
  if (item_ || !cache || file.empty())
    return;
  item_ = cache->Get(user, file);
  cache_ = cache;
  user_ = user;
}

} // namespace nova
