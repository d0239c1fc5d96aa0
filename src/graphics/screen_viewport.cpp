// SPDX-License-Identifier: MIT
#include "graphics/screen_viewport.h"

#include <algorithm>

namespace nova {

TViewport WindowViewport(int32_t scene_width, int32_t scene_height, const TScreenOptions& options) {
  const int32_t s = std::clamp(options.scale, 1, 16);
  return TViewport{
      0, 0, scene_width * s, scene_height * s, scene_width, scene_height, options.filter};
}

TViewport FullScreenViewport(int32_t scene_width, int32_t scene_height, int32_t output_width,
                             int32_t output_height, const TScreenOptions& options) {
  TViewport v{0, 0, output_width, output_height, scene_width, scene_height, options.filter};
  if (scene_width <= 0 || scene_height <= 0 || output_width <= 0 || output_height <= 0)
    return v;
  // Compare the two aspect ratios exactly: the limiting side fills the output.
  if (int64_t{output_width} * scene_height <= int64_t{output_height} * scene_width) {
    v.width = output_width;
    v.height = static_cast<int32_t>(int64_t{scene_height} * output_width / scene_width);
  } else {
    v.height = output_height;
    v.width = static_cast<int32_t>(int64_t{scene_width} * output_height / scene_height);
  }
  v.x = (output_width - v.width) / 2;
  v.y = (output_height - v.height) / 2;
  return v;
}

void OutputToScene(const TViewport& v, int32_t out_x, int32_t out_y, int32_t& scene_x,
                   int32_t& scene_y) {
  if (v.width <= 0 || v.height <= 0) {
    scene_x = scene_y = 0;
    return;
  }
  const int64_t x = (int64_t{out_x} - v.x) * v.scene_width / v.width;
  const int64_t y = (int64_t{out_y} - v.y) * v.scene_height / v.height;
  scene_x = static_cast<int32_t>(std::clamp<int64_t>(x, 0, std::max(0, v.scene_width - 1)));
  scene_y = static_cast<int32_t>(std::clamp<int64_t>(y, 0, std::max(0, v.scene_height - 1)));
}

} // namespace nova
