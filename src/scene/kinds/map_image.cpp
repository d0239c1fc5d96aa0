// SPDX-License-Identifier: MIT
#include "scene/kinds/map_image.h"

#include <algorithm>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/run_state.h"
#include "base/serializer.h"
#include "scene/kinds/custom_image.h"
#include "scene/kinds/frame_run.h"
#include "scene/nova_base.h"
#include "scene/scene_host.h"

namespace nova {
namespace {

constexpr int kEnter = 13, kSpace = 32, kEscape = 27;
constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40;

// Coordinates from map files and scripts may lie anywhere in the int32 range.
int32_t Offset(int32_t a, int64_t b) {
  return static_cast<int32_t>(std::clamp<int64_t>(a + b, INT32_MIN, INT32_MAX));
}

// The frame's own transparency as 8 bits: its alpha mask, else its key colour, else opaque.
std::unique_ptr<TDIBX> OwnMaskOf(TNovaImageData& frame, TCustomDIBX& pic) {
  auto m = std::make_unique<TDIBX>(pic.Width(), pic.Height(), 8);
  TCustomDIBX* mask = frame.Mask();
  const bool same = mask && mask->Width() == pic.Width() && mask->Height() == pic.Height();
  const int32_t key = pic.TransparentColor();
  for (int y = 0; y < pic.Height(); ++y) {
    uint8_t* row = m->PixelAddress(0, y);
    for (int x = 0; x < pic.Width(); ++x) {
      if (same)
        row[x] = static_cast<uint8_t>(mask->GetPixel(x, y));
      else
        row[x] = key != -1 && static_cast<int32_t>(pic.GetPixel(x, y)) == key ? 0 : 255;
    }
  }
  return m;
}

} // namespace

TNovaMapImage::TNovaMapImage(TNovaBaseList* owner) : TSelectionKind(owner) {}
TNovaMapImage::~TNovaMapImage() = default;

void TNovaMapImage::LoadPicture(TPicture& p, const std::string& file) {
  p.file = file;
  p.masks.clear();
  p.list.Clear();
  if (!file.empty())
    p.list.Load(ServicesOf(owner_).images.cache, this, file);
  SetFrameIndex(p.list, 0);
  p.masks.resize(static_cast<size_t>(p.list.Count()));
}

void TNovaMapImage::SetMapSource(const std::string& file) {
  if (file == map_source_)
    return;
  map_source_ = file;
  hover_ = -1;
  areas_.clear();
  if (file.empty() || !owner_ || !owner_->Host())
    return;
  if (std::optional<std::vector<uint8_t>> bytes = owner_->Host()->ReadTitleFile(file))
    areas_ = ReadMapFile(*bytes, file);
}

int32_t TNovaMapImage::AreaAt(int32_t x, int32_t y) const {
  for (size_t i = 0; i < areas_.size(); ++i)
    if (areas_[i].Contains(x, y))
      return static_cast<int32_t>(i);
  return -1;
}

void TNovaMapImage::ReportArea(int32_t i) {
  if (i < 0 || i >= AreaCount() || !Visible())
    return;
  if (TNovaBase* layer = GetBase()) {
    const TSceneRect b = areas_[static_cast<size_t>(i)].Bounds();
    layer->AddDirtyRect(
        TSceneRect::FromSize(ScreenLeft() + b.Left, ScreenTop() + b.Top, b.Width(), b.Height()));
  }
}

void TNovaMapImage::SetHoverArea(int32_t i) {
  if (i == hover_)
    return;
  if (hover_ >= 0 && !on_map_out_.empty())
    QueueEvent(PR_ONMAPOUT, on_map_out_, {Area(hover_).name, std::to_string(hover_)});
  ReportArea(hover_);
  hover_ = i;
  SetFrameIndex(hover_pic_.list, 0);
  ReportArea(hover_);
  if (i >= 0 && i < AreaCount() && !on_map_in_.empty())
    QueueEvent(PR_ONMAPIN, on_map_in_, {Area(i).name, std::to_string(i)});
}

void TNovaMapImage::SelectArea() {
  if (hover_ < 0 || hover_ >= AreaCount())
    return;
  const std::string& name = Area(hover_).name;
  SetSelection(owner_, name, hover_);
  if (!EventsSuppressed())
    Raise(PR_ONSELECT, on_select_, {name, std::to_string(hover_)}, true);
  if (auto_scrap_) {
    phase_ = 100;
    closing_ = 1;
  }
}

void TNovaMapImage::Cancel() {
  SetSelection(owner_, std::string(), -1);
  phase_ = 100;
}

bool TNovaMapImage::TakeRightClick() {
  if (EventsSuppressed() || (ignore_mouse_ != IM_NONE && ignore_mouse_ != IM_LCLICK))
    return false;
  closing_ = 1;
  Cancel();
  return true;
}

bool TNovaMapImage::Update() {
  const bool done = TNovaControl::Update();
  if (phase_ == 100) {
    closing_ = 1;
    phase_ = 101;
    return done;
  }
  if (phase_ == 101)
    return true;
  if (!ani_paused_) {
    const int32_t elapsed = RunState().FrameDelta;
    if (AdvanceFrames(source_.list, elapsed))
      Invalidate();
    if (hover_ >= 0 && AdvanceFrames(hover_pic_.list, elapsed))
      ReportArea(hover_);
  }
  return done;
}

void TNovaMapImage::DrawPicture(TPicture& p, bool inside) {
  TNovaImageData* frame = p.list.Frame(p.list.current);
  TCustomDIBX* target = GetTargetSurface();
  if (!frame || !target)
    return;
  frame->SetBrightness(brightness_);
  TCustomDIBX* pic = frame->Surface();
  if (!pic || pic->IsEmpty() || pic->BitCount() != target->BitCount())
    return;
  TFrameMask& m = p.masks[static_cast<size_t>(p.list.current)];
  if (!m.own)
    m.own = OwnMaskOf(*frame, *pic);
  if (!m.drawing || m.built_for != hover_) {
    m.drawing = std::make_unique<TDIBX>(pic->Width(), pic->Height(), 8);
    const TMapArea* area = hover_ >= 0 && hover_ < AreaCount() ? &Area(hover_) : nullptr;
    for (int y = 0; y < pic->Height(); ++y) {
      const uint8_t* own = m.own->PixelAddress(0, y);
      uint8_t* row = m.drawing->PixelAddress(0, y);
      for (int x = 0; x < pic->Width(); ++x) {
        const bool in_area = area && area->Contains(x, y);
        row[x] = in_area == inside ? own[x] : 0;
      }
    }
    m.built_for = hover_;
  }
  const int32_t x = ScreenLeft(), y = ScreenTop();
  switch (DrawModeOf(alpha_)) {
  case TImageDrawMode::None:
    return;
  case TImageDrawMode::Blend:
    target->DrawMaskAlpha(x, y, alpha_, *m.drawing, FlipNone, pic->Bounds(), *pic);
    return;
  case TImageDrawMode::Copy:
    target->DrawMask(x, y, *m.drawing, FlipNone, pic->Bounds(), *pic);
    return;
  case TImageDrawMode::Add:
    target->DrawMaskAdd(x, y, alpha_ - 256, *m.drawing, FlipNone, pic->Bounds(), *pic);
    return;
  }
}

void TNovaMapImage::Draw() {
  DrawPicture(source_, false);
  if (hover_ >= 0)
    DrawPicture(hover_pic_, true);
  DrawChildren();
}

void TNovaMapImage::MouseMove() {
  if (!EventsSuppressed())
    if (TNovaBase* layer = GetBase())
      SetHoverArea(AreaAt(Offset(layer->pointer_x, -int64_t{ScreenLeft()}),
                          Offset(layer->pointer_y, -int64_t{ScreenTop()})));
  TNovaControl::MouseMove();
}

void TNovaMapImage::MouseOut(TNovaControl* next) {
  SetHoverArea(-1);
  TNovaControl::MouseOut(next);
}

void TNovaMapImage::LButtonDown() {
  if (EventsSuppressed())
    return;
  if ((ignore_mouse_ == IM_NONE || ignore_mouse_ == IM_RCLICK) && !paused_ && hover_ >= 0)
    SelectArea();
  TNovaControl::LButtonDown();
}

void TNovaMapImage::KeyRepeatEvent(const std::vector<std::string>& keys) {
  if (!EventsSuppressed() && owner_) {
    const int32_t n = AreaCount();
    const TNovaBaseList& l = *owner_;
    if (n > 0 && (l.KeyRepeatBefore(kUp) || l.KeyRepeatBefore(kLeft)))
      SetHoverArea(hover_ <= 0 ? n - 1 : hover_ - 1);
    else if (n > 0 && (l.KeyRepeatBefore(kDown) || l.KeyRepeatBefore(kRight)))
      SetHoverArea(hover_ < 0 || hover_ >= n - 1 ? 0 : hover_ + 1);
    else if ((l.KeyClickedBefore(kEnter) || l.KeyClickedBefore(kSpace)) && hover_ >= 0)
      SelectArea();
    else if (l.KeyClickedBefore(kEscape) && rclick_scrap_)
      Cancel();
  }
  TNovaControl::KeyRepeatEvent(keys);
}

void TNovaMapImage::ReleaseSurfaces() {
  source_.list.ReleaseSurfaces();
  hover_pic_.list.ReleaseSurfaces();
}

void TNovaMapImage::RestoreSurfaces() {
  source_.list.RestoreSurfaces();
  hover_pic_.list.RestoreSurfaces();
  for (TPicture* p : {&source_, &hover_pic_})
    for (TFrameMask& m : p->masks)
      m = TFrameMask{};
}

const TPropTable& TNovaMapImage::Props() {
  using T = TNovaMapImage;
  using namespace props;
  static constexpr std::array kRows{
      Custom<T>(
          PR_SOURCE, peGeometry, [](const T& o) { return TPropValue::Str(o.source_.file); },
          [](T& o, const TPropValue& v) {
            if (v.s == o.source_.file)
              return;
            o.Invalidate();
            o.LoadPicture(o.source_, v.s);
            TNovaImageData* f = o.source_.list.Frame(0);
            TCustomDIBX* s = f ? f->Surface() : nullptr;
            o.SetBounds(o.left_, o.top_, s ? s->Width() : 0, s ? s->Height() : 0);
          }),
      Custom<T>(
          PR_HOVERSOURCE, pePicture, [](const T& o) { return TPropValue::Str(o.hover_pic_.file); },
          [](T& o, const TPropValue& v) {
            if (v.s == o.hover_pic_.file)
              return;
            o.LoadPicture(o.hover_pic_, v.s);
            o.ReportArea(o.hover_);
          }),
      Stored<&T::map_source_, &T::SetMapSource>(PR_MAPSOURCE, peNone),
      Field<&T::alpha_, pePicture>(PR_ALPHA),
      Field<&T::brightness_, pePicture>(PR_BRIGHTNESS),
      Flag<&T::auto_scrap_>(PR_AUTOSCRAP),
      Flag<&T::rclick_scrap_>(PR_RCLICKSCRAP),
      Flag<&T::paused_>(PR_PAUSED),
      Custom<T>(
          PR_REPEAT, peNone, [](const T&) { return TPropValue::Flag(true); }, nullptr),
      Field<&T::on_select_>(PR_ONSELECT),
      Field<&T::on_map_in_>(PR_ONMAPIN),
      Field<&T::on_map_out_>(PR_ONMAPOUT),
      Field<&T::on_idle_>(PR_ONIDLE),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaControl::Props, kRows);
  return kTable;
}

void TNovaMapImage::SyncKind(TSerializer& s) {
  std::string source = source_.file, hover = hover_pic_.file, map = map_source_;
  s.String(source);
  s.String(hover);
  s.String(map);
  s.I32(alpha_);
  s.I32(brightness_);
  s.String(on_map_in_);
  s.String(on_map_out_);
  s.U8(auto_scrap_);
  s.U8(rclick_scrap_);
  s.String(on_idle_, Since{104});
  s.U8(paused_, Since{104});
  s.String(on_select_, Since{104});
  s.I32(phase_, Since{115});
  if (s.Saving())
    return;
  closing_ = phase_ >= 100 ? 1 : 0;
  WriteProp(PR_SOURCE, TPropValue::Str(source));
  WriteProp(PR_HOVERSOURCE, TPropValue::Str(hover));
  SetMapSource(map);
}

} // namespace nova
