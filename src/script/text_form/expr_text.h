// SPDX-License-Identifier: MIT
#pragma once
#include <string>

#include "script/command_expr.h"
#include "script/text_form/text_cursor.h"

namespace nova {

// An expression as text: "{}" when empty, else its operation list in brackets,
// e.g. [____0 = ocBig a, 3; ____arg = ocTo ____0]. Parsing the text gives back the same bytes.
std::string FormatExpr(const TCommandExpr& e);

// Reads "{source}" (compiled with the expression compiler) or "[operations]".
TCommandExpr ParseExpr(TTokCursor& c);

} // namespace nova
