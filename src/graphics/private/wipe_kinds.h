// SPDX-License-Identifier: MIT
// The makers of the transition kinds, one per group of kinds; each answers null for a kind it
// does not make. A new wipe holds the kind's default parameters.
#pragma once
#include <memory>

#include "graphics/wipe_custom.h"

namespace nova::wipe {

using TWipeMaker = std::unique_ptr<TCustomWipe> (*)(int kind, TCustomDIBX& screen,
                                                    TCustomDIBX& old_picture,
                                                    TCustomDIBX& new_picture);

// Stripes, curtains, grids, dither, mask picture fade and blocks.
std::unique_ptr<TCustomWipe> NewMaskKindWipe(int kind, TCustomDIBX& screen,
                                             TCustomDIBX& old_picture, TCustomDIBX& new_picture);
// Clock hand, fans and circle.
std::unique_ptr<TCustomWipe> NewSectorKindWipe(int kind, TCustomDIBX& screen,
                                               TCustomDIBX& old_picture, TCustomDIBX& new_picture);
// Kinds made of whole-picture draws: fade, scrolls, white, black, flash, mosaic, sudare, rubber,
// small, big, twists and zoom.
std::unique_ptr<TCustomWipe> NewDirectKindWipe(int kind, TCustomDIBX& screen,
                                               TCustomDIBX& old_picture, TCustomDIBX& new_picture);
// Kinds computed pixel by pixel or chip by chip: spot, mask white and black, ripple, blurs, crack.
std::unique_ptr<TCustomWipe> NewPixelKindWipe(int kind, TCustomDIBX& screen,
                                              TCustomDIBX& old_picture, TCustomDIBX& new_picture);

// Falling chips.
std::unique_ptr<TCustomWipe> NewCrackWipe(TCustomDIBX& screen, TCustomDIBX& old_picture,
                                          TCustomDIBX& new_picture);

} // namespace nova::wipe
