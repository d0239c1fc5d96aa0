// SPDX-License-Identifier: MIT
#pragma once
#include <string>

namespace nova {

class TParamCollection;

// Every named variable of the table except the system variables and expression temporaries,
// in creation order, one a line, in UTF-8:
//   NAME TYPE SCOPE FRAME = VALUE
//   NAME TYPE SCOPE FRAME [D1,D2] = V1, V2, ...
// TYPE is int, float, flag, str or ref; SCOPE global, auto, local or status; FRAME the call
// depth the variable belongs to (-1 for none); strings are quoted with \" and \\ escaped.
std::string DumpVariables(const TParamCollection& vars);

} // namespace nova
