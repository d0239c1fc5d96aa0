// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

namespace nova {

enum class TUserFolder : uint8_t { Desktop, Documents, Pictures };

// The user's desktop, documents or pictures folder (native, UTF-8, no trailing '/'): the XDG
// user directory from its environment variable (XDG_PICTURES_DIR …), else from
// `user-dirs.dirs`, else "Desktop", "Documents" or "Pictures" in the home folder.
std::string UserFolder(TUserFolder folder);

} // namespace nova
