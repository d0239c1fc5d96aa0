// SPDX-License-Identifier: MIT
#include "platform/view_scaling.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace nova {

namespace {

constexpr std::array<const char*, 3> kModeNames = {"aspect", "integer", "stretch"};
constexpr std::array<const char*, 2> kFilterNames = {"smooth", "sharp"};

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

bool SameAscii(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
           return lower(x) == lower(y);
         });
}

template <typename T, size_t N>
std::optional<T> ParseName(std::string_view text, const std::array<const char*, N>& names) {
  text = Trim(text);
  for (size_t i = 0; i < N; ++i)
    if (SameAscii(text, names[i]))
      return static_cast<T>(i);
  return std::nullopt;
}

TWindowRect Centred(const TWindowRect& area, int64_t width, int64_t height) {
  const int left = area.left + static_cast<int>((area.Width() - width) / 2);
  const int top = area.top + static_cast<int>((area.Height() - height) / 2);
  return {left, top, left + static_cast<int>(width), top + static_cast<int>(height)};
}

} // namespace

const char* ScalingModeName(TScalingMode mode) { return kModeNames[static_cast<size_t>(mode)]; }
const char* ViewFilterName(TViewFilter filter) { return kFilterNames[static_cast<size_t>(filter)]; }

std::optional<TScalingMode> ParseScalingMode(std::string_view text) {
  return ParseName<TScalingMode>(text, kModeNames);
}
std::optional<TViewFilter> ParseViewFilter(std::string_view text) {
  return ParseName<TViewFilter>(text, kFilterNames);
}

TScalingMode NextScalingMode(TScalingMode mode) {
  return static_cast<TScalingMode>((static_cast<size_t>(mode) + 1) % kModeNames.size());
}

TWindowRect SceneDestination(int scene_width, int scene_height, const TWindowRect& area,
                             TScalingMode mode) {
  if (scene_width <= 0 || scene_height <= 0 || area.Empty())
    return {area.left, area.top, area.left, area.top};
  const int64_t sw = scene_width, sh = scene_height, aw = area.Width(), ah = area.Height();
  if (mode == TScalingMode::Stretch)
    return area;
  if (mode == TScalingMode::Integer) {
    const int64_t factor = std::min(aw / sw, ah / sh);
    if (factor >= 1)
      return Centred(area, factor * sw, factor * sh);
  }
  // Aspect kept: full width, or full height when the width would make it too tall.
  int64_t w = aw, h = aw * sh / sw;
  if (h > ah) {
    h = ah;
    w = ah * sw / sh;
  }
  return Centred(area, std::max<int64_t>(w, 1), std::max<int64_t>(h, 1));
}

TScenePoint WindowToScene(const TWindowRect& destination, int scene_width, int scene_height,
                          int window_x, int window_y) {
  const TWindowRect& d = destination;
  if (d.Empty() || scene_width <= 0 || scene_height <= 0)
    return {};
  const int64_t x = int64_t{window_x} - d.left, y = int64_t{window_y} - d.top;
  TScenePoint p;
  p.inside = x >= 0 && y >= 0 && x < d.Width() && y < d.Height();
  p.x = static_cast<int>(std::clamp<int64_t>(x * scene_width / d.Width(), 0, scene_width - 1));
  p.y = static_cast<int>(std::clamp<int64_t>(y * scene_height / d.Height(), 0, scene_height - 1));
  return p;
}

TWindowPoint SceneToWindow(const TWindowRect& destination, int scene_width, int scene_height,
                           int scene_x, int scene_y) {
  const TWindowRect& d = destination;
  if (scene_width <= 0 || scene_height <= 0)
    return {d.left, d.top};
  // The first window pixel whose left (top) edge lies in the scene pixel.
  const auto up = [](int64_t v, int64_t window, int64_t scene) {
    return static_cast<int>((v * window + scene - 1) / scene);
  };
  return {d.left + up(scene_x, d.Width(), scene_width),
          d.top + up(scene_y, d.Height(), scene_height)};
}

TWindowRect SceneRectToWindow(const TWindowRect& destination, int scene_width, int scene_height,
                              const TWindowRect& scene_rect) {
  const TWindowRect& d = destination;
  const int64_t sw = std::max(1, scene_width), sh = std::max(1, scene_height);
  const auto x = [&](int v) { return d.left + static_cast<int>(v * int64_t{d.Width()} / sw); };
  const auto y = [&](int v) { return d.top + static_cast<int>(v * int64_t{d.Height()} / sh); };
  TWindowRect r{x(scene_rect.left), y(scene_rect.top), x(scene_rect.right), y(scene_rect.bottom)};
  r.right = std::max(r.right, r.left + 1);
  r.bottom = std::max(r.bottom, r.top + 1);
  return r;
}

int InitialWindowScale(int content_width, int content_height, int usable_width, int usable_height,
                       float display_dpi) {
  int factor = 1;
  if (std::isfinite(display_dpi) && display_dpi > 0)
    factor = static_cast<int>(std::clamp(std::lround(display_dpi / 96.0f), 1L, 16L));
  if (content_width > 0 && content_height > 0 && usable_width > 0 && usable_height > 0) {
    const int64_t fit = std::min(int64_t{usable_width} * 9 / 10 / content_width,
                                 int64_t{usable_height} * 9 / 10 / content_height);
    factor = static_cast<int>(std::min<int64_t>(factor, fit));
  }
  return std::max(factor, 1);
}

} // namespace nova
