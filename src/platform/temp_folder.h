// SPDX-License-Identifier: MIT
#pragma once
#include <filesystem>
#include <string>

namespace nova {

// The folder for work files: $TMPDIR, else /tmp.
std::filesystem::path TempFolder();

// Creates a new, empty, uniquely named file in `folder` named `prefix` + four hexadecimal
// digits + ".tmp" and returns its path. Throws ENovaError when no file can be created.
std::filesystem::path CreateTempFile(const std::filesystem::path& folder,
                                     const std::string& prefix);

} // namespace nova
