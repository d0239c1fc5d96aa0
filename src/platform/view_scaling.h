// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/window_rect.h"

namespace nova {

// How the scene fills the window or the screen. A player setting: the scene keeps its own size
// and the title never sees the difference.
enum class TScalingMode : uint8_t {
  Aspect,  // as large as fits with the aspect ratio kept, black bars on two sides
  Integer, // the largest whole multiple that fits, black bars around; Aspect when none fits
  Stretch, // the whole area, aspect ratio ignored
};
// How scaled pixels are sampled.
enum class TViewFilter : uint8_t { Smooth, Sharp };

struct TViewScaling {
  TScalingMode mode = TScalingMode::Aspect;
  TViewFilter filter = TViewFilter::Smooth;
  bool operator==(const TViewScaling&) const = default;
};

// The names of game.ini and of the caption: "aspect", "integer", "stretch"; "smooth", "sharp".
const char* ScalingModeName(TScalingMode mode);
const char* ViewFilterName(TViewFilter filter);
// Case-insensitive, surrounding blanks ignored; nullopt for any other text.
std::optional<TScalingMode> ParseScalingMode(std::string_view text);
std::optional<TViewFilter> ParseViewFilter(std::string_view text);
// The mode F10 switches to: aspect, integer, stretch, and round again.
TScalingMode NextScalingMode(TScalingMode mode);

// Where a scene of `scene_width` x `scene_height` lies in `area` (window pixels), centred.
// Empty (at the area's origin) when the scene or the area is empty.
TWindowRect SceneDestination(int scene_width, int scene_height, const TWindowRect& area,
                             TScalingMode mode);

// A window point as a scene point. Outside `destination` the point is clamped to the scene's
// edge and `inside` is false (a click there is no click on the scene).
struct TScenePoint {
  int x = 0;
  int y = 0;
  bool inside = false;
  bool operator==(const TScenePoint&) const = default;
};
TScenePoint WindowToScene(const TWindowRect& destination, int scene_width, int scene_height,
                          int window_x, int window_y);
// A window point over scene pixel (x, y): WindowToScene gives (x, y) back whenever a scene
// pixel covers at least one window pixel.
struct TWindowPoint {
  int x = 0;
  int y = 0;
  bool operator==(const TWindowPoint&) const = default;
};
TWindowPoint SceneToWindow(const TWindowRect& destination, int scene_width, int scene_height,
                           int scene_x, int scene_y);
// A scene rectangle in window pixels, at least one pixel wide and high.
TWindowRect SceneRectToWindow(const TWindowRect& destination, int scene_width, int scene_height,
                              const TWindowRect& scene_rect);

// The whole factor the first window is scaled by: the display's DPI over 96, rounded (1 when
// unknown), but no more than fits in 90% of the usable display, and never below 1.
// `usable_*` <= 0 means the display's size is unknown.
int InitialWindowScale(int content_width, int content_height, int usable_width, int usable_height,
                       float display_dpi);

} // namespace nova
