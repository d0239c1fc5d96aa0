// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

namespace nova {

// Lets surfaces load layered images ("Wisp" streams): frame 0's composite at the frame's own bit
// count, unscrambled with the project's identification code. Called once the project is read;
// a later call replaces the code.
void InstallWispSurfaceDecoder(int32_t identification_code);

} // namespace nova
