// SPDX-License-Identifier: MIT
// Cursor files (".cur", ".ico", ".ani") from titles: decoding answers a picture or nothing, and
// an animation only names frames it has and only steps that take time.
#include <cstddef>
#include <cstdint>
#include <span>

#include "scene/cursor_file.h"

namespace {

bool Whole(const nova::TCursorImage& img) {
  return img.width > 0 && img.height > 0 &&
         img.argb.size() == static_cast<size_t>(img.width) * static_cast<size_t>(img.height);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  auto img = nova::DecodeCursorFile(bytes);
  if (img && !Whole(*img))
    __builtin_trap();
  auto anim = nova::DecodeCursorAnimation(bytes);
  if ((anim == nullptr) != (img == nullptr))
    __builtin_trap();
  if (!anim)
    return 0;
  if (anim->sequence.empty() || anim->sequence.size() != anim->step_ms.size())
    __builtin_trap();
  for (size_t i = 0; i < anim->sequence.size(); ++i)
    if (anim->sequence[i] >= anim->frames.size() || (anim->Animated() && anim->step_ms[i] <= 0))
      __builtin_trap();
  for (const nova::TCursorImage& frame : anim->frames)
    if (!Whole(frame))
      __builtin_trap();
  return 0;
}
