// SPDX-License-Identifier: MIT
// Screen transitions: a wipe composes the screen from the outgoing and the incoming picture
// according to how much of its duration has elapsed.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "graphics/dibx.h"

namespace nova {

// The WP_ kinds, in their stored numbering.
enum TWipeKind : int {
  WP_NONE = 0,
  WP_FADE,
  WP_BLINDH,
  WP_BLINDV,
  WP_CURTAINH,
  WP_CURTAINV,
  WP_SCROLLH,
  WP_SCROLLV,
  WP_GRID,
  WP_GRIDH,
  WP_GRIDV,
  WP_DITHER,
  WP_WHITE,
  WP_BLACK,
  WP_FLASH,
  WP_MOSAIC,
  WP_SUDAREH,
  WP_SUDAREV,
  WP_SPOT,
  WP_MASKFADE,
  WP_MASKWHITE,
  WP_MASKBLACK,
  WP_SMALL,
  WP_BIG,
  WP_RIPPLE,
  WP_BLURWHITE,
  WP_BLURBLACK,
  WP_TWISTH,
  WP_TWISTV,
  WP_CRACK,
  WP_ZOOMIN,
  WP_CLOCKHAND,
  WP_RUBBERH,
  WP_RUBBERV,
  WP_FAN,
  WP_WFAN,
  WP_CIRCLE,
  WP_BLOCKCOIL,
  WP_BLOCKRANDOM,
};
constexpr int kWipeKindCount = WP_BLOCKRANDOM + 1;

// The kind's caption as the authoring tool lists it (Shift-JIS); empty above the last kind.
const std::string& WipeCaption(int kind);

// Finds the first frame of a title picture for the mask kinds; null when there is none. The
// surface only needs to live until Prepare returns.
using TWipePictureSource = std::function<TCustomDIBX*(const std::string& name)>;

// The base of every kind. The surfaces are the caller's, of equal size and bit count, and must
// outlive the wipe. Set the duration, the reverse flag, the parameters and the mask name, then
// Prepare once; then set the elapsed time and Step once per frame.
class TCustomWipe {
public:
  TCustomWipe(TCustomDIBX& screen, TCustomDIBX& old_picture, TCustomDIBX& new_picture);
  virtual ~TCustomWipe();
  TCustomWipe(const TCustomWipe&) = delete;
  TCustomWipe& operator=(const TCustomWipe&) = delete;

  virtual void SetReverse(bool reverse) { reverse_ = reverse; }
  virtual int32_t Param(int index) const;
  // Stores P0 (index 0) or P1 (index 1) within the kind's bounds; other indices do nothing.
  virtual void SetParam(int index, int32_t value);
  virtual void SetMaskName(const std::string& name) { mask_name_ = name; }
  // Builds masks and tables from the parameters; called once, before the first step.
  virtual void Prepare() {}
  // Draws the screen for the elapsed time. True, drawing nothing, once elapsed >= duration.
  bool Step();

  void SetPictureSource(TWipePictureSource source) { pictures_ = std::move(source); }
  int32_t duration = 0;
  int32_t elapsed = 0;
  bool Reverse() const { return reverse_; }
  const std::string& MaskName() const { return mask_name_; }
  // The area the last step drew: the whole screen.
  TRect Touched() const { return touched_; }

protected:
  // Draws the state at elapsed < duration (duration > 0) into the screen.
  virtual void Compose() = 0;
  // Clamps a parameter to the kind's bounds.
  virtual int32_t ClampParam(int index, int32_t value) const;
  // Hooks for kinds whose tables depend on a parameter.
  virtual void ParamChanged(int) {}

  // elapsed * scale / duration without overflow.
  int64_t Progress(int64_t scale) const;
  // elapsed / duration as a real.
  double Fraction() const;
  int W() const { return screen_.Width(); }
  int H() const { return screen_.Height(); }
  // The screen becomes a copy of the picture.
  void CopyFrom(TCustomDIBX& picture);

  TCustomDIBX& screen_;
  TCustomDIBX& old_;
  TCustomDIBX& new_;
  TWipePictureSource pictures_;
  int32_t p0_ = 0, p1_ = 0;

private:
  bool reverse_ = false;
  std::string mask_name_;
  TRect touched_{};
};

// The base of the mask kinds: each step builds an 8-bit mask for the progress and blends the two
// pictures through it, the mask repeating downwards when it is lower than the screen.
class TWipeMask : public TCustomWipe {
public:
  using TCustomWipe::TCustomWipe;
  void Prepare() override;
  // Makes the mask for the current progress; false when it did not change.
  virtual bool BuildMask() = 0;
  virtual int MaskHeight() const { return H(); }
  const TDIBX& Mask() const { return mask_; }
  // Set when the mask only holds 0 and 255.
  bool Binary() const { return binary_; }

protected:
  void Compose() override;
  int32_t ClampParam(int index, int32_t value) const override;
  // Stores the progress key; false when it equals the last one.
  bool NewProgress(int64_t key);
  uint8_t* MaskRow(int y) { return mask_.PixelAddress(0, y); }
  void FillMask(const TRect& rect, uint8_t value);

  TDIBX mask_;
  bool binary_ = false;
  int64_t progress_ = -1;
};

// A new wipe of the kind with its default parameters, or null for WP_NONE and unknown kinds.
std::unique_ptr<TCustomWipe> CreateWipe(int kind, TCustomDIBX& screen, TCustomDIBX& old_picture,
                                        TCustomDIBX& new_picture);

} // namespace nova
