// SPDX-License-Identifier: MIT
#pragma once

namespace nova {

// True when the user's language is Japanese (LC_ALL, LC_MESSAGES or LANG starting with "ja").
bool UserLanguageIsJapanese();

} // namespace nova
