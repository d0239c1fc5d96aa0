// SPDX-License-Identifier: MIT
#include "graphics/wisp_surface_decoder.h"

#include <memory>

#include "base/nova_error.h"
#include "graphics/dibx.h"
#include "graphics/dibx_wisp_hook.h"
#include "graphics/wisp_frame_list.h"

namespace nova {

namespace {

class TWispSurfaceLoader final : public TWispSurfaceDecoder {
public:
  explicit TWispSurfaceLoader(int32_t code) : code_(code) {}

  void DecodeComposite(std::span<const uint8_t> bytes, const std::string& name,
                       TDIBX& picture) override {
    TWispFrameList list(code_);
    list.LoadFromStream(bytes, name, WispFrames::kFirstOnly);
    if (list.Count() == 0)
      throw ENovaError("image \"" + name + "\" has no frames");
    const TWispFrame& frame = list.Frame(0);
    picture.SetSize(1, 1, frame.BitCount());
    frame.CopyTo(picture);
  }

private:
  int32_t code_;
};

} // namespace

void InstallWispSurfaceDecoder(int32_t identification_code) {
  static std::unique_ptr<TWispSurfaceLoader> loader;
  auto fresh = std::make_unique<TWispSurfaceLoader>(identification_code);
  SetWispSurfaceDecoder(fresh.get());
  loader = std::move(fresh);
}

} // namespace nova
