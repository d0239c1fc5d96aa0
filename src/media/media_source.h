// SPDX-License-Identifier: MIT
// Where media data comes from: a title resource through the virtual file manager, or a real
// file when the name starts with a path delimiter or has ':' as its second character.
#pragma once
#include <memory>
#include <string>

#include "vfs/stream.h"

namespace nova {

bool IsRealFileName(const std::string& name);
// The native path of a real file name (Shift-JIS, either delimiter).
std::string NativeMediaPath(const std::string& name);
bool MediaFileExists(const std::string& name);
// A read-only stream over the data, kept for the item's life: a window onto a stored archive
// entry or a file, or the inflated bytes of a compressed entry. ENovaError naming the file
// when it cannot be opened.
std::unique_ptr<TStream> OpenMediaStream(const std::string& name);

} // namespace nova
