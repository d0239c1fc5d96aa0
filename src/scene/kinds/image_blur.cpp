// SPDX-License-Identifier: MIT
// Afterimages of pictures, and the single-picture image of film frame lists.
#include <algorithm>
#include <cmath>

#include "base/run_state.h"
#include "graphics/dibx.h"
#include "graphics/image_cache.h"
#include "scene/kinds/custom_image.h"
#include "scene/kinds/custom_images.h"
#include "scene/nova_base_list.h"

namespace nova {
namespace {

// round(zoom × size), kept inside int32 whatever zoom a film gives.
int32_t ScaledSize(long double zoom, int32_t size) {
  const long double v = std::nearbyintl(zoom * size);
  if (!(v == v))
    return 0;
  return static_cast<int32_t>(std::clamp<long double>(v, INT32_MIN, INT32_MAX));
}

} // namespace

void TAfterimageLife::Start(int32_t source_alpha, int32_t lifetime_ms) {
  start_alpha = source_alpha / 256 * 256 + source_alpha % 256 / 2;
  lifetime = lifetime_ms;
  age = 0;
}

bool TAfterimageLife::Advance(TNovaCustomImage& image) {
  age += RunState().FrameDelta;
  if (age >= lifetime)
    return false;
  const long double fade = static_cast<long double>(age) / lifetime * (start_alpha % 256);
  image.SetAlpha(start_alpha - static_cast<int32_t>(std::nearbyintl(fade)));
  return true;
}

bool TNovaBlurImage::SourceAlive() const { return owner_ && owner_->IsAlive(source_); }

const TNovaControl* TNovaBlurImage::AfterimageSource() const {
  return SourceAlive() ? source_ : nullptr;
}

// A borrowed own surface of the source is drawn only while the source lives; a shared frame
// is kept alive by the hold.
TCustomDIBX* TNovaBlurImage::GetSurface() const {
  if (!shared_frame_ && !SourceAlive())
    return nullptr;
  return TNovaCustomImage::GetSurface();
}

TCustomDIBX* TNovaBlurImage::GetMask() const {
  if (!shared_frame_ && !SourceAlive())
    return nullptr;
  return TNovaCustomImage::GetMask();
}

void TNovaBlurImage::Init(TNovaCustomImage& source, const std::string& held_file) {
  source_ = &source;
  hold_.Hold(ServicesOf(owner_).images.cache, this, held_file);
  shared_frame_ = !hold_.Empty();
  source_own_surface_ = &source.OwnSurface();
  substitute_surface_ = CopyAdjustedPicture(source, *own_surface_) ? nullptr : source.GetSurface();
  substitute_mask_ = source.GetMask();
  life_.Start(source.Alpha(), source.BlurDelay());
  alpha_ = life_.start_alpha;
}

bool TNovaBlurImage::Update() { return TNovaCustomImage::Update() || !life_.Advance(*this); }

void TNovaImage::SetSource(const std::string& file) {
  source_ = file;
  Rebuild();
}

void TNovaImage::SetBrightness(int32_t b) {
  b = std::clamp(b, 0, 255);
  if (b == brightness_)
    return;
  brightness_ = b;
  Rebuild();
}

void TNovaImage::RestoreSurfaces() {
  TNovaCustomImage::RestoreSurfaces();
  if (!source_.empty())
    Rebuild();
}

void TNovaImage::Rebuild() {
  Invalidate();
  TWispCollection* cache = ServicesOf(owner_).images.cache;
  if (!cache || source_.empty())
    return;
  TWispItem* item = cache->Get(this, source_);
  TWispItemFrame& frame = item->Frame(0);
  TDIBX& own = *own_surface_;
  own.SetSize(frame.surface.Width(), frame.surface.Height(), frame.surface.BitCount());
  own.ResetClip();
  own.Draw(0, 0, FlipNone, TKeyMode::Ignore, frame.surface.Bounds(), frame.surface);
  int32_t key = frame.surface.TransparentColor();
  if (brightness_ < 255 && !own.IsEmpty()) {
    const int32_t g = 255 - brightness_;
    const TPixel grey = static_cast<TPixel>(own.ColorToPixel(g | (g << 8) | (g << 16)));
    if (key != -1) {
      // The key goes through the same subtraction so keyed pixels stay transparent.
      const TPixel first = own.GetPixel(0, 0);
      own.SetPixel(0, 0, static_cast<TPixel>(key));
      own.FillRectSub(TRect{0, 0, 1, 1}, grey);
      key = static_cast<int32_t>(own.GetPixel(0, 0));
      own.SetPixel(0, 0, first);
    }
    own.FillRectSub(own.Bounds(), grey);
  }
  own.SetTransparentColor(key);
  key_color_ = frame.key_color;
  if (frame.mask) {
    auto mask = std::make_unique<TDIBX>(frame.mask->Width(), frame.mask->Height(), 8);
    mask->Draw(0, 0, FlipNone, TKeyMode::Ignore, frame.mask->Bounds(), *frame.mask);
    SetOwnMask(std::move(mask));
  } else {
    SetOwnMask(nullptr);
  }
  width_ = ScaledSize(zoom_x_, frame.surface.Width());
  height_ = ScaledSize(zoom_y_, frame.surface.Height());
  cache->Release(this, item);
  Invalidate();
}

} // namespace nova
