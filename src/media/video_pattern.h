// SPDX-License-Identifier: MIT
// A pattern movie written with FFmpeg's own encoders: a coloured square moving right over a
// blue ground and a steady tone. Tests, benchmarks and `novatool video pattern` use it, so no
// movie file needs to be shipped, and where the square stands tells which picture is shown.
#pragma once
#include <algorithm>
#include <cstdint>
#include <string>

#include "media/video_writer.h"

namespace nova {

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
