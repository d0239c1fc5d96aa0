// SPDX-License-Identifier: MIT
#pragma once
#include <string_view>

namespace nova {

// Names of the component property ids (PR_NAME = 0 … PR_FLOATZOOMY = 169), used by the text
// form of pages. A plain id → name table so that the scene's property enum can replace it.
inline constexpr int kPropCount = 170;

// "PR_NAME" for 0; empty for an id outside 0…169.
std::string_view PropName(int id);
// The id of "PR_…", or -1.
int PropIdByName(std::string_view name);

} // namespace nova
