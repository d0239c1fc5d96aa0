// SPDX-License-Identifier: MIT
// Multi-frame pictures: frames with display times (TNovaCustomImages), the layered-image kind
// LT_IMAGES, and the repeating tile LT_TILE with its afterimage.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "expr/nova_parser.h"
#include "scene/kinds/custom_image.h"
#include "scene/kinds/image_list.h"

namespace nova {

// True when the file name ends in `upper_ext` (".WSP"), compared without regard to case.
bool IsExtension(const std::string& file, const char* upper_ext);

// Afterimages borrow their source's picture. A brightness-adjusted frame copy belongs to the
// source's frame list, which may drop it at any time: this copies such a picture into `into`
// and answers true; for any other picture it does nothing and answers false.
bool CopyAdjustedPicture(const TNovaCustomImage& source, TDIBX& into);

class TNovaCustomImages : public TNovaCustomImage {
public:
  // The frame list currently shown; none by default.
  virtual TNovaImageList* GetFrameList() const { return nullptr; }
  // The shown picture is a brightness-adjusted copy of the shown frame.
  bool ShowsAdjustedCopy() const;
  // Shows frame i (no frame when out of range) and adds its display time to the countdown.
  void SetIndex(int32_t i);
  int32_t FrameIndex() const { return frame_index_; }
  int32_t Countdown() const { return countdown_; }
  void SetBrightness(int32_t b);
  bool IsPaused() const override { return paused_ != 0; }
  bool Update() override;
  // The expression whose value lengthens the last frame (given by the creating command).
  void SetLastFrameWait(const TNovaParser& wait) { last_wait_ = wait; }
  void ReleaseSurfaces() override;
  void RestoreSurfaces() override;

protected:
  using TNovaCustomImage::TNovaCustomImage;
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;
  int32_t CurrentIndex() const override { return frame_index_; }
  const std::vector<TRect>* VisibleRegions() const override;
  const std::string& SharedFrameFile() const override;
  virtual bool RepeatOn() const { return false; }
  bool Playing() const;
  // Shows the saved frame and countdown once the source has been loaded again.
  void RestoreShownFrame(int32_t index, int32_t countdown);

  int32_t countdown_ = 0;
  int32_t frame_index_ = -1;
  int32_t brightness_ = 0;
  uint8_t paused_ = 0;
  TNovaParser last_wait_;

private:
  int32_t LastFrameWait();
};

// LT_IMAGES: frames from a layered image file, or a motion film.
class TNovaImages : public TNovaCustomImages {
public:
  explicit TNovaImages(TNovaBaseList* owner);
  uint8_t GetKind() const override { return LT_IMAGES; }
  TNovaImageList* GetFrameList() const override;
  virtual int GetStateIndex() const { return 0; }
  virtual void StateHook() {}
  virtual int GetStateCount() const { return 1; }
  const std::string& IdleHandler() const override { return on_idle_; }
  void SetSource(const std::string& file);

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;
  const std::string& SourceName() const override { return source_; }
  bool RepeatOn() const override { return repeat_ != 0; }
  bool AutoScrap() const override { return auto_scrap_ != 0; }
  const std::string& PlayEndHandler() const override { return on_play_end_; }

  std::vector<std::unique_ptr<TNovaImageList>> lists_;
  uint8_t repeat_ = 0, auto_scrap_ = 0;
  std::string source_, on_play_end_, on_idle_;
};

// LT_TILE: the picture repeated over the rectangle, shifted by the scroll, at a pitch.
class TNovaTile : public TNovaCustomImages {
public:
  explicit TNovaTile(TNovaBaseList* owner) : TNovaCustomImages(owner) {}
  uint8_t GetKind() const override { return LT_TILE; }
  TNovaImageList* GetFrameList() const override { return &list_; }
  bool SizeFollowsZoom() const override { return false; }
  // The zoom scales the pattern, never the place.
  bool PlacedPlain() const override { return true; }
  int32_t ZoomX() const override { return 256; }
  int32_t ZoomY() const override { return 256; }
  int32_t ScrollX() const override { return scroll_x_; }
  int32_t ScrollY() const override { return scroll_y_; }
  const std::string& IdleHandler() const override { return on_idle_; }
  void SetSource(const std::string& file);

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;
  void DrawImage() override;
  const std::string& SourceName() const override { return source_; }
  bool RepeatOn() const override { return true; }
  int32_t TileScrollX() const override { return scroll_x_; }
  int32_t TileScrollY() const override { return scroll_y_; }
  TNovaCustomImage* NewAfterimage() override;
  void InitAfterimage(TNovaCustomImage& blur) const override;

  mutable TNovaImageList list_;
  std::string source_, on_idle_;
  int32_t scroll_x_ = 0, scroll_y_ = 0;
  int32_t distance_x_ = 0, distance_y_ = 0;

private:
  void DrawRegionGrid(TCustomDIBX& target, const std::vector<TRect>& regions, int32_t pitch_x,
                      int32_t pitch_y);
};

// An afterimage of a tile.
class TNovaBlurTile : public TNovaTile {
public:
  explicit TNovaBlurTile(TNovaBaseList* owner) : TNovaTile(owner) {}
  bool IsAfterimage() const override { return true; }
  int32_t AlphaForOrder() const override { return alpha_; }
  const TNovaControl* AfterimageSource() const override;
  TCustomDIBX* GetSurface() const override;
  TCustomDIBX* GetMask() const override;
  bool Update() override;
  void Init(TNovaCustomImage& source, const std::string& held_file);

private:
  TNovaCustomImage* source_ = nullptr;
  TImageItemHold hold_;
  TAfterimageLife life_;
};

} // namespace nova
