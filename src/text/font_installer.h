// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

namespace nova {

class TVrFileCollection;
class TPixelFontManager;

// The file manager's archive-added callback: offers the title's packed fonts (".nft") to the
// packed-font manager. With an archive, its entries in the root folder; without one (the base
// folder changed), the ".nft" files directly in the base folder. Returns the names accepted.
// A damaged font file throws its error, naming the file.
std::vector<std::string> InstallTitleFonts(TVrFileCollection* archive, TPixelFontManager& fonts);

} // namespace nova
