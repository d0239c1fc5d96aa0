// SPDX-License-Identifier: MIT
#include "scene/kinds/label_kinds.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/run_state.h"
#include "base/serializer.h"
#include "base/sjis.h"
#include "scene/kinds/picture_fill.h"
#include "scene/kinds/rotated_extent.h"
#include "scene/nova_base_list.h"
#include "scene/prop_groups.h"
#include "text/font_pixel_manager.h"

namespace nova {
namespace {

// The point of the text picture a turned caption turns about: its anchor, mirrored with the
// picture, as for pictures.
int32_t PivotOf(bool flipped, int32_t size, int32_t anchor) {
  const int64_t p = flipped ? int64_t{size} - 1 - anchor : anchor;
  return static_cast<int32_t>(std::clamp<int64_t>(p, INT32_MIN, INT32_MAX));
}

constexpr long double kTurn = 2 * std::numbers::pi_v<long double>;

const std::string& DefaultFontName() {
  static const std::string name = Utf8ToSjis("ＭＳ Ｐゴシック");
  return name;
}

// The face an empty font name renders with.
const std::string& FallbackFontName() {
  static const std::string name = Utf8ToSjis("ＭＳ ゴシック");
  return name;
}

int32_t RoundClamped(long double v) {
  if (!std::isfinite(v))
    return 0;
  return static_cast<int32_t>(std::clamp<long double>(std::nearbyint(v), INT32_MIN, INT32_MAX));
}

long double Finite(long double v, long double fallback) { return std::isfinite(v) ? v : fallback; }

bool IsMotionFilm(const std::string& name) {
  return name.size() >= 4 && SameTextJ(name.substr(name.size() - 4), ".nmt");
}

// Character codes of a line: lead * 256 + trail for double-byte characters.
std::vector<uint16_t> CodesOf(const std::string& line) {
  std::vector<uint16_t> codes;
  for (size_t i = 0; i < line.size();) {
    const size_t n = CharBytes(line, i);
    codes.push_back(CharCodeAt(line, i));
    i += std::max<size_t>(n, 1);
  }
  return codes;
}

// The largest text picture a caption renders.
constexpr int64_t kMaxTextPixels = int64_t{1} << 24;

// Glyphs are requested at one of two qualities only.
constexpr int kSmoothLevel = 3;

} // namespace

std::vector<std::string> SplitCaptionLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos)
      end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
      ++start;
  }
  return lines;
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i)
      out += "\r\n";
    out += lines[i];
  }
  return out;
}

TNovaLabel::TNovaLabel(TNovaBaseList* owner) : TNovaControl(owner), font_name_(DefaultFontName()) {}

int32_t TNovaLabel::ZoomX() const { return RoundClamped(zoom_x_ * 256); }
int32_t TNovaLabel::ZoomY() const { return RoundClamped(zoom_y_ * 256); }

bool TNovaLabel::Rotated() const { return std::isfinite(angle_) && std::fmod(angle_, kTurn) != 0; }

void TNovaLabel::SetFloatZoomX(long double z) { Change(zoom_x_, Finite(z, zoom_x_)); }
void TNovaLabel::SetFloatZoomY(long double z) { Change(zoom_y_, Finite(z, zoom_y_)); }

void TNovaLabel::SetAngle(long double radians) {
  Invalidate();
  angle_ = Finite(radians, angle_);
  Invalidate();
}

int32_t TNovaLabel::AngleSteps() const { return RoundClamped(angle_ / kTurn * 255); }

void TNovaLabel::SetFlipH(bool v) {
  Invalidate();
  flip_h_ = v ? 1 : 0;
  Invalidate();
}

void TNovaLabel::SetFlipV(bool v) {
  Invalidate();
  flip_v_ = v ? 1 : 0;
  Invalidate();
}

template <class T> void TNovaLabel::Change(T& field, T value) {
  if (field == value)
    return;
  field = value;
  // Zoom and text set the size and the anchor's place.
  PlacementChanged();
  Render();
}

void TNovaLabel::Render() {
  TFontPixelManager& fonts = FontPixels();
  fonts.SetLevel(antialias_ ? kSmoothLevel : 0);
  const std::string& face = font_name_.empty() ? FallbackFontName() : font_name_;
  const int size = std::clamp(font_height_, 1, 1000);
  int64_t widest = 0;
  try {
    for (const std::string& line : lines_) {
      int64_t w = 0;
      for (uint16_t code : CodesOf(line))
        w += fonts.Metrics(code, face, font_style_, size).Total();
      widest = std::max(widest, w);
    }
  } catch (const ENovaError&) {
    // No face at all: the caption keeps its text and shows nothing.
    widest = 0;
  }
  text_width_ = static_cast<int32_t>(std::min<int64_t>(widest, 1 << 15));
  const int64_t height =
      (int64_t{font_height_} + line_space_) * static_cast<int64_t>(lines_.size());
  text_height_ = static_cast<int32_t>(std::clamp<int64_t>(height, 0, 1 << 15));
  SetBounds(left_, top_, RoundClamped(zoom_x_ * text_width_), RoundClamped(zoom_y_ * text_height_));
  text_.reset();
  mask_.reset();
  line_rects_.assign(lines_.size(), TSceneRect{});
  // A picture larger than any screen would only cost memory: the caption then shows nothing.
  if (text_width_ > 0 && text_height_ > 0 &&
      int64_t{text_width_} * text_height_ <= kMaxTextPixels) {
    const TCustomDIBX* target = GetTargetSurface();
    Paint(target && !target->IsEmpty() ? target->BitCount() : 32);
  }
  Invalidate();
}

bool TNovaLabel::Paint(int bit_count) {
  text_ = std::make_unique<TDIBX>(text_width_, text_height_, bit_count);
  text_->Clear(static_cast<TPixel>(text_->ColorToPixel(font_color_)));
  mask_ = std::make_unique<TDIBX>(text_width_, text_height_, 8);
  mask_->Clear(0);
  TFontPixelManager& fonts = FontPixels();
  fonts.SetLevel(antialias_ ? kSmoothLevel : 0);
  const std::string& face = font_name_.empty() ? FallbackFontName() : font_name_;
  const int size = std::clamp(font_height_, 1, 1000);
  // Lines outside the picture draw nothing: extreme sizes are capped before they multiply.
  const int64_t pitch =
      std::clamp<int64_t>(int64_t{font_height_} + line_space_, -(1 << 15), 1 << 15);
  try {
    for (size_t li = 0; li < lines_.size(); ++li) {
      const std::vector<uint16_t> codes = CodesOf(lines_[li]);
      int32_t line_width = 0;
      for (uint16_t code : codes)
        line_width += fonts.Metrics(code, face, font_style_, size).Total();
      int32_t pen = 0;
      if (align_ == HA_CENTER)
        pen = (text_width_ - line_width) / 2;
      else if (align_ == HA_RIGHT)
        pen = text_width_ - line_width;
      const int32_t y0 = static_cast<int32_t>(
          std::clamp<int64_t>(static_cast<int64_t>(li) * pitch, -(1 << 20), 1 << 20));
      TSceneRect ink{};
      for (uint16_t code : codes) {
        const TFontPixel& g = fonts.GetGlyph(code, face, font_style_, size);
        const int32_t gx = pen + g.x_offset, gy = y0 + g.y_offset;
        for (int y = 0; y < g.height; ++y) {
          if (gy + y < 0 || gy + y >= text_height_)
            continue;
          for (int x = 0; x < g.width; ++x) {
            if (gx + x < 0 || gx + x >= text_width_)
              continue;
            const uint8_t q = g.bitmap[static_cast<size_t>(y) * g.width + x];
            uint8_t* p = mask_->PixelAddress(gx + x, gy + y);
            if (p && q > *p)
              *p = q;
          }
        }
        if (!g.Empty()) {
          const TSceneRect r =
              TSceneRect::FromSize(gx, gy, g.width, g.height)
                  .Intersect(TSceneRect::FromSize(0, 0, text_width_, text_height_));
          if (!r.Empty())
            ink = ink.Empty() ? r : ink.Union(r);
        }
        pen += g.Advance();
      }
      line_rects_[li] = ink;
    }
  } catch (const ENovaError&) {
    return false;
  }
  return true;
}

void TNovaLabel::Draw() {
  if (lines_.empty() || alpha_ == 0)
    return;
  TCustomDIBX* target = GetTargetSurface();
  if (target && text_ && mask_ && text_->BitCount() != target->BitCount())
    Paint(target->BitCount());
  if (target && text_ && mask_ && text_->BitCount() == target->BitCount()) {
    const TFlip flip = MakeFlip(flip_v_ != 0, flip_h_ != 0);
    if (Rotated()) {
      int32_t sx, sy;
      AnchorOnScreen(sx, sy);
      const int32_t px = PivotOf(flip_h_ != 0, text_width_, anchor_x_);
      const int32_t py = PivotOf(flip_v_ != 0, text_height_, anchor_y_);
      target->DrawRotateMask(sx, sy, alpha_, *mask_, flip, static_cast<double>(angle_), py, px,
                             text_->Bounds(), *text_, static_cast<double>(zoom_y_),
                             static_cast<double>(zoom_x_));
    } else if (width_ == text_width_ && height_ == text_height_) {
      const int32_t x0 = ScreenLeft(), y0 = ScreenTop();
      const TPixel color = static_cast<TPixel>(target->ColorToPixel(font_color_));
      for (const TSceneRect& r : line_rects_) {
        if (r.Empty())
          continue;
        const TRect src = SurfaceRectOf(r.Left, r.Top, r.Right, r.Bottom);
        if (alpha_ >= 256)
          target->DrawMaskAdd(x0 + r.Left, y0 + r.Top, alpha_ - 256, *mask_, FlipNone, src, *text_);
        else
          target->DrawColorMask(x0 + r.Left, y0 + r.Top, alpha_, color, FlipNone, src, *mask_);
      }
    } else if (width_ > 0 && height_ > 0) {
      const TSceneRect b = ScreenBounds();
      const TRect dst = SurfaceRectOf(b.Left, b.Top, b.Right, b.Bottom);
      if (alpha_ >= 256)
        target->StretchDrawMaskAdd(dst, *text_, alpha_ - 256, *mask_, flip, text_->Bounds());
      else
        target->StretchDrawMaskAlpha(dst, *text_, alpha_, *mask_, flip, text_->Bounds());
    }
  }
  DrawChildren();
}

TSceneRect TNovaLabel::GetHitRect() const {
  if (!Rotated())
    return ScreenBounds();
  // The bounding rectangle of the turned picture about its anchor.
  int32_t sx, sy;
  AnchorOnScreen(sx, sy);
  const long double c = std::cos(angle_), s = std::sin(angle_);
  const long double px = PivotOf(flip_h_ != 0, text_width_, anchor_x_);
  const long double py = PivotOf(flip_v_ != 0, text_height_, anchor_y_);
  const TRotatedExtent e = RotatedExtent(-px * zoom_x_, (text_width_ - px) * zoom_x_, -py * zoom_y_,
                                         (text_height_ - py) * zoom_y_, c, s);
  // One pixel more on each side covers the rounding of the rotated draw.
  return {RoundClamped(sx + std::floor(e.min_x) - 1), RoundClamped(sy + std::floor(e.min_y) - 1),
          RoundClamped(sx + std::ceil(e.max_x) + 1), RoundClamped(sy + std::ceil(e.max_y) + 1)};
}

void TNovaLabel::SetSource(const std::string& source) {
  source_ = source;
  if (IsMotionFilm(source))
    StartMotion(source);
}

const TPropTable& TNovaLabel::Props() {
  using T = TNovaLabel;
  using namespace props;
  static constexpr auto kRows = JoinRows(
      TransformRows<T>(),
      std::array{
          Stored<&T::source_, &T::SetSource>(PR_SOURCE, peGeometry),
          Field<&T::alpha_, pePicture>(PR_ALPHA),
          // Font and text changes measure and render the caption again.
          Custom<T>(
              PR_FONTNAME, peGeometry, [](const T& o) { return TPropValue::Str(o.font_name_); },
              [](T& o, const TPropValue& v) { o.Change(o.font_name_, v.s); }),
          Custom<T>(
              PR_FONTHEIGHT, peGeometry, [](const T& o) { return TPropValue::Int(o.font_height_); },
              [](T& o, const TPropValue& v) { o.Change(o.font_height_, v.i); }),
          Custom<T>(
              PR_FONTSTYLE, peGeometry, [](const T& o) { return TPropValue::Int(o.font_style_); },
              [](T& o, const TPropValue& v) {
                o.Change(o.font_style_, static_cast<uint8_t>(v.i & 0x0F));
              }),
          Custom<T>(
              PR_LINESPACE, peGeometry, [](const T& o) { return TPropValue::Int(o.line_space_); },
              [](T& o, const TPropValue& v) { o.Change(o.line_space_, v.i); }),
          Custom<T>(
              PR_FONTCOLOR, pePicture, [](const T& o) { return TPropValue::Int(o.font_color_); },
              [](T& o, const TPropValue& v) {
                if (v.i == o.font_color_)
                  return;
                o.font_color_ = v.i;
                if (o.text_)
                  o.text_->Clear(static_cast<TPixel>(o.text_->ColorToPixel(o.font_color_)));
                o.Invalidate();
              }),
          Custom<T>(
              PR_ANTIALIAS, pePicture,
              [](const T& o) { return TPropValue::Flag(o.antialias_ != 0); },
              [](T& o, const TPropValue& v) {
                o.Change(o.antialias_, static_cast<uint8_t>(v.f ? 1 : 0));
              }),
          Flag<&T::paused_>(PR_PAUSED),
          Flag<&T::repeat_>(PR_REPEAT),
          Field<&T::play_end_handler_>(PR_ONPLAYEND),
          Custom<T>(
              PR_TEXT, peGeometry,
              [](const T& o) { return TPropValue::Str(JoinLinesCrLf(o.lines_)); },
              [](T& o, const TPropValue& v) { o.Change(o.lines_, SplitCaptionLines(v.s)); }),
          Custom<T>(
              PR_HALIGN, pePicture, [](const T& o) { return TPropValue::Int(o.align_); },
              [](T& o, const TPropValue& v) { o.Change(o.align_, static_cast<uint8_t>(v.i)); }),
          Flag<&T::auto_scrap_>(PR_AUTOSCRAP),
          Field<&T::idle_handler_>(PR_ONIDLE),
      });
  static constexpr TPropTable kTable = MakePropTable(&TNovaControl::Props, kRows);
  return kTable;
}

void TNovaLabel::SyncKind(TSerializer& s) {
  s.String(font_name_);
  s.I32(font_height_);
  s.I32(line_space_);
  s.U8(font_style_);
  s.I32(alpha_);
  s.I32(font_color_);
  s.U8(align_);
  s.Flag(antialias_);
  s.Flag(flip_h_);
  s.Flag(flip_v_);
  if (s.Has(Since{143})) {
    s.Extended(angle_);
    s.Extended(zoom_x_);
  } else {
    // Older data: the angle in 255ths of a turn, the zoom in 256ths.
    angle_ = s.Reader().I32() / 255.0L * kTurn;
    zoom_x_ = s.Reader().I32() / 256.0L;
  }
  std::string text = s.Saving() ? JoinLinesCrLf(lines_) : std::string();
  s.String(text);
  std::string source = source_;
  if (s.Has(Since{104})) {
    s.String(idle_handler_);
    s.String(source);
    s.Flag(repeat_);
    s.Flag(auto_scrap_);
    s.String(play_end_handler_);
    s.Flag(paused_);
    if (s.Has(Since{143}))
      s.Extended(zoom_y_);
    else
      zoom_y_ = s.Reader().I32() / 256.0L;
  }
  if (s.Saving())
    return;
  font_style_ &= 0x0F;
  angle_ = Finite(angle_, 0);
  zoom_x_ = Finite(zoom_x_, 1.0L);
  if (s.Has(Since{104})) {
    zoom_y_ = Finite(zoom_y_, 1.0L);
    SetSource(source);
  } else {
    zoom_y_ = zoom_x_;
  }
  lines_ = SplitCaptionLines(text);
  if (!lines_.empty())
    Render();
}

void TNovaCGLabel::SetSource(const std::string& source) {
  source_ = source;
  sheet_.Load(ServicesOf(owner_).images.cache, this, source);
  sheet_.current = 0;
  sheet_.countdown = 0;
  if (TNovaImageData* f = sheet_.Frame(0))
    sheet_.countdown = f->DisplayTime();
  Invalidate();
}

void TNovaCGLabel::RebuildGlyphs() {
  glyph_lines_.clear();
  for (const std::string& line : SplitCaptionLines(text_)) {
    std::vector<int32_t> cells;
    for (size_t i = 0; i < line.size();) {
      const size_t n = std::max<size_t>(CharBytes(line, i), 1);
      const std::string ch = line.substr(i, n);
      int32_t cell = -1;
      int32_t index = 0;
      for (size_t j = 0; j < map_text_.size(); ++index) {
        const size_t m = std::max<size_t>(CharBytes(map_text_, j), 1);
        if (map_text_.compare(j, m, ch) == 0) {
          cell = index;
          break;
        }
        j += m;
      }
      cells.push_back(cell);
      i += n;
    }
    glyph_lines_.push_back(std::move(cells));
  }
  Resize();
}

void TNovaCGLabel::Resize() {
  size_t longest = 0;
  for (const auto& line : glyph_lines_)
    longest = std::max(longest, line.size());
  const int64_t lines = static_cast<int64_t>(glyph_lines_.size());
  const int64_t w = static_cast<int64_t>(longest) * glyph_width_;
  int64_t h = lines * glyph_height_;
  if (lines > 1)
    h += int64_t{line_space_} * (lines - 1);
  Invalidate();
  width_ = static_cast<int32_t>(std::clamp<int64_t>(w, 0, INT32_MAX));
  height_ = static_cast<int32_t>(std::clamp<int64_t>(h, 0, INT32_MAX));
  Invalidate();
}

void TNovaCGLabel::Draw() {
  TNovaImageData* frame = sheet_.Frame(sheet_.current);
  TCustomDIBX* target = GetTargetSurface();
  TCustomDIBX* sheet = frame ? frame->Surface() : nullptr;
  if (width_ > 0 && height_ > 0 && sheet && target && alpha_ > 0) {
    const int32_t columns = sheet->Width() / glyph_width_;
    if (columns >= 1) {
      const int64_t cells = int64_t{sheet->Height() / glyph_height_} * columns;
      int64_t y = ScreenTop();
      for (const auto& line : glyph_lines_) {
        const int64_t used = static_cast<int64_t>(line.size()) * glyph_width_;
        int64_t x = ScreenLeft();
        if (align_ == HA_CENTER)
          x += (width_ - used) / 2;
        else if (align_ == HA_RIGHT)
          x += width_ - used;
        for (int32_t c : line) {
          if (c >= 0 && c < cells && x >= INT32_MIN && x <= INT32_MAX && y >= INT32_MIN &&
              y <= INT32_MAX) {
            const int32_t sx = c % columns * glyph_width_, sy = c / columns * glyph_height_;
            PutFrameCell(*target, static_cast<int32_t>(x), static_cast<int32_t>(y), alpha_,
                         FlipNone, SurfaceRectOf(sx, sy, sx + glyph_width_, sy + glyph_height_),
                         *frame);
          }
          x += glyph_width_;
        }
        y += int64_t{glyph_height_} + line_space_;
      }
    }
  }
  DrawChildren();
}

bool TNovaCGLabel::Update() {
  const bool done = TNovaControl::Update();
  if (!ani_paused_ && sheet_.Count() > 1) {
    sheet_.countdown -= RunState().FrameDelta;
    bool advanced = false;
    // A frame without display time stays; one advance per frame at most per display time.
    for (int guard = 0; sheet_.countdown <= 0 && guard < sheet_.Count(); ++guard) {
      sheet_.current = (sheet_.current + 1) % sheet_.Count();
      const int32_t t = sheet_.Frame(sheet_.current)->DisplayTime();
      advanced = true;
      if (t <= 0) {
        sheet_.countdown = 0;
        break;
      }
      sheet_.countdown += t;
    }
    if (advanced)
      Invalidate();
  }
  return done;
}

const TCustomDIBX* TNovaCGLabel::CurrentGlyphSheet() const {
  const TNovaImageData* f = sheet_.Frame(sheet_.current);
  return f ? f->Surface() : nullptr;
}

const TPropTable& TNovaCGLabel::Props() {
  using T = TNovaCGLabel;
  using namespace props;
  static constexpr std::array kRows{
      Stored<&T::source_, &T::SetSource>(PR_SOURCE, peGeometry),
      Custom<T>(
          PR_TEXT, peGeometry, [](const T& o) { return TPropValue::Str(o.text_); },
          [](T& o, const TPropValue& v) {
            o.text_ = v.s;
            o.RebuildGlyphs();
          }),
      Custom<T>(
          PR_MAPTEXT, peGeometry, [](const T& o) { return TPropValue::Str(o.map_text_); },
          [](T& o, const TPropValue& v) {
            o.map_text_ = v.s;
            o.RebuildGlyphs();
          }),
      Custom<T>(
          PR_GLYPHWIDTH, peGeometry, [](const T& o) { return TPropValue::Int(o.glyph_width_); },
          [](T& o, const TPropValue& v) {
            o.glyph_width_ = std::max(1, v.i);
            o.Resize();
          }),
      Custom<T>(
          PR_GLYPHHEIGHT, peGeometry, [](const T& o) { return TPropValue::Int(o.glyph_height_); },
          [](T& o, const TPropValue& v) {
            o.glyph_height_ = std::max(1, v.i);
            o.Resize();
          }),
      Custom<T>(
          PR_LINESPACE, peGeometry, [](const T& o) { return TPropValue::Int(o.line_space_); },
          [](T& o, const TPropValue& v) {
            o.line_space_ = v.i;
            o.Resize();
          }),
      Flag<&T::paused_>(PR_PAUSED),
      Custom<T>(
          PR_HALIGN, pePicture, [](const T& o) { return TPropValue::Int(o.align_); },
          [](T& o, const TPropValue& v) {
            o.align_ = static_cast<uint8_t>(v.i);
            o.Invalidate();
          }),
      Custom<T>(
          PR_ALPHA, pePicture, [](const T& o) { return TPropValue::Int(o.alpha_); },
          [](T& o, const TPropValue& v) {
            o.alpha_ = v.i;
            o.Invalidate();
          }),
      Field<&T::idle_handler_>(PR_ONIDLE),
      Custom<T>(
          PR_ORIGWIDTH, peNone,
          [](const T& o) {
            const TCustomDIBX* s = o.CurrentGlyphSheet();
            return TPropValue::Int(s ? s->Width() : 0);
          },
          nullptr),
      Custom<T>(
          PR_ORIGHEIGHT, peNone,
          [](const T& o) {
            const TCustomDIBX* s = o.CurrentGlyphSheet();
            return TPropValue::Int(s ? s->Height() : 0);
          },
          nullptr),
      Custom<T>(
          PR_PLAYING, peNone,
          [](const T& o) { return TPropValue::Flag(!o.paused_ && !o.ani_paused_); }, nullptr),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaControl::Props, kRows);
  return kTable;
}

void TNovaCGLabel::SyncKind(TSerializer& s) {
  std::string source = source_;
  s.String(source);
  s.String(text_);
  s.String(map_text_);
  s.I32(glyph_width_);
  s.I32(glyph_height_);
  s.I32(line_space_);
  s.Flag(paused_);
  s.U8(align_);
  s.I32(alpha_);
  s.String(idle_handler_, Since{125});
  if (s.Saving())
    return;
  glyph_width_ = std::max(1, glyph_width_);
  glyph_height_ = std::max(1, glyph_height_);
  SetSource(source);
  RebuildGlyphs();
}

} // namespace nova
