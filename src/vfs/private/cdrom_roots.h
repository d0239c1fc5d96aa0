// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace nova {

// Mount points (native, ending in '/') of the iso9660 and udf file systems in a mount table in
// the format of /proc/self/mounts (octal escapes such as \040 decoded).
std::vector<std::string> DiscRootsFromMountTable(std::string_view mounts);
// The same for the running system; empty when the table cannot be read.
std::vector<std::string> MountedDiscRoots();

} // namespace nova
