// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "graphics/dibx_types.h"

namespace nova {

class TPresentationSink;

// Base of all drawing surfaces. Holds geometry, clip and colour key, and implements every
// drawing operation once on top of the accessors of its subclasses. Opacity values follow the
// player-wide convention: 0 draws nothing, 1-254 blends, 255 copies, 256-511 adds with
// strength value - 256. Every operation clips to the surfaces, the clip and the source
// rectangle; an empty result, a zero weight or a source of an unsuitable format draws nothing.
// Masks are 8-bit surfaces read at the source coordinates.
class TCustomDIBX {
public:
  TCustomDIBX() = default;
  TCustomDIBX(const TCustomDIBX&) = delete;
  TCustomDIBX& operator=(const TCustomDIBX&) = delete;
  TCustomDIBX(TCustomDIBX&&) = default;
  TCustomDIBX& operator=(TCustomDIBX&&) = default;
  virtual ~TCustomDIBX() = default;

  // --- Accessors supplied by the subclasses ---
  bool IsEmpty() const { return width_ <= 0 || height_ <= 0; }
  // 1, 2, 4, 8 (palette indices), 15, 16, 24 or 32.
  virtual int BitCount() const = 0;
  // Reformats to the given count; contents become undefined.
  virtual void SetBitCount(int count) = 0;
  // Channel masks of the native pixel; 0 for palette formats.
  virtual uint32_t RedMask() const = 0;
  virtual uint32_t GreenMask() const = 0;
  virtual uint32_t BlueMask() const = 0;
  // Signed byte distance from one row to the next (negative for bottom-up storage).
  virtual int Pitch() const = 0;
  // Out-of-range coordinates read 0 and write nothing.
  virtual TPixel GetPixel(int x, int y) const = 0;
  virtual void SetPixel(int x, int y, TPixel pixel) = 0;
  int BlueShift() const;
  int GreenShift() const;
  int RedShift() const;
  int Height() const { return height_; }
  int Width() const { return width_; }
  // The surface that really holds the pixels.
  virtual TCustomDIBX& PixelSurface() { return *this; }
  // Bit count of the storage: 16 for a 15-bit surface.
  virtual int StorageBitCount() const { return BitCount(); }
  // Reallocates; contents undefined. Negative sizes become 0.
  virtual void SetSize(int width, int height, int bitCount) = 0;
  // Address of pixel (x, y) in storage, or null when the surface has no addressable pixels
  // (empty, or a forwarding surface). Rows are Pitch() bytes apart.
  virtual uint8_t* PixelAddress(int x, int y) = 0;
  virtual void ReleasePixels() {}
  virtual void GetPalette(std::span<TPaletteEntry, 256> entries) const;
  virtual void SetPalette(std::span<const TPaletteEntry, 256> entries);
  virtual void GetPaletteEntries(int first, std::span<TPaletteEntry> entries) const;
  virtual void SetPaletteEntries(int first, std::span<const TPaletteEntry> entries);
  // Drops the pixels: the size becomes 0 x 0.
  virtual void Release() = 0;
  // Gives back device resources; memory surfaces have none.
  virtual void ReleaseSurface() {}

  // --- Clip and key ---
  void ResetClip() { clip_ = TRect{}; }
  // Intersects rect with the bounds; ignored when empty; otherwise the clip becomes rect (no
  // clip yet) or the union of clip and rect.
  void AddClipRect(const TRect& rect);
  // The effective clip: the whole surface when none is set.
  TRect ClipRect() const;
  // The raw clip field (Right = 0: none); for saving and restoring around an operation.
  TRect StoredClip() const { return clip_; }
  void SetStoredClip(const TRect& clip) { clip_ = clip; }
  // Native pixel of the colour key, or -1 for none.
  int32_t TransparentColor() const { return transparent_; }
  void SetTransparentColor(int32_t pixel) { transparent_ = pixel; }
  TRect Bounds() const { return TRect{0, 0, width_, height_}; }

  // --- Colours ---
  // 0x00BBGGRR to native pixel by dropping low bits; negative colours give -1. Palette
  // formats give the nearest palette entry.
  int32_t ColorToPixel(int32_t color) const;
  // Native pixel to 0x00BBGGRR, widening channels by repeating their high bits.
  uint32_t PixelToColor(TPixel pixel) const;

  // --- Fills (within the clip) ---
  // FillRect over the whole surface.
  virtual void Clear(TPixel pixel);
  virtual void FillRect(const TRect& rect, TPixel pixel);
  virtual void FillRectAlpha(const TRect& rect, TPixel pixel, int alpha);
  virtual void FillRectAdd(const TRect& rect, TPixel pixel);
  virtual void FillRectSub(const TRect& rect, TPixel pixel);
  void FrameRect(const TRect& rect, int width, TPixel pixel);
  void FrameRectAlpha(const TRect& rect, int width, int alpha, TPixel pixel);
  void FrameRectAdd(const TRect& rect, int width, TPixel pixel);

  // --- Positioned draws (source and destination of the same bit count) ---
  virtual void Assign(TCustomDIBX& src);
  virtual void Draw(int x, int y, TFlip flip, TKeyMode key, const TRect& srcRect, TCustomDIBX& src);
  virtual void DrawMask(int x, int y, TCustomDIBX& mask, TFlip flip, const TRect& srcRect,
                        TCustomDIBX& src);
  virtual void DrawAlpha(int x, int y, int alpha, TFlip flip, TKeyMode key, const TRect& srcRect,
                         TCustomDIBX& src);
  virtual void DrawMaskAlpha(int x, int y, int alpha, TCustomDIBX& mask, TFlip flip,
                             const TRect& srcRect, TCustomDIBX& src);
  virtual void DrawAdd(int x, int y, int strength, TFlip flip, TKeyMode key, const TRect& srcRect,
                       TCustomDIBX& src);
  virtual void DrawMaskAdd(int x, int y, int strength, TCustomDIBX& mask, TFlip flip,
                           const TRect& srcRect, TCustomDIBX& src);

  // --- Rotated and scaled draws; alpha by the opacity convention ---
  // The pivot (source pixels from srcRect's top-left) lands on (x, y); a positive angle (radians)
  // turns clockwise on screen.
  void DrawRotate(int x, int y, int alpha, TKeyMode key, TFlip flip, double angle, int pivotY,
                  int pivotX, const TRect& srcRect, TCustomDIBX& src, double scaleY, double scaleX);
  void DrawRotateMask(int x, int y, int alpha, TCustomDIBX& mask, TFlip flip, double angle,
                      int pivotY, int pivotX, const TRect& srcRect, TCustomDIBX& src, double scaleY,
                      double scaleX);

  // --- Scaled draws (nearest neighbour, 16.16 fixed point); alpha 255 copies ---
  virtual void StretchDrawAlpha(const TRect& dstRect, TCustomDIBX& src, int alpha, TFlip flip,
                                TKeyMode key, const TRect& srcRect);
  virtual void StretchDrawMaskAlpha(const TRect& dstRect, TCustomDIBX& src, int alpha,
                                    TCustomDIBX& mask, TFlip flip, const TRect& srcRect);
  virtual void StretchDrawAdd(const TRect& dstRect, TCustomDIBX& src, int strength, TFlip flip,
                              TKeyMode key, const TRect& srcRect);
  virtual void StretchDrawMaskAdd(const TRect& dstRect, TCustomDIBX& src, int strength,
                                  TCustomDIBX& mask, TFlip flip, const TRect& srcRect);

  // --- Glyphs: masks rendered at factor x the glyph size; colours are native pixels ---
  // mask: 1 bit per sub-pixel, clear bits are ink.
  void DrawGlyphMono(int x, int y, int factor, int alpha, TFlip flip, TPixel color,
                     const TRect& srcRect, TCustomDIBX& mask);
  // mask: 2 bits per sub-pixel, 0 background, 1-3 select colors[0..2].
  void DrawGlyphLayered(int x, int y, int factor, int alpha, TFlip flip, const TPixel (&colors)[3],
                        const TRect& srcRect, TCustomDIBX& mask);

  // --- Tiling: srcRect repeated over dstRect from phase (offsetX, offsetY), tiles separated by
  // the gaps; each tile drawn by the single-position operation of the same kind ---
  void TileDraw(const TRect& dstRect, int hGap, int offsetY, int offsetX, TFlip flip, TKeyMode key,
                const TRect& srcRect, TCustomDIBX& src, int vGap);
  void TileDrawAlpha(const TRect& dstRect, int hGap, int offsetY, int offsetX, int alpha,
                     TFlip flip, TKeyMode key, const TRect& srcRect, TCustomDIBX& src, int vGap);
  void TileDrawAdd(const TRect& dstRect, int hGap, int offsetY, int offsetX, int strength,
                   TFlip flip, TKeyMode key, const TRect& srcRect, TCustomDIBX& src, int vGap);
  void TileDrawMask(const TRect& dstRect, int hGap, int offsetY, int offsetX, TCustomDIBX& mask,
                    TFlip flip, const TRect& srcRect, TCustomDIBX& src, int vGap);
  void TileDrawMaskAlpha(const TRect& dstRect, int hGap, int offsetY, int offsetX, int alpha,
                         TCustomDIBX& mask, TFlip flip, const TRect& srcRect, TCustomDIBX& src,
                         int vGap);
  void TileDrawMaskAdd(const TRect& dstRect, int hGap, int offsetY, int offsetX, int strength,
                       TCustomDIBX& mask, TFlip flip, const TRect& srcRect, TCustomDIBX& src,
                       int vGap);
  // Each tile is srcRect scaled by the zooms, drawn with StretchDrawAlpha or StretchDrawAdd by
  // the opacity convention.
  void TileStretchDraw(const TRect& dstRect, int hGap, int offsetY, int offsetX, int opacity,
                       double zoomY, double zoomX, TFlip flip, TKeyMode key, const TRect& srcRect,
                       TCustomDIBX& src, int vGap);
  void TileStretchDrawMask(const TRect& dstRect, int hGap, int offsetY, int offsetX, int opacity,
                           double zoomY, double zoomX, TCustomDIBX& mask, TFlip flip,
                           const TRect& srcRect, TCustomDIBX& src, int vGap);
  // Four TileFill calls on the bands of a frame of the given width.
  void FrameTile(const TRect& rect, int width, int offsetY, int offsetX, TFlip flip,
                 TCustomDIBX& src);
  // The whole source repeated without gaps, from source column offsetX mod width and row
  // offsetY mod height (negative offsets wrap).
  void TileFill(const TRect& dstRect, TCustomDIBX& src, TFlip flip, int offsetY, int offsetX);
  // Repeat fill of the source scaled by the zooms; offsets are destination pixels.
  virtual void TileFillZoom(const TRect& dstRect, TCustomDIBX& src, int opacity, TFlip flip,
                            TKeyMode key, int offsetY, int offsetX, double zoomY, double zoomX);
  virtual void TileFillZoomMask(const TRect& dstRect, TCustomDIBX& src, int opacity, TFlip flip,
                                TCustomDIBX& mask, int offsetY, int offsetX, double zoomY,
                                double zoomX);

  // --- Index maps ---
  // 4-bit source through a 16-entry table of native pixels; opacity by the convention.
  virtual void DrawNibble(int x, int y, std::span<const TPixel, 16> table, int opacity, TFlip flip,
                          const TRect& srcRect, TCustomDIBX& src);
  // 8-bit source: indices >= threshold add table[index] with the strength.
  virtual void DrawPaletteAdd(int x, int y, std::span<const TPixel, 256> table, int strength,
                              TFlip flip, int threshold, const TRect& srcRect, TCustomDIBX& src);
  virtual void StretchDrawPaletteAdd(const TRect& dstRect, std::span<const TPixel, 256> table,
                                     int strength, TFlip flip, int threshold, const TRect& srcRect,
                                     TCustomDIBX& src);
  // One native colour through an 8-bit mask with weight (alpha * m) >> 8.
  virtual void DrawColorMask(int x, int y, int alpha, TPixel color, TFlip flip,
                             const TRect& srcRect, TCustomDIBX& mask);

  // --- Files ---
  // ".bmp" files only (case-insensitive); a missing file or another extension does nothing.
  void LoadFromFile(const std::string& path);
  // Sniffs "BM" at 0, "PNG" at 1 or "Wisp" at 0; an unknown header leaves the surface as it
  // is. The picture is converted to the surface's current bit count. A damaged picture throws
  // ENovaError naming `name`.
  void LoadFromStream(std::span<const uint8_t> bytes, const std::string& name);
  // ".bmp" only, written as a 24-bit bitmap; throws ENovaError when the file cannot be written.
  void SaveToFile(const std::string& path);

  // Hands srcRect, converted to 0x00RRGGBB rows, to the sink for dstRect.
  virtual void StretchToDC(TPresentationSink& sink, const TRect& dstRect, const TRect& srcRect);

protected:
  void SetGeometry(int width, int height) {
    width_ = width;
    height_ = height;
  }

private:
  TRect clip_{};
  int32_t transparent_ = -1;
  int32_t height_ = 0;
  int32_t width_ = 0;
  std::vector<uint32_t> present_rows_;
};

// Which row loops the surfaces use; the default is the best the processor offers.
enum class TDibxKernels : uint8_t { Reference, Sse2, Avx2 };
// The best level available on this machine.
TDibxKernels BestDibxKernels();
// Selects the row loops for all surfaces (tests compare the levels); returns the previous.
TDibxKernels SetDibxKernels(TDibxKernels level);
TDibxKernels DibxKernels();

} // namespace nova
