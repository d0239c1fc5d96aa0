// SPDX-License-Identifier: MIT
// Includes the platform window but no surface header: both declare a rectangle of their own.
#include "graphics/screen_display_window.h"

#include <vector>

#include "platform/window.h"

namespace nova {
namespace {

class TWindowScreenDisplay : public IScreenDisplay {
public:
  explicit TWindowScreenDisplay(IWindow& window) : window_(window) {}

  // Every resolution also at 16 bits: titles made for 16-bit displays choose those, and the
  // back surface then composes at 16 bits while the display keeps its own depth.
  std::vector<TScreenMode> DisplayModes() override {
    std::vector<TScreenMode> out;
    for (const TDisplayMode& m : window_.DisplayModes()) {
      out.push_back({m.width, m.height, m.bits_per_pixel, m.refresh_hz});
      if (m.bits_per_pixel > 16)
        out.push_back({m.width, m.height, 16, m.refresh_hz});
    }
    return out;
  }

  // Today's desktops run at 32 bits; the window composes in that format.
  TDisplayFormat CurrentFormat() override { return {32, false}; }

  bool SetFullScreen(bool full, const TScreenMode* mode) override {
    std::optional<TDisplayMode> wanted;
    if (mode)
      wanted = TDisplayMode{mode->width, mode->height, mode->bit_count, mode->refresh};
    return window_.SetFullScreen(full, wanted);
  }

  void Present(const TScreenPixels& pixels, std::span<const TScreenBlit> blits) override {
    std::vector<TWindowRect> rects;
    rects.reserve(blits.size());
    for (const TScreenBlit& b : blits)
      rects.push_back(TWindowRect{b.src.Left, b.src.Top, b.src.Right, b.src.Bottom});
    window_.Present(Source(pixels), rects);
  }

  void Repaint(const TScreenPixels& pixels) override {
    const TWindowRect whole{0, 0, pixels.width, pixels.height};
    window_.Present(Source(pixels), std::span<const TWindowRect>(&whole, 1));
  }

private:
  static TPresentSource Source(const TScreenPixels& p) {
    TPresentSource s;
    s.pixels = p.row0;
    s.width = p.width;
    s.height = p.height;
    s.pitch_bytes = p.pitch_bytes;
    s.format = p.bit_count == 32   ? TPixelFormat::Xrgb8888
               : p.bit_count == 15 ? TPixelFormat::Xrgb1555
                                   : TPixelFormat::Rgb565;
    return s;
  }

  IWindow& window_;
};

} // namespace

std::unique_ptr<IScreenDisplay> MakeWindowScreenDisplay(IWindow& window) {
  return std::make_unique<TWindowScreenDisplay>(window);
}

} // namespace nova
