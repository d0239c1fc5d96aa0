// SPDX-License-Identifier: MIT
#include "graphics/dibx_wisp_hook.h"

namespace nova {
namespace {
TWispSurfaceDecoder* registered = nullptr;
} // namespace

TWispSurfaceDecoder* SetWispSurfaceDecoder(TWispSurfaceDecoder* decoder) {
  TWispSurfaceDecoder* previous = registered;
  registered = decoder;
  return previous;
}

TWispSurfaceDecoder* WispSurfaceDecoder() { return registered; }

} // namespace nova
