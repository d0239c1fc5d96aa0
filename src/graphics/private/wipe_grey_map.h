// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

#include "graphics/wipe_custom.h"

namespace nova::wipe {

// The grey map of the mask-picture kinds, width x height bytes: 255 everywhere, or the first
// frame of the named picture as 8-bit grey (inverted when reversed) repeated over the screen.
// A picture the source does not find leaves the map at 255.
std::vector<uint8_t> BuildGreyMap(int width, int height, const std::string& name, bool reverse,
                                  const TWipePictureSource& pictures);

} // namespace nova::wipe
