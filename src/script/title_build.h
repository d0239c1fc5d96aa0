// SPDX-License-Identifier: MIT
#pragma once
#include <string>

namespace nova {

// Turns a folder of sources into a title (docs/title-build.md): every "NAME.nsb.txt" page
// source becomes the page "NAME.nsb", "nova.npb.txt" the project file "nova.npb", and they are
// packed with every other file of the folder into OUT_DIR/game.dat (archive version 102).
// An "install.dat" for the project's title, fully installed on disk 1, is written beside it.
// Raises ENovaError naming the source file and line of the first fault.
void BuildTitle(const std::string& source_dir, const std::string& out_dir);

} // namespace nova
