// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace nova {

// What the layout would silently ignore in markup (Shift-JIS source, lines joined by CR): tags
// it does not know and attributes a known tag does not take. One English line each, naming the
// tag (and the attribute); empty when everything is understood. Comments are not tags.
std::vector<std::string> MarkupWarnings(std::string_view source);

} // namespace nova
