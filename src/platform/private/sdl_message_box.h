// SPDX-License-Identifier: MIT
#pragma once
#include <string>

#include "platform/message_box.h"

namespace nova {

// SDL's modal message box; a text-only fallback on stderr when SDL cannot show one.
TMsgResult ShowSdlMessageBox(const std::string& sjis_text, const std::string& sjis_caption,
                             TMsgButtons buttons, TMsgIcon icon);

} // namespace nova
