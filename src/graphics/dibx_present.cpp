// SPDX-License-Identifier: MIT
#include <algorithm>

#include "graphics/dibx_custom.h"
#include "graphics/dibx_present.h"

namespace nova {

void TCustomDIBX::StretchToDC(TPresentationSink& sink, const TRect& dstRect, const TRect& srcRect) {
  const TRect src = Intersect(srcRect, Bounds());
  if (src.IsEmpty() || dstRect.IsEmpty())
    return;
  const int w = src.Width(), h = src.Height();
  present_rows_.resize(static_cast<size_t>(w) * h);
  uint32_t* out = present_rows_.data();
  if (BitCount() == 32) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        out[y * w + x] = GetPixel(src.Left + x, src.Top + y) & 0xFFFFFF;
  } else {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        // 0x00BBGGRR to 0x00RRGGBB.
        const uint32_t c = PixelToColor(GetPixel(src.Left + x, src.Top + y));
        out[y * w + x] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
      }
  }
  sink.PresentRect(dstRect, TPresentRows{out, w, h, w});
}

} // namespace nova
