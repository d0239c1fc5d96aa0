// SPDX-License-Identifier: MIT
// Picture, properties, geometry and persistence of image components.
#include "scene/kinds/custom_image.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/run_state.h"
#include "base/serializer.h"
#include "graphics/dibx.h"
#include "scene/component_factory.h"
#include "scene/kinds/rotated_extent.h"
#include "scene/nova_base.h"
#include "scene/nova_base_list.h"
#include "scene/prop_groups.h"

namespace nova {
namespace {

constexpr long double kTurn = 2 * std::numbers::pi_v<long double>;

int32_t Clamp32(long double v) {
  if (!(v == v))
    return 0;
  return static_cast<int32_t>(std::clamp<long double>(v, INT32_MIN, INT32_MAX));
}

int32_t Round32(long double v) { return Clamp32(std::nearbyintl(v)); }

// Saved reals that are not finite come from damaged data; the default stands in.
long double Finite(long double v, long double fallback) { return std::isfinite(v) ? v : fallback; }

} // namespace

TImageDrawMode DrawModeOf(int32_t alpha) {
  if (alpha < 1)
    return TImageDrawMode::None;
  if (alpha < 255)
    return TImageDrawMode::Blend;
  if (alpha == 255)
    return TImageDrawMode::Copy;
  return TImageDrawMode::Add;
}

TNovaCustomImage::TNovaCustomImage(TNovaBaseList* owner)
    : TNovaControl(owner), own_surface_(std::make_unique<TDIBX>()) {}

TNovaCustomImage::~TNovaCustomImage() = default;

TCustomDIBX* TNovaCustomImage::GetSurface() const {
  return substitute_surface_ ? substitute_surface_ : own_surface_.get();
}

TCustomDIBX* TNovaCustomImage::GetMask() const {
  return substitute_mask_ ? substitute_mask_ : own_mask_.get();
}

void TNovaCustomImage::SetSubstituteSurface(TCustomDIBX* s) {
  if (s == substitute_surface_)
    return;
  Invalidate();
  substitute_surface_ = s;
  Invalidate();
}

void TNovaCustomImage::SetOwnMask(std::unique_ptr<TDIBX> mask) { own_mask_ = std::move(mask); }

const std::string& TNovaCustomImage::SourceName() const {
  static const std::string none;
  return none;
}

const std::string& TNovaCustomImage::SharedFrameFile() const {
  static const std::string none;
  return none;
}

void TNovaCustomImage::SetAlpha(int32_t a) {
  if (a == alpha_)
    return;
  alpha_ = a;
  Invalidate();
}

int32_t TNovaCustomImage::ZoomX() const { return Clamp32(std::truncl(zoom_x_ * 256)); }
int32_t TNovaCustomImage::ZoomY() const { return Clamp32(std::truncl(zoom_y_ * 256)); }

void TNovaCustomImage::MarkPosZoomedChildren() {
  for (TNovaControl* c : children_) {
    auto* image = dynamic_cast<TNovaCustomImage*>(c);
    if (image && image->pos_zoomed_)
      image->size_dirty_ = 1;
  }
}

void TNovaCustomImage::SetZoom(long double& field, long double z) {
  if (z == field)
    return;
  Invalidate();
  field = z;
  PlacementChanged();
  size_dirty_ = 1;
  MarkPosZoomedChildren();
}

void TNovaCustomImage::SetFloatZoomX(long double z) { SetZoom(zoom_x_, z); }
void TNovaCustomImage::SetFloatZoomY(long double z) { SetZoom(zoom_y_, z); }

void TNovaCustomImage::SetAngle(long double radians) {
  if (radians == angle_)
    return;
  Invalidate();
  angle_ = radians;
  Invalidate();
}

int32_t TNovaCustomImage::AngleSteps() const { return Clamp32(std::truncl(angle_ / kTurn * 255)); }

void TNovaCustomImage::SetFlipH(bool v) {
  if (flip_h_ == (v ? 1 : 0))
    return;
  Invalidate();
  flip_h_ = v ? 1 : 0;
  SizeFromZoom();
  Invalidate();
}

void TNovaCustomImage::SetFlipV(bool v) {
  if (flip_v_ == (v ? 1 : 0))
    return;
  Invalidate();
  flip_v_ = v ? 1 : 0;
  SizeFromZoom();
  Invalidate();
}

bool TNovaCustomImage::ImageSurfaceSize(int32_t& w, int32_t& h) const {
  TCustomDIBX* s = GetSurface();
  if (!s || s->IsEmpty())
    return false;
  w = s->Width();
  h = s->Height();
  return true;
}

void TNovaCustomImage::SetWidth(int32_t v) {
  TNovaControl::SetWidth(v);
  if (SizeFollowsZoom()) {
    zoom_x_ = 0;
    PlacementChanged();
  }
}

void TNovaCustomImage::SetHeight(int32_t v) {
  TNovaControl::SetHeight(v);
  if (SizeFollowsZoom()) {
    zoom_y_ = 0;
    PlacementChanged();
  }
}

void TNovaCustomImage::SizeFromZoom() {
  if (!SizeFollowsZoom())
    return;
  int32_t w = 0, h = 0;
  int32_t pw = 0, ph = 0;
  const bool has_picture = ImageSurfaceSize(pw, ph);
  if (!SourceName().empty() || substitute_surface_) {
    // An axis whose size a script set (zoom 0) keeps that size: the picture is stretched to it.
    w = zoom_x_ == 0 ? width_ : std::max(1, Round32(pw * zoom_x_));
    h = zoom_y_ == 0 ? height_ : std::max(1, Round32(ph * zoom_y_));
    // A child that keeps its place in its parent's picture takes the parent's pixel scale.
    int32_t ppw = 0, pph = 0;
    if (pos_zoomed_ && parent_ && !parent_->IsLayer() && has_picture && !motion_ &&
        parent_->ImageSurfaceSize(ppw, pph)) {
      auto scaled = [](int64_t parent_pic, int64_t parent_size, int64_t a, int64_t own) {
        int64_t ratio = 1;
        if (parent_size != 0)
          ratio = std::max<int64_t>(1, static_cast<int64_t>(std::clamp(
                                           std::trunc(static_cast<double>(parent_pic) /
                                                      static_cast<double>(parent_size) * 65536.0),
                                           -4e18, 4e18)));
        int64_t start = a * 65536 / ratio;
        if (a * 65536 % ratio > 32767)
          ++start;
        int64_t end = (a + own) * 65536 / ratio;
        if ((a + own) * 65536 % ratio != 0)
          ++end;
        return static_cast<int32_t>(std::clamp<int64_t>(end - start, INT32_MIN, INT32_MAX));
      };
      if (ZoomX() == parent_->ZoomX()) {
        const int64_t a =
            flip_h_ ? int64_t{ppw} + anchor_x_ - left_ - pw : int64_t{left_} - anchor_x_;
        w = scaled(ppw, parent_->GetWidth(), a, pw);
      }
      if (ZoomY() == parent_->ZoomY()) {
        const int64_t a =
            flip_v_ ? int64_t{pph} + anchor_y_ - top_ - ph : int64_t{top_} - anchor_y_;
        h = scaled(pph, parent_->GetHeight(), a, ph);
      }
    }
  }
  if (w == width_ && h == height_)
    return;
  Invalidate();
  width_ = w;
  height_ = h;
  Invalidate();
}

bool TNovaCustomImage::HasRotation() const {
  return std::isfinite(angle_) && std::fmod(angle_, kTurn) != 0;
}

void TNovaCustomImage::GetAnchorInfo(int32_t& sx, int32_t& sy, int32_t& px, int32_t& py) const {
  int64_t x = motion_ ? motion_x_ : pos_zoomed_ ? Round32(zoom_x_ * left_) : left_;
  int64_t y = motion_ ? motion_y_ : pos_zoomed_ ? Round32(zoom_y_ * top_) : top_;
  x += plus_x_;
  y += plus_y_;
  if (parent_) {
    x += int64_t{parent_->ScreenLeft()} - parent_->ScrollX();
    y += int64_t{parent_->ScreenTop()} - parent_->ScrollY();
  }
  sx = Clamp32(x);
  sy = Clamp32(y);
  px = anchor_x_;
  py = anchor_y_;
  int32_t pw = 0, ph = 0;
  if (ImageSurfaceSize(pw, ph)) {
    // In 64 bits: a damaged anchor may sit at the ends of the 32-bit range.
    if (flip_h_)
      px = Clamp32(int64_t{pw} - 1 - anchor_x_);
    if (flip_v_)
      py = Clamp32(int64_t{ph} - 1 - anchor_y_);
  }
}

namespace {

// The scale a picture is drawn at: its zoom, or the stretch to its size when the size was set.
long double EffectiveZoom(long double zoom, int32_t size, int32_t picture) {
  if (zoom != 0 || picture <= 0)
    return zoom;
  return static_cast<long double>(size) / picture;
}

} // namespace

TSceneRect TNovaCustomImage::RotatedBounds() const {
  int32_t pw = 1, ph = 1;
  if (!ImageSurfaceSize(pw, ph))
    pw = ph = 1;
  int32_t sx, sy, px, py;
  GetAnchorInfo(sx, sy, px, py);
  const long double zx = EffectiveZoom(zoom_x_, width_, pw);
  const long double zy = EffectiveZoom(zoom_y_, height_, ph);
  const long double c = std::cos(angle_), s = std::sin(angle_);
  // Corners in 64 bits: a damaged anchor may sit at the ends of the 32-bit range.
  const TRotatedExtent e = RotatedExtent((-int64_t{px}) * zx, (int64_t{pw} - px) * zx,
                                         (-int64_t{py}) * zy, (int64_t{ph} - py) * zy, c, s);
  const long double x0 = e.min_x + sx, x1 = e.max_x + sx, y0 = e.min_y + sy, y1 = e.max_y + sy;
  // One pixel more on each side covers the rounding of the rotated draw.
  return TSceneRect{Clamp32(std::floor(x0) - 1), Clamp32(std::floor(y0) - 1),
                    Clamp32(std::ceil(x1) + 1), Clamp32(std::ceil(y1) + 1)};
}

TSceneRect TNovaCustomImage::GetHitRect() const {
  return HasRotation() ? RotatedBounds() : ScreenBounds();
}

void TNovaCustomImage::InvalidateRect(TSceneRect r) {
  if (!Visible())
    return;
  TNovaBase* layer = GetBase();
  if (!layer)
    return;
  if (parent_) {
    r = r.Intersect(parent_->GetHitRect());
    if (r.Empty())
      return;
  }
  const TSceneRect clip = ScreenClip();
  if (!clip.Empty()) {
    r = r.Intersect(clip);
    if (r.Empty())
      return;
  }
  ContentChanged(r);
  layer->AddDirtyRect(r);
}

void TNovaCustomImage::Invalidate() {
  // A kind may have changed its picture, size or zoom just before.
  PlacementChanged();
  TCustomDIBX* s = GetSurface();
  if (!s || s->IsEmpty())
    return;
  InvalidateRect(GetHitRect());
}

void TNovaCustomImage::Draw() {
  BeforeDrawImage();
  DrawImage();
  AfterDrawImage();
  DrawChildren();
}

bool TNovaCustomImage::MaskHit(int32_t x, int32_t y) const {
  TCustomDIBX* mask = GetMask();
  int32_t pw = 0, ph = 0;
  if (!mask || !ImageSurfaceSize(pw, ph))
    return false;
  const long double zx = EffectiveZoom(zoom_x_, width_, pw);
  const long double zy = EffectiveZoom(zoom_y_, height_, ph);
  if (zx == 0 || zy == 0)
    return false;
  int32_t ix = Round32((int64_t{x} - ScreenLeft()) / zx);
  int32_t iy = Round32((int64_t{y} - ScreenTop()) / zy);
  if (flip_h_)
    ix = pw - 1 - ix;
  if (flip_v_)
    iy = ph - 1 - iy;
  if (ix < 0 || iy < 0 || ix >= mask->Width() || iy >= mask->Height())
    return false;
  return mask->GetPixel(ix, iy) >= 128;
}

TNovaControl* TNovaCustomImage::HitTest(int32_t x, int32_t y, uint32_t accept_set) {
  if (!Visible() || !GetHitRect().Contains(x, y))
    return nullptr;
  for (auto it = children_.rbegin(); it != children_.rend(); ++it)
    if (TNovaControl* hit = (*it)->HitTest(x, y, accept_set))
      return hit;
  if (ignore_mouse_ >= 32 || !(accept_set & (1u << ignore_mouse_)))
    return nullptr;
  const bool by_mask = capture_mask_ && GetMask();
  if (!HasRotation())
    return !by_mask || MaskHit(x, y) ? this : nullptr;
  int32_t ax, ay, px, py;
  GetAnchorInfo(ax, ay, px, py);
  const long double t = -angle_, c = std::cos(t), s = std::sin(t);
  const long double dx = int64_t{x} - ax, dy = int64_t{y} - ay;
  const int32_t rx = Round32(dx * c - dy * s + ax);
  const int32_t ry = Round32(dx * s + dy * c + ay);
  if (!ScreenBounds().Contains(rx, ry))
    return nullptr;
  return !by_mask || MaskHit(rx, ry) ? this : nullptr;
}

void TNovaCustomImage::RecordBlurValues() {
  last_index_ = CurrentIndex();
  last_left_ = left_;
  last_top_ = top_;
  last_angle_ = angle_;
  last_zoom_x_ = zoom_x_;
  last_zoom_y_ = zoom_y_;
  last_scroll_x_ = TileScrollX();
  last_scroll_y_ = TileScrollY();
}

bool TNovaCustomImage::Update() {
  const bool done = TNovaControl::Update();
  if (size_dirty_) {
    size_dirty_ = 0;
    Invalidate();
    SizeFromZoom();
    Invalidate();
  }
  if (blur_span_ > 0 && blur_delay_ > 0) {
    blur_clock_ += RunState().FrameDelta;
    if (blur_clock_ >= blur_span_) {
      blur_clock_ = 0;
      MakeAfterimage();
    }
  }
  return done;
}

void TNovaCustomImage::MakeAfterimage() {
  if (left_ == last_left_ && top_ == last_top_ && CurrentIndex() == last_index_ &&
      angle_ == last_angle_ && zoom_x_ == last_zoom_x_ && zoom_y_ == last_zoom_y_ &&
      TileScrollX() == last_scroll_x_ && TileScrollY() == last_scroll_y_)
    return;
  TCustomDIBX* s = GetSurface();
  if (!s || s->IsEmpty())
    return;
  TNovaCustomImage* blur = NewAfterimage();
  blur->SetNameRaw(owner_ ? owner_->UniqueName(name_) : name_);
  blur->SetParent(parent_);
  blur->SetPriority(priority_ - 1);
  blur->left_ = motion_ ? motion_x_ : left_;
  blur->top_ = motion_ ? motion_y_ : top_;
  blur->width_ = width_;
  blur->height_ = height_;
  blur->anchor_x_ = anchor_x_;
  blur->anchor_y_ = anchor_y_;
  blur->plus_x_ = plus_x_;
  blur->plus_y_ = plus_y_;
  blur->angle_ = angle_;
  blur->zoom_x_ = zoom_x_;
  blur->zoom_y_ = zoom_y_;
  blur->flip_h_ = flip_h_;
  blur->flip_v_ = flip_v_;
  blur->clip_left_ = clip_left_;
  blur->clip_top_ = clip_top_;
  blur->clip_width_ = clip_width_;
  blur->clip_height_ = clip_height_;
  blur->key_color_ = key_color_;
  InitAfterimage(*blur);
  blur->Invalidate();
  RecordBlurValues();
}

TNovaCustomImage* TNovaCustomImage::NewAfterimage() {
  auto* blur = CreateComponent<TNovaBlurImage>(owner_);
  blur->Init(*this, SharedFrameFile());
  return blur;
}

void TNovaCustomImage::ReleaseSurfaces() { own_surface_->SetSize(0, 0, 32); }

void TNovaCustomImage::RestoreSurfaces() {
  own_surface_->SetSize(1, 1, owner_ ? owner_->ScreenBitCount() : 32);
}

const TPropTable& TNovaCustomImage::Props() {
  using T = TNovaCustomImage;
  using namespace props;
  static constexpr auto kRows =
      JoinRows(TransformRows<T>(), std::array{
                                       Access<&T::Alpha, &T::SetAlpha>(PR_ALPHA, pePicture),
                                       Flag<&T::antialias_, pePicture>(PR_ANTIALIAS),
                                       Flag<&T::capture_mask_>(PR_CAPTUREMASK),
                                       Custom<T>(
                                           PR_BLURSPAN, peNone,
                                           [](const T& o) { return TPropValue::Int(o.blur_span_); },
                                           [](T& o, const TPropValue& v) {
                                             if (v.i == o.blur_span_)
                                               return;
                                             o.blur_span_ = v.i;
                                             o.blur_clock_ = 0;
                                             o.RecordBlurValues();
                                           }),
                                       Field<&T::blur_delay_>(PR_BLURDELAY),
                                       Field<&T::index_>(PR_INDEX),
                                       Custom<T>(
                                           PR_ORIGWIDTH, peNone,
                                           [](const T& o) {
                                             int32_t w = 0, h = 0;
                                             o.ImageSurfaceSize(w, h);
                                             return TPropValue::Int(w);
                                           },
                                           nullptr),
                                       Custom<T>(
                                           PR_ORIGHEIGHT, peNone,
                                           [](const T& o) {
                                             int32_t w = 0, h = 0;
                                             o.ImageSurfaceSize(w, h);
                                             return TPropValue::Int(h);
                                           },
                                           nullptr),
                                       // Children placed by this picture's scale follow a change.
                                       Custom<T>(PR_POSZOOMED, peGeometry, nullptr,
                                                 [](T& o, const TPropValue& v) {
                                                   if (o.pos_zoomed_ == (v.f ? 1 : 0))
                                                     return;
                                                   o.SetPosZoomed(v.f);
                                                   o.size_dirty_ = 1;
                                                   o.MarkPosZoomedChildren();
                                                 }),
                                   });
  static constexpr TPropTable kTable = MakePropTable(&TNovaControl::Props, kRows);
  return kTable;
}

void TNovaCustomImage::SyncKind(TSerializer& s) {
  s.I32(alpha_);
  if (s.Has(Since{143})) {
    s.Extended(zoom_x_);
    s.Extended(angle_);
    s.U8(antialias_);
  } else {
    // Older data: the zoom in 256ths, the angle in 255ths of a turn.
    zoom_x_ = s.Reader().I32() / 256.0L;
    angle_ = s.Reader().I32() / 255.0L * kTurn;
  }
  s.U8(flip_h_);
  s.U8(flip_v_);
  s.U8(capture_mask_);
  if (s.Has(Since{143}))
    s.Extended(zoom_y_);
  else
    zoom_y_ = s.Has(Since{104}) ? s.Reader().I32() / 256.0L : 1.0L;
  s.I32(blur_span_, Since{140});
  s.I32(blur_delay_, Since{140});
  if (s.Loading()) {
    zoom_x_ = Finite(zoom_x_, 1.0L);
    angle_ = Finite(angle_, 0);
    zoom_y_ = Finite(zoom_y_, 1.0L);
    RecordBlurValues();
  }
}

} // namespace nova
