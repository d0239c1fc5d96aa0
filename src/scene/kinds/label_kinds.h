// SPDX-License-Identifier: MIT
// Captions: the text caption drawn with the platform font into its own picture, and the
// caption drawn from a sheet of glyph cells.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "graphics/dibx.h"
#include "scene/kinds/image_list.h"
#include "scene/nova_control.h"

namespace nova {

// Splits text at CR LF, LF or CR; a final line break adds no line.
std::vector<std::string> SplitCaptionLines(const std::string& text);
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

class TNovaLabel : public TNovaControl {
public:
  explicit TNovaLabel(TNovaBaseList* owner);
  uint8_t GetKind() const override { return LT_LABEL; }
  bool IsPaused() const override { return paused_ != 0; }
  const std::string& IdleHandler() const override { return idle_handler_; }
  int32_t ZoomX() const override;
  int32_t ZoomY() const override;
  bool FlipH() const override { return flip_h_ != 0; }
  bool FlipV() const override { return flip_v_ != 0; }
  long double FloatZoomX() const { return zoom_x_; }
  long double FloatZoomY() const { return zoom_y_; }
  void SetFloatZoomX(long double z);
  void SetFloatZoomY(long double z);
  long double Angle() const { return angle_; }
  void SetAngle(long double radians);
  // The angle in 1/255 turns, rounded.
  int32_t AngleSteps() const;
  void SetFlipH(bool v);
  void SetFlipV(bool v);
  void Draw() override;
  TSceneRect GetHitRect() const override;
  const std::vector<std::string>& Lines() const { return lines_; }
  int32_t TextWidth() const { return text_width_; }
  int32_t TextHeight() const { return text_height_; }
  // Inked area of each line inside the text picture (empty for lines without ink).
  const std::vector<TSceneRect>& LineRects() const { return line_rects_; }
  const TDIBX* TextMask() const { return mask_.get(); }
  bool Rotated() const;

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;
  bool AutoScrap() const override { return auto_scrap_ != 0; }
  const std::string& PlayEndHandler() const override { return play_end_handler_; }

private:
  // Measures the lines, sizes the component and renders the text picture.
  void Render();
  // Draws the glyphs into pictures of `bit_count` bits; false when no font is available.
  bool Paint(int bit_count);
  void SetSource(const std::string& source);
  template <class T> void Change(T& field, T value);

  std::vector<std::string> lines_;
  std::string font_name_;
  int32_t font_height_ = 12, line_space_ = 0;
  uint8_t font_style_ = 0;
  std::unique_ptr<TDIBX> text_, mask_;
  int32_t text_width_ = 0, text_height_ = 0;
  std::vector<TSceneRect> line_rects_;
  int32_t alpha_ = 255, font_color_ = 0;
  uint8_t align_ = 0, antialias_ = 0, flip_h_ = 0, flip_v_ = 0;
  long double angle_ = 0, zoom_x_ = 1.0L, zoom_y_ = 1.0L;
  std::string idle_handler_, source_;
  uint8_t repeat_ = 0, auto_scrap_ = 0;
  std::string play_end_handler_;
  uint8_t paused_ = 0;
};

class TNovaCGLabel : public TNovaControl {
public:
  explicit TNovaCGLabel(TNovaBaseList* owner) : TNovaControl(owner) {}
  uint8_t GetKind() const override { return LT_CGLABEL; }
  bool IsPaused() const override { return paused_ != 0; }
  const std::string& IdleHandler() const override { return idle_handler_; }
  void Draw() override;
  bool Update() override;
  const std::vector<std::vector<int32_t>>& GlyphLines() const { return glyph_lines_; }

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;

private:
  // The picture of the glyph sheet's current frame, null when none is loaded.
  const TCustomDIBX* CurrentGlyphSheet() const;
  void SetSource(const std::string& source);
  void RebuildGlyphs();
  void Resize();

  std::string source_;
  TNovaImageList sheet_;
  std::string text_, map_text_;
  int32_t glyph_width_ = 1, glyph_height_ = 1, line_space_ = 0;
  uint8_t paused_ = 0, align_ = 0;
  int32_t alpha_ = 255;
  std::string idle_handler_;
  std::vector<std::vector<int32_t>> glyph_lines_;
};

} // namespace nova
