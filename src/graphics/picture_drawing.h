// SPDX-License-Identifier: MIT
// Pictures drawn from a text description (`novatool image draw`), so that tests and the demo
// title make their pictures at build time instead of shipping artwork.
#pragma once
#include <string>
#include <vector>

#include "graphics/wisp_frame.h"

namespace nova {

// Reads the description (docs/image.md) and answers its frames: 32-bit pictures, with an alpha
// plane when the frame asks for one. Raises ENovaError naming `name` and the line for a fault.
std::vector<TWispFrame> DrawPictures(const std::string& text, const std::string& name);

} // namespace nova
