// SPDX-License-Identifier: MIT
#pragma once
#include "graphics/dibx.h"

namespace nova::wipe {

// Writes into `out` (resized to the source's size and bit count) the source blurred with a
// separable box filter of the given radius applied twice in each direction, which weights
// neighbours like a tent of twice the radius. Edges repeat the border pixels.
void BoxBlur(TCustomDIBX& source, int radius, TDIBX& out);

} // namespace nova::wipe
