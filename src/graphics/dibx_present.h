// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

#include "graphics/dibx_types.h"

namespace nova {

// Pixels handed to a presentation: top-down rows of 0x00RRGGBB words.
struct TPresentRows {
  const uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch_pixels = 0; // distance between rows in words
};

// Receives the changed parts of a surface for display (the platform's presentation texture
// implements it). Called by TCustomDIBX::StretchToDC on the main thread; `rows` are valid only
// during the call. The sink scales rows to dstRect (window coordinates) itself.
class TPresentationSink {
public:
  virtual ~TPresentationSink() = default;
  virtual void PresentRect(const TRect& dstRect, const TPresentRows& rows) = 0;
};

} // namespace nova
