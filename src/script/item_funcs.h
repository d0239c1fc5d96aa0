// SPDX-License-Identifier: MIT
// The built-in functions on the items of list boxes, menus and preview menus (GetCheck,
// SetCheck, IndexOfMenu, GetEnabled, SetEnabled, GetVisible, SetVisible, GetGroupIndex,
// GetSelected, SetSelected, GetItem).
#pragma once
#include <cstdint>
#include <span>

namespace nova {

class TCustomParam;
class TNovaBaseList;

// Performs item function `id` on the scene's components; false for any other id.
bool CallItemFunc(TNovaBaseList& scene, TCustomParam& dest, uint8_t id,
                  std::span<TCustomParam* const> args);

} // namespace nova
