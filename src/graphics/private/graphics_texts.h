// SPDX-License-Identifier: MIT
#pragma once
#include <string>

namespace nova {

// The graphics subsystem's own message texts.
enum GraphicsTextId {
  kTextSetIdentificationCode, // writing a permuted image without an identification code
  kTextFrameListGetFrame,     // frame index out of range
  kTextWipeCaptionFirst,      // the captions of the 39 transition kinds, WP_NONE first
  kTextWipeCaptionLast = kTextWipeCaptionFirst + 38,
};

// The text in Shift-JIS, converted once.
const std::string& GraphicsText(GraphicsTextId id);

} // namespace nova
