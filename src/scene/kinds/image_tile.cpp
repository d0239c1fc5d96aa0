// SPDX-License-Identifier: MIT
// The repeating tile and its afterimage.
#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/serializer.h"
#include "graphics/dibx_custom.h"
#include "scene/component_factory.h"
#include "scene/kinds/custom_images.h"
#include "scene/nova_base_list.h"
#include "scene/private/surface_rect.h"

namespace nova {
namespace {

// A distance spaces the pattern when it is at least 1 and at least half the picture.
bool Spaced(int32_t distance, int32_t picture) { return distance >= 1 && distance >= picture / 2; }

// The pattern pitch: the distance when it applies, else the picture size.
int32_t Pitch(int32_t distance, int32_t picture) {
  return Spaced(distance, picture) ? distance : picture;
}

// v mod pitch, never negative.
int32_t Phase(int32_t v, int32_t pitch) {
  const int64_t m = int64_t{v} % pitch;
  return static_cast<int32_t>(m < 0 ? m + pitch : m);
}

} // namespace

void TNovaTile::SetSource(const std::string& file) {
  if (file == source_)
    return;
  Invalidate();
  source_ = file;
  frame_index_ = -1;
  SetSubstituteSurface(nullptr);
  substitute_mask_ = nullptr;
  own_surface_->SetSize(0, 0, 32);
  list_.Clear();
  FreeMotion();
  if (IsExtension(file, ".WSP"))
    list_.Load(ServicesOf(owner_).images.cache, this, file);
  else if (IsExtension(file, ".NMT"))
    StartMotion(file);
  if (list_.Count() > 0)
    SetIndex(0);
}

void TNovaTile::DrawRegionGrid(TCustomDIBX& target, const std::vector<TRect>& regions,
                               int32_t pitch_x, int32_t pitch_y) {
  const TSceneRect bounds = ScreenBounds();
  const TRect saved = target.StoredClip();
  const TRect clip = Intersect(ToSurfaceRect(bounds), target.ClipRect());
  target.ResetClip();
  target.AddClipRect(clip);
  const int32_t pw = GetSurface()->Width(), ph = GetSurface()->Height();
  const int32_t ox = Phase(scroll_x_, pitch_x), oy = Phase(scroll_y_, pitch_y);
  // Only the cells that reach into the clip are visited: a tile may be far larger than the
  // surface it draws on.
  auto first_cell = [](int64_t start, int64_t low, int64_t extent, int64_t pitch) {
    const int64_t short_by = low - extent + 1 - start;
    return short_by <= 0 ? start : start + (short_by + pitch - 1) / pitch * pitch;
  };
  if (!clip.IsEmpty()) {
    for (const TRect& r : regions) {
      const int64_t y0 = int64_t{flip_v_ ? ph + bounds.Top - r.Bottom : bounds.Top + r.Top} - oy;
      const int64_t x0 = int64_t{flip_h_ ? pw + bounds.Left - r.Right : bounds.Left + r.Left} - ox;
      for (int64_t y = first_cell(y0, clip.Top, r.Height(), pitch_y); y < clip.Bottom; y += pitch_y)
        for (int64_t x = first_cell(x0, clip.Left, r.Width(), pitch_x); x < clip.Right;
             x += pitch_x)
          PutPicture(target, static_cast<int32_t>(x), static_cast<int32_t>(y), r);
    }
  }
  target.SetStoredClip(saved);
}

void TNovaTile::DrawImage() {
  TCustomDIBX* pic = GetSurface();
  TCustomDIBX* target = GetTargetSurface();
  if (!pic || pic->IsEmpty() || !target || alpha_ <= 0 || width_ <= 0 || height_ <= 0 ||
      !(zoom_x_ > 0) || !(zoom_y_ > 0))
    return;
  if (pic->BitCount() != target->BitCount())
    return;
  TCustomDIBX* mask = GetMask();
  const TFlip flip = MakeFlip(flip_v_ != 0, flip_h_ != 0);
  const TKeyMode key = !mask && pic->TransparentColor() != -1 ? TKeyMode::Use : TKeyMode::Ignore;
  const int32_t pw = pic->Width(), ph = pic->Height();
  const int32_t pitch_x = Pitch(distance_x_, pw), pitch_y = Pitch(distance_y_, ph);
  const TRect dst = ToSurfaceRect(ScreenBounds());
  const double zx = static_cast<double>(zoom_x_), zy = static_cast<double>(zoom_y_);
  const bool unzoomed = zx == 1.0 && zy == 1.0;
  if (!Spaced(distance_x_, pw) && !Spaced(distance_y_, ph)) {
    if (unzoomed && key == TKeyMode::Ignore && !mask && alpha_ == 255)
      target->TileFill(dst, *pic, flip, scroll_y_, scroll_x_);
    else if (mask)
      target->TileFillZoomMask(dst, *pic, alpha_, flip, *mask, scroll_y_, scroll_x_, zy, zx);
    else
      target->TileFillZoom(dst, *pic, alpha_, flip, key, scroll_y_, scroll_x_, zy, zx);
    return;
  }
  const std::vector<TRect>* regions = VisibleRegions();
  if (regions && !regions->empty() && unzoomed) {
    DrawRegionGrid(*target, *regions, pitch_x, pitch_y);
    return;
  }
  const int h_gap = pitch_x - pw, v_gap = pitch_y - ph;
  const TRect src = pic->Bounds();
  if (!unzoomed) {
    if (mask)
      target->TileStretchDrawMask(dst, h_gap, scroll_y_, scroll_x_, alpha_, zy, zx, *mask, flip,
                                  src, *pic, v_gap);
    else
      target->TileStretchDraw(dst, h_gap, scroll_y_, scroll_x_, alpha_, zy, zx, flip, key, src,
                              *pic, v_gap);
    return;
  }
  switch (DrawModeOf(alpha_)) {
  case TImageDrawMode::None:
    return;
  case TImageDrawMode::Copy:
    if (mask)
      target->TileDrawMask(dst, h_gap, scroll_y_, scroll_x_, *mask, flip, src, *pic, v_gap);
    else
      target->TileDraw(dst, h_gap, scroll_y_, scroll_x_, flip, key, src, *pic, v_gap);
    return;
  case TImageDrawMode::Blend:
    if (mask)
      target->TileDrawMaskAlpha(dst, h_gap, scroll_y_, scroll_x_, alpha_, *mask, flip, src, *pic,
                                v_gap);
    else
      target->TileDrawAlpha(dst, h_gap, scroll_y_, scroll_x_, alpha_, flip, key, src, *pic, v_gap);
    return;
  case TImageDrawMode::Add:
    if (mask)
      target->TileDrawMaskAdd(dst, h_gap, scroll_y_, scroll_x_, alpha_ - 256, *mask, flip, src,
                              *pic, v_gap);
    else
      target->TileDrawAdd(dst, h_gap, scroll_y_, scroll_x_, alpha_ - 256, flip, key, src, *pic,
                          v_gap);
    return;
  }
}

const TPropTable& TNovaTile::Props() {
  using T = TNovaTile;
  using namespace props;
  static constexpr std::array kRows{
      Stored<&T::source_, &T::SetSource>(PR_SOURCE, peGeometry),
      // A tile always repeats its picture.
      Custom<T>(
          PR_REPEAT, peNone, [](const T&) { return TPropValue::Flag(true); }, nullptr),
      Field<&T::on_idle_>(PR_ONIDLE),
      Field<&T::scroll_x_, pePicture>(PR_SCROLLX),
      Field<&T::scroll_y_, pePicture>(PR_SCROLLY),
      Field<&T::distance_x_, pePicture>(PR_DISTANCEX),
      Field<&T::distance_y_, pePicture>(PR_DISTANCEY),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaCustomImages::Props, kRows);
  return kTable;
}

void TNovaTile::SyncKind(TSerializer& s) {
  TNovaCustomImages::SyncKind(s);
  const int32_t index = frame_index_, countdown = countdown_;
  std::string source = source_;
  s.I32(scroll_x_);
  s.I32(scroll_y_);
  s.String(source);
  s.String(on_idle_);
  s.I32(distance_x_);
  s.I32(distance_y_);
  if (s.Loading()) {
    frame_index_ = -1;
    SetSource(source);
    RestoreShownFrame(index, countdown);
  }
}

TNovaCustomImage* TNovaTile::NewAfterimage() {
  auto* blur = CreateComponent<TNovaBlurTile>(owner_);
  blur->Init(*this, SharedFrameFile());
  return blur;
}

void TNovaTile::InitAfterimage(TNovaCustomImage& blur) const {
  auto& tile = static_cast<TNovaTile&>(blur);
  tile.scroll_x_ = scroll_x_;
  tile.scroll_y_ = scroll_y_;
  tile.distance_x_ = distance_x_;
  tile.distance_y_ = distance_y_;
}

const TNovaControl* TNovaBlurTile::AfterimageSource() const {
  return owner_ && owner_->IsAlive(source_) ? source_ : nullptr;
}

TCustomDIBX* TNovaBlurTile::GetSurface() const {
  if (!AfterimageSource() && hold_.Empty())
    return nullptr;
  return TNovaCustomImage::GetSurface();
}

TCustomDIBX* TNovaBlurTile::GetMask() const {
  if (!AfterimageSource() && hold_.Empty())
    return nullptr;
  return TNovaCustomImage::GetMask();
}

void TNovaBlurTile::Init(TNovaCustomImage& source, const std::string& held_file) {
  source_ = &source;
  hold_.Hold(ServicesOf(owner_).images.cache, this, held_file);
  substitute_surface_ = CopyAdjustedPicture(source, *own_surface_) ? nullptr : source.GetSurface();
  substitute_mask_ = source.GetMask();
  life_.Start(source.Alpha(), source.BlurDelay());
  alpha_ = life_.start_alpha;
}

bool TNovaBlurTile::Update() { return TNovaCustomImage::Update() || !life_.Advance(*this); }

} // namespace nova
