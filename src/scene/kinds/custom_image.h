// SPDX-License-Identifier: MIT
// The picture-holding control: draws its picture with zoom, rotation, mirroring and one of the
// three blending modes, hit-tests through its alpha mask and leaves fading afterimages.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "graphics/dibx.h"
#include "scene/kinds/image_list.h"
#include "scene/nova_control.h"

namespace nova {

// How a picture is put down, chosen by its alpha: 0 nothing, 1-254 blend, 255 copy, 256 and
// above add with strength alpha - 256.
enum class TImageDrawMode : uint8_t { None, Blend, Copy, Add };
TImageDrawMode DrawModeOf(int32_t alpha);

class TNovaCustomImage;

// The fading of an afterimage: half the source's opacity (same drawing mode) down to nothing
// over the lifetime.
struct TAfterimageLife {
  int32_t lifetime = 0, age = 0, start_alpha = 0;
  void Start(int32_t source_alpha, int32_t lifetime_ms);
  // One frame older; false when the lifetime is over, else the image takes the faded opacity.
  bool Advance(TNovaCustomImage& image);
};

class TNovaCustomImage : public TNovaControl {
public:
  ~TNovaCustomImage() override;

  // The picture: the borrowed surface when set, else the own surface.
  virtual TCustomDIBX* GetSurface() const;
  virtual TCustomDIBX* GetMask() const;
  TDIBX& OwnSurface() { return *own_surface_; }
  void SetSubstituteSurface(TCustomDIBX* s);
  void SetSubstituteMask(TCustomDIBX* m) { substitute_mask_ = m; }
  void SetOwnMask(std::unique_ptr<TDIBX> mask);
  int32_t KeyColor() const { return key_color_; }
  void SetKeyColor(int32_t c) { key_color_ = c; }

  int32_t Alpha() const { return alpha_; }
  void SetAlpha(int32_t a);
  long double FloatZoomX() const { return zoom_x_; }
  long double FloatZoomY() const { return zoom_y_; }
  void SetFloatZoomX(long double z);
  void SetFloatZoomY(long double z);
  long double Angle() const { return angle_; }
  void SetAngle(long double radians);
  // The angle in 1/255 turns, truncated.
  int32_t AngleSteps() const;
  int32_t BlurDelay() const { return blur_delay_; }
  void SetFlipH(bool v);
  void SetFlipV(bool v);

  int32_t ZoomX() const override;
  int32_t ZoomY() const override;
  bool FlipH() const override { return flip_h_ != 0; }
  bool FlipV() const override { return flip_v_ != 0; }
  bool ImageSurfaceSize(int32_t& w, int32_t& h) const override;
  void SetWidth(int32_t v) override;
  void SetHeight(int32_t v) override;

  TSceneRect GetHitRect() const override;
  void Invalidate() override;
  void Draw() override;
  TNovaControl* HitTest(int32_t x, int32_t y, uint32_t accept_set) override;
  bool Update() override;
  void ReleaseSurfaces() override;
  void RestoreSurfaces() override;

  // True when width and height are derived from the zoom (no motion attached; never tiles).
  virtual bool SizeFollowsZoom() const { return !motion_; }
  // Width and height from the picture size and the zoom.
  void SizeFromZoom();
  void SetSizeDirty() { size_dirty_ = 1; }
  // The anchor's screen point and the anchor inside the picture.
  void GetAnchorInfo(int32_t& sx, int32_t& sy, int32_t& px, int32_t& py) const;
  bool HasRotation() const;

protected:
  explicit TNovaCustomImage(TNovaBaseList* owner);

  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;

  virtual void DrawImage();
  virtual void BeforeDrawImage() {}
  virtual void AfterDrawImage() {}
  // The source file name; a picture without one and without a borrowed surface has no size.
  virtual const std::string& SourceName() const;
  // The visible regions of the picture shown (empty: the whole picture).
  virtual const std::vector<TRect>* VisibleRegions() const { return nullptr; }
  virtual int32_t CurrentIndex() const { return index_; }
  // The cached file whose frame is borrowed as the picture, empty when none is.
  virtual const std::string& SharedFrameFile() const;
  virtual int32_t TileScrollX() const { return 0; }
  virtual int32_t TileScrollY() const { return 0; }
  // Creates the afterimage for this picture (a blur image; tiles make blur tiles).
  virtual TNovaCustomImage* NewAfterimage();
  // Copies what an afterimage of this kind takes over beyond the common values.
  virtual void InitAfterimage(TNovaCustomImage& blur) const {}
  void RecordBlurValues();
  void InvalidateRect(TSceneRect r);
  // Puts the picture down at (x, y) by the drawing mode, without stretching.
  void PutPicture(TCustomDIBX& target, int32_t x, int32_t y, const TRect& src_rect);

  int32_t key_color_ = -1;
  std::unique_ptr<TDIBX> own_surface_;
  TCustomDIBX* substitute_surface_ = nullptr;
  std::unique_ptr<TDIBX> own_mask_;
  TCustomDIBX* substitute_mask_ = nullptr;
  int32_t alpha_ = 255;
  long double zoom_x_ = 1.0L, zoom_y_ = 1.0L;
  long double angle_ = 0;
  uint8_t flip_h_ = 0, flip_v_ = 0;
  uint8_t capture_mask_ = 0;
  uint8_t size_dirty_ = 0;
  int32_t index_ = 0;
  int32_t blur_span_ = 0, blur_delay_ = 0;
  int32_t blur_clock_ = 0;
  int32_t last_index_ = 0, last_left_ = 0, last_scroll_x_ = 0, last_scroll_y_ = 0;
  long double last_angle_ = 0;
  int32_t last_top_ = 0;
  long double last_zoom_x_ = 1.0L, last_zoom_y_ = 1.0L;
  uint8_t antialias_ = 0;

private:
  void SetZoom(long double& field, long double z);
  void MarkPosZoomedChildren();
  void MakeAfterimage();
  TSceneRect RotatedBounds() const;
  bool MaskHit(int32_t x, int32_t y) const;
  void DrawRegions(TCustomDIBX& target, const std::vector<TRect>& regions);
};

// An afterimage of a picture: draws what its source showed, fading out over its lifetime.
class TNovaBlurImage : public TNovaCustomImage {
public:
  explicit TNovaBlurImage(TNovaBaseList* owner) : TNovaCustomImage(owner) {}
  bool IsAfterimage() const override { return true; }
  int32_t AlphaForOrder() const override { return alpha_; }
  const TNovaControl* AfterimageSource() const override;
  bool Update() override;
  // Takes the source's picture, half its opacity and the lifetime.
  void Init(TNovaCustomImage& source, const std::string& held_file);

protected:
  bool SizeFollowsZoom() const override { return false; }

public:
  TCustomDIBX* GetSurface() const override;
  TCustomDIBX* GetMask() const override;

private:
  bool SourceAlive() const;
  TNovaCustomImage* source_ = nullptr;
  TCustomDIBX* source_own_surface_ = nullptr;
  bool shared_frame_ = false;
  TImageItemHold hold_;
  TAfterimageLife life_;
};

// The single picture that film frame lists create: a copy of the first frame of its source,
// darkened below brightness 255.
class TNovaImage : public TNovaCustomImage {
public:
  explicit TNovaImage(TNovaBaseList* owner) : TNovaCustomImage(owner) {}
  void SetSource(const std::string& file);
  void SetBrightness(int32_t b);
  int32_t Brightness() const { return brightness_; }
  // The copied picture is made again from the source after a display-mode change.
  void RestoreSurfaces() override;

protected:
  const std::string& SourceName() const override { return source_; }

private:
  void Rebuild();
  std::string source_;
  int32_t brightness_ = 255;
};

} // namespace nova
