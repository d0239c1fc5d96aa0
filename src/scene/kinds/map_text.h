// SPDX-License-Identifier: MIT
// Map files written as text (`novatool image map`), so that titles draw their selectable areas
// at build time: one area a line, `rect "NAME" L T R B`, `ellipse "NAME" L T R B` or
// `polygon "NAME" X Y X Y X Y ...`, `#` starting a comment.
#pragma once
#include <string>
#include <vector>

#include "scene/kinds/map_file.h"

namespace nova {

// Reads the description; raises ENovaError naming `name`, the line and what is wrong.
std::vector<TMapArea> ParseMapText(const std::string& text, const std::string& name);

} // namespace nova
