// SPDX-License-Identifier: MIT
#pragma once
#include <memory>
#include <string>

#include "scene/kinds/media_services.h"

namespace nova {

class TMidiManager;

// A sound component's MIDI item: what the media library hands out for a ".mid" or ".sgt"
// resource. It gives the item back to the manager when it goes; after the manager is gone it
// plays nothing.
std::unique_ptr<IMediaItem> CreateMidiMediaItem(const std::shared_ptr<TMidiManager>& manager,
                                                const std::string& name);

} // namespace nova
