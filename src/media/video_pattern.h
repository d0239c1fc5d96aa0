// SPDX-License-Identifier: MIT
// Writes a pattern movie with FFmpeg's own encoders: a coloured square moving right over a
// blue ground and a steady tone. Tests, benchmarks and `novatool video pattern` use it, so no
// movie file needs to be shipped, and where the square stands tells which picture is shown.
#pragma once
#include <algorithm>
#include <cstdint>
#include <string>

namespace nova {

enum class TVideoPatternCodec : uint8_t {
  Wmv2,  // WMV2 picture + WMA2 sound in ASF
  Mpeg1, // MPEG-1 picture + MPEG-1 layer II sound in an MPEG program stream
  Mpeg4, // MPEG-4 part 2 picture + MPEG-1 layer II sound in AVI
};

struct TVideoPattern {
  TVideoPatternCodec codec = TVideoPatternCodec::Wmv2;
  int width = 176, height = 144;
  int fps = 25;
  int frames = 50;
  bool sound = true;
  int tone_hz = 440;
};

// The square's side and where its left edge stands in picture `frame`.
inline constexpr int kPatternSquare = 16;
inline int PatternSquareLeft(const TVideoPattern& p, int frame) {
  return 8 + frame * (p.width - 8 - kPatternSquare - 8) / std::max(p.frames - 1, 1);
}
inline constexpr int PatternSquareTop(const TVideoPattern& p) {
  return (p.height - kPatternSquare) / 2;
}

// Writes the movie to the native path `path`. Throws ENovaError naming the file.
void WriteVideoPattern(const std::string& path, const TVideoPattern& pattern);

} // namespace nova
