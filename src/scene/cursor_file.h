// SPDX-License-Identifier: MIT
// Windows cursor files (".cur", ".ico" and the animated ".ani") decoded to pictures with hot
// spots and, for animated cursors, the order and display time of their frames.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace nova {

struct TCursorImage {
  int32_t width = 0, height = 0;
  int32_t hot_x = 0, hot_y = 0;
  std::vector<uint32_t> argb; // top-down rows, 0xAARRGGBB
};

// A cursor as it is shown over time: step i shows frames[sequence[i]] for step_ms[i]
// milliseconds, and the steps repeat. A still cursor has one step of 0 ms.
struct TCursorAnimation {
  std::vector<TCursorImage> frames;
  std::vector<uint32_t> sequence;
  std::vector<int32_t> step_ms;

  bool Animated() const { return sequence.size() > 1; }
  const TCursorImage& Step(size_t i) const { return frames[sequence[i]]; }
};

// Decodes a cursor file. A ".cur"/".ico" directory gives its largest image, a bitmap of 1, 4, 8,
// 24 or 32 bits with its AND mask or a PNG image, as one still step. An ".ani" file (RIFF
// "ACON") gives every frame of its "fram" list, in the order of its "seq " chunk when it has
// one, each shown for its "rate" entry or the header's rate, in jiffies of 1/60 s (a rate of 0
// counts as one jiffy, so the animation always moves on); without an "anih" header its first
// frame is shown still. Null when the bytes are no cursor this decoder reads.
std::unique_ptr<TCursorAnimation> DecodeCursorAnimation(std::span<const uint8_t> bytes);

// The picture a cursor file shows first (the first step of an animated cursor).
std::unique_ptr<TCursorImage> DecodeCursorFile(std::span<const uint8_t> bytes);

} // namespace nova
