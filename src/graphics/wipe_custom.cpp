// SPDX-License-Identifier: MIT
#include "graphics/wipe_custom.h"

#include <algorithm>
#include <cstring>

#include "graphics/private/dibx_engine.h"
#include "graphics/private/graphics_texts.h"
#include "graphics/private/wipe_kinds.h"
#include "graphics/private/wipe_rows.h"

namespace nova {
namespace {

// A mask of only 0 and 255 picks each pixel from one picture: one pass that reads both pictures
// and writes the screen, which the compiler vectorises.
template <typename TWord>
void SelectRow(uint8_t* dst, const uint8_t* old_row, const uint8_t* new_row, const uint8_t* mask,
               int width) {
  uint8_t* __restrict d = dst;
  const uint8_t* __restrict o = old_row;
  const uint8_t* __restrict n = new_row;
  const uint8_t* __restrict m = mask;
  for (int x = 0; x < width; ++x) {
    TWord a, b;
    std::memcpy(&a, o + x * sizeof(TWord), sizeof(TWord));
    std::memcpy(&b, n + x * sizeof(TWord), sizeof(TWord));
    const TWord out = m[x] ? b : a;
    std::memcpy(d + x * sizeof(TWord), &out, sizeof(TWord));
  }
}

} // namespace

TCustomWipe::TCustomWipe(TCustomDIBX& screen, TCustomDIBX& old_picture, TCustomDIBX& new_picture)
    : screen_(screen), old_(old_picture), new_(new_picture) {}

TCustomWipe::~TCustomWipe() = default;

int32_t TCustomWipe::Param(int index) const { return index == 0 ? p0_ : index == 1 ? p1_ : 0; }

int32_t TCustomWipe::ClampParam(int, int32_t value) const { return value; }

void TCustomWipe::SetParam(int index, int32_t value) {
  if (index != 0 && index != 1)
    return;
  int32_t& p = index == 0 ? p0_ : p1_;
  const int32_t clamped = ClampParam(index, value);
  const bool changed = p != clamped;
  p = clamped;
  if (changed)
    ParamChanged(index);
}

bool TCustomWipe::Step() {
  if (elapsed >= duration)
    return true;
  screen_.ResetClip();
  touched_ = screen_.Bounds();
  // Pictures that do not match the screen cannot be composed pixel for pixel.
  if (screen_.IsEmpty() || old_.Width() != W() || old_.Height() != H() || new_.Width() != W() ||
      new_.Height() != H() || old_.BitCount() != screen_.BitCount() ||
      new_.BitCount() != screen_.BitCount())
    return false;
  Compose();
  return false;
}

int64_t TCustomWipe::Progress(int64_t scale) const {
  if (duration <= 0)
    return scale;
  // Scales grow with the parameters (chip counts times delays): 128 bits cannot overflow.
  const __int128 product = static_cast<__int128>(std::max<int64_t>(0, elapsed)) * scale;
  return static_cast<int64_t>(product / duration);
}

double TCustomWipe::Fraction() const {
  if (duration <= 0)
    return 1.0;
  return static_cast<double>(std::max(0, elapsed)) / duration;
}

void TCustomWipe::CopyFrom(TCustomDIBX& picture) {
  screen_.Draw(0, 0, FlipNone, TKeyMode::Ignore, picture.Bounds(), picture);
}

// ---------------------------------------------------------------------------------------------

void TWipeMask::Prepare() {
  // Rows below the screen would never be read.
  mask_.SetSize(W(), std::clamp(MaskHeight(), 1, std::max(1, H())), 8);
  FillMask(mask_.Bounds(), 0);
  progress_ = -1;
}

int32_t TWipeMask::ClampParam(int index, int32_t value) const {
  return std::max(value, index == 0 ? 2 : 1);
}

bool TWipeMask::NewProgress(int64_t key) {
  if (key == progress_)
    return false;
  progress_ = key;
  return true;
}

void TWipeMask::FillMask(const TRect& rect, uint8_t value) {
  const TRect r = Intersect(rect, mask_.Bounds());
  for (int y = r.Top; y < r.Bottom; ++y)
    std::memset(MaskRow(y) + r.Left, value, static_cast<size_t>(r.Width()));
}

void TWipeMask::Compose() {
  if (mask_.Width() != W())
    Prepare();
  if (!BuildMask())
    return;
  const int mh = mask_.Height();
  dibx::TRowParams params;
  params.channels = dibx::ChannelsOf(screen_);
  const dibx::TRowKernels* kernels = dibx::ActiveRowKernels();
  const int bits = screen_.StorageBitCount();
  if (binary_ && (bits == 16 || bits == 32)) {
    wipe::TRows dst(screen_), from(old_), to(new_), mask(mask_);
    for (int y = 0; y < H(); ++y) {
      if (bits == 32)
        SelectRow<uint32_t>(dst.Row(y), from.Row(y), to.Row(y), mask.Row(y % mh), W());
      else
        SelectRow<uint16_t>(dst.Row(y), from.Row(y), to.Row(y), mask.Row(y % mh), W());
    }
    return;
  }
  if (kernels && (bits == 16 || bits == 32)) {
    const dibx::TRowFn blend =
        (bits == 16 ? kernels->row16 : kernels->row32)[static_cast<int>(dibx::TRowOp::Mask)];
    wipe::TRows dst(screen_), from(old_), to(new_), mask(mask_);
    const size_t bytes = static_cast<size_t>(W()) * (bits / 8);
    for (int y = 0; y < H(); ++y) {
      uint8_t* row = dst.Row(y);
      std::memcpy(row, from.Row(y), bytes);
      blend(row, to.Row(y), mask.Row(y % mh), W(), params);
    }
    return;
  }
  for (int y = 0; y < H(); ++y) {
    const uint8_t* m = MaskRow(y % mh);
    for (int x = 0; x < W(); ++x) {
      uint32_t out = old_.GetPixel(x, y);
      dibx::ApplyRule(dibx::TRowOp::Mask, out, new_.GetPixel(x, y), m[x], params, out);
      screen_.SetPixel(x, y, out);
    }
  }
}

// ---------------------------------------------------------------------------------------------

const std::string& WipeCaption(int kind) {
  static const std::string none;
  if (kind < 0 || kind >= kWipeKindCount)
    return none;
  return GraphicsText(static_cast<GraphicsTextId>(kTextWipeCaptionFirst + kind));
}

std::unique_ptr<TCustomWipe> CreateWipe(int kind, TCustomDIBX& screen, TCustomDIBX& old_picture,
                                        TCustomDIBX& new_picture) {
  std::unique_ptr<TCustomWipe> wipe;
  for (auto maker : {wipe::NewMaskKindWipe, wipe::NewSectorKindWipe, wipe::NewDirectKindWipe,
                     wipe::NewPixelKindWipe}) {
    wipe = maker(kind, screen, old_picture, new_picture);
    if (wipe)
      break;
  }
  if (!wipe)
    return nullptr;
  // The defaults go through the kind's bounds like any other value.
  wipe->SetParam(0, wipe->Param(0));
  wipe->SetParam(1, wipe->Param(1));
  return wipe;
}

} // namespace nova
