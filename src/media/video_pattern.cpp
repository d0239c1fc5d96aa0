// SPDX-License-Identifier: MIT
#include "media/video_pattern.h"

#include <vector>

namespace nova {

void WriteVideoPattern(const std::string& path, const TVideoPattern& p) {
  TVideoWriter writer(path, {p.codec, p.width, p.height, p.fps, p.sound ? p.tone_hz : 0});
  // A red square (Y 81, U 90, V 240) over blue (Y 41, U 240, V 110).
  constexpr uint32_t kBlue = 0xFF0000, kRed = 0x0000FF;
  std::vector<uint32_t> picture(static_cast<size_t>(p.width) * static_cast<size_t>(p.height));
  for (int n = 0; n < p.frames; ++n) {
    const int left = PatternSquareLeft(p, n), top = PatternSquareTop(p);
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x) {
        const bool in =
            x >= left && x < left + kPatternSquare && y >= top && y < top + kPatternSquare;
        picture[static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x)] =
            in ? kRed : kBlue;
      }
    writer.AddPicture(picture);
  }
  writer.Finish();
}

} // namespace nova
