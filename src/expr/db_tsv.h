// SPDX-License-Identifier: MIT
#pragma once
#include <string_view>

namespace nova {

class TDBTable;

// Replaces the table's fields and records by a TAB-separated text (Shift-JIS): the first line
// names the fields ("name [int|float|bool|<any> [length]]" per cell), each later non-empty
// line is one record written cell by cell as strings. False when a header cell has no name
// (the table is then left without fields) or the table would outgrow its bounds.
bool LoadTsv(TDBTable& table, std::string_view text);

} // namespace nova
