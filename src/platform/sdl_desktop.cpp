// SPDX-License-Identifier: MIT
#include <SDL.h>

#include "platform/desktop.h"

namespace nova {

namespace {

class TSdlDesktop final : public IDesktop {
public:
  bool OpenUrl(const std::string& utf8_url) override { return SDL_OpenURL(utf8_url.c_str()) == 0; }
};

} // namespace

std::unique_ptr<IDesktop> CreateSdlDesktop() { return std::make_unique<TSdlDesktop>(); }

} // namespace nova
