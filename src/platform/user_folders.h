// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

namespace nova {

enum class TUserFolder : uint8_t { Desktop, Documents };

// The user's desktop or documents folder (native, UTF-8, no trailing '/'): the XDG user
// directory when `user-dirs.dirs` names one, else "Desktop" or "Documents" in the home folder.
std::string UserFolder(TUserFolder folder);

} // namespace nova
