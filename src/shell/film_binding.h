// SPDX-License-Identifier: MIT
#pragma once

namespace nova {

class TNovaBaseList;
class TVrFileManager;
class TWispCollection;

// Installs the film loaders in the scene's services: cinemas play films, and motions (".nmt"
// sources of images, buttons, boxes, labels, particles and preview menus) load theirs, reading
// the title's files with pictures from `cache`. Keeps the media library already installed.
void InstallFilmLoaders(TNovaBaseList& scene, TVrFileManager& files, TWispCollection* cache);

} // namespace nova
