// SPDX-License-Identifier: MIT
#pragma once
#include <filesystem>

#include "platform/window.h"

namespace nova {

// Writes a picture as an 8-bit RGB PNG. Throws ENovaError naming the file when it cannot.
void WritePicturePng(const TPicture& picture, const std::filesystem::path& path);

} // namespace nova
