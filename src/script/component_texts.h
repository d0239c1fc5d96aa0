// SPDX-License-Identifier: MIT
// The system texts of the component commands, Shift-JIS.
#pragma once
#include <string>

namespace nova {

// "プロパティ指定が不正です": a property expression yields no property id.
const std::string& InvalidPropertyText();

} // namespace nova
