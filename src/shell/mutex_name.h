// SPDX-License-Identifier: MIT
#pragma once
#include <string>

namespace nova {

// The single-instance name of a title folder: upper-cased (single-byte letters only, as the
// Japanese locale does), a trailing '\' added when missing, and every '\' replaced by '-'. The
// folder is Shift-JIS; '/' counts as '\' so that Linux paths build the same name.
std::string MutexName(const std::string& sjis_folder);

} // namespace nova
