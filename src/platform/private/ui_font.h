// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace nova {

// The file of the Japanese UI font (through fontconfig: sans-serif for the Japanese language);
// empty when none is installed.
std::string FindUiFontFile();

// A line of text rendered with FreeType: one coverage byte per pixel.
struct TCoverageBitmap {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> coverage;
};

// Renders `utf8` in the UI font at `pixel_height`; an empty bitmap when no font is found.
TCoverageBitmap RenderUiText(const std::string& utf8, int pixel_height);

} // namespace nova
