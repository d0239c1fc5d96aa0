// SPDX-License-Identifier: MIT
#pragma once

namespace nova {

// Sizes come from title data. Within these bounds every sum over a text stays far from
// overflowing and an outline costs a bounded number of pixels.
constexpr int kMaxCharSize = 4096;
constexpr int kMaxOutline = 64;
constexpr int kMaxImageSide = 16384;
constexpr int kMaxFrameTimeMs = 86'400'000; // a day: countdowns stay far from overflowing

} // namespace nova
