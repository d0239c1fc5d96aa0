// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

// The per-channel arithmetic of every drawing operation, one pixel at a time. Channels are
// taken in place by masking (no shifting) in unsigned 32-bit arithmetic; nothing rounds. The
// row loops must give exactly these results.
namespace nova::dibx {

// Up to three channel masks; palette formats have one channel covering the index bits.
struct TChannels {
  uint32_t mask[3] = {0, 0, 0};
  int count = 0;
};

// Blend with weight a (0-255): ((d & M)(255 - a) + (s & M) a) >> 8, masked.
inline uint32_t BlendPixel(uint32_t d, uint32_t s, uint32_t a, const TChannels& ch) {
  uint32_t out = 0;
  for (int i = 0; i < ch.count; ++i) {
    const uint32_t m = ch.mask[i];
    out |= (((d & m) * (255 - a) + (s & m) * a) >> 8) & m;
  }
  return out;
}

// Additive with strength a: (d & M) + (((s & M) a >> 8) & M), clamped to M.
inline uint32_t AddPixel(uint32_t d, uint32_t s, uint32_t a, const TChannels& ch) {
  uint32_t out = 0;
  for (int i = 0; i < ch.count; ++i) {
    const uint32_t m = ch.mask[i];
    const uint32_t sum = (d & m) + ((((s & m) * a) >> 8) & m);
    out |= sum > m ? m : sum;
  }
  return out;
}

// Saturating add of a colour: (d & M) + (c & M), clamped to M.
inline uint32_t AddColorPixel(uint32_t d, uint32_t c, const TChannels& ch) {
  uint32_t out = 0;
  for (int i = 0; i < ch.count; ++i) {
    const uint32_t m = ch.mask[i];
    const uint32_t sum = (d & m) + (c & m);
    out |= sum > m ? m : sum;
  }
  return out;
}

// Saturating subtract of a colour: (d & M) - (c & M), clamped at 0.
inline uint32_t SubColorPixel(uint32_t d, uint32_t c, const TChannels& ch) {
  uint32_t out = 0;
  for (int i = 0; i < ch.count; ++i) {
    const uint32_t m = ch.mask[i];
    out |= (d & m) > (c & m) ? (d & m) - (c & m) : 0;
  }
  return out;
}

// What a row of a positioned, scaled or rotated draw does with each pixel.
enum class TRowOp : uint8_t {
  Copy,      // s
  CopyKey,   // s unless s == key
  Blend,     // blend with alpha, unless d == s
  BlendKey,  // Blend, skipping keyed pixels
  Add,       // additive with alpha as strength
  AddKey,    // Add, skipping keyed pixels
  Mask,      // m = 0 skips, m = 255 copies, else blend with weight m
  MaskAlpha, // weight w = (alpha m) >> 8; m = 0 skips, else blend with weight w (even 0)
  MaskAdd,   // m = 0 skips, else add with strength (alpha m) >> 8
  Fill,      // colour
  FillAlpha, // blend of colour, unless d == colour
  FillAdd,   // saturating add of colour
  FillSub,   // saturating subtract of colour
  Count
};

struct TRowParams {
  TChannels channels;
  uint32_t alpha = 0; // weight or strength, 0-255
  uint32_t key = 0;
  uint32_t color = 0; // the source pixel of fills and colour masks
};

// Applies the rule to one pixel: returns false when the destination stays as it is.
inline bool ApplyRule(TRowOp op, uint32_t d, uint32_t s, uint32_t m, const TRowParams& p,
                      uint32_t& out) {
  const TChannels& ch = p.channels;
  switch (op) {
  case TRowOp::CopyKey:
    if (s == p.key)
      return false;
    [[fallthrough]];
  case TRowOp::Copy:
    out = s;
    return true;
  case TRowOp::BlendKey:
    if (s == p.key)
      return false;
    [[fallthrough]];
  case TRowOp::Blend:
    if (d == s)
      return false;
    out = BlendPixel(d, s, p.alpha, ch);
    return true;
  case TRowOp::AddKey:
    if (s == p.key)
      return false;
    [[fallthrough]];
  case TRowOp::Add:
    out = AddPixel(d, s, p.alpha, ch);
    return true;
  case TRowOp::Mask:
    if (m == 0)
      return false;
    if (m == 255) {
      out = s;
      return true;
    }
    if (d == s)
      return false;
    out = BlendPixel(d, s, m, ch);
    return true;
  case TRowOp::MaskAlpha: {
    // m = 0 skips; a weight that truncates to 0 still blends, darkening by the truncation.
    if (m == 0 || d == s)
      return false;
    out = BlendPixel(d, s, (p.alpha * m) >> 8, ch);
    return true;
  }
  case TRowOp::MaskAdd: {
    const uint32_t w = (p.alpha * m) >> 8;
    if (w == 0)
      return false;
    out = AddPixel(d, s, w, ch);
    return true;
  }
  case TRowOp::Fill:
    out = p.color;
    return true;
  case TRowOp::FillAlpha:
    if (d == p.color)
      return false;
    out = BlendPixel(d, p.color, p.alpha, ch);
    return true;
  case TRowOp::FillAdd:
    out = AddColorPixel(d, p.color, ch);
    return true;
  case TRowOp::FillSub:
    out = SubColorPixel(d, p.color, ch);
    return true;
  case TRowOp::Count:
    break;
  }
  return false;
}

// Whether the op reads a source pixel, and a mask value.
constexpr bool OpReadsSource(TRowOp op) { return op < TRowOp::Fill; }
constexpr bool OpReadsMask(TRowOp op) {
  return op == TRowOp::Mask || op == TRowOp::MaskAlpha || op == TRowOp::MaskAdd;
}

} // namespace nova::dibx
