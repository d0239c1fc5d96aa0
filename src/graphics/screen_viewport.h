// SPDX-License-Identifier: MIT
// Where the scene appears in the window: scaled by a whole factor in the window, or fitted with
// its aspect kept (letterboxed) in full screen; pointer positions map back to the scene.
#pragma once
#include <cstdint>

namespace nova {

enum class TScaleFilter : uint8_t { Nearest, Smooth };

// The run options the shell passes in (`--scale N`, `--filter nearest|smooth`).
struct TScreenOptions {
  int scale = 1;
  TScaleFilter filter = TScaleFilter::Nearest;
};

struct TViewport {
  int32_t x = 0, y = 0, width = 0, height = 0; // the scene's rectangle in the output
  int32_t scene_width = 0, scene_height = 0;
  TScaleFilter filter = TScaleFilter::Nearest;
};

// The window: the scene at `scale` times its size (scale below 1 counts as 1).
TViewport WindowViewport(int32_t scene_width, int32_t scene_height, const TScreenOptions& options);
// Full screen: the largest aspect-kept fit, centred, the rest black.
TViewport FullScreenViewport(int32_t scene_width, int32_t scene_height, int32_t output_width,
                             int32_t output_height, const TScreenOptions& options);
// An output position to the scene position under it, clamped to the scene.
void OutputToScene(const TViewport& v, int32_t out_x, int32_t out_y, int32_t& scene_x,
                   int32_t& scene_y);

} // namespace nova
