// SPDX-License-Identifier: MIT
// Movie files: any bytes either fail to open with ENovaError or play to their end within the
// limits, with pictures converted into a small surface and the sound decoded alongside.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/nova_error.h"
#include "graphics/dibx.h"
#include "media/video_decoder.h"
#include "vfs/stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto stream = std::make_unique<nova::TMemoryStream>();
  stream->Write(data, static_cast<int64_t>(size));
  stream->SetPosition(0);
  nova::TVideoLimits limits;
  limits.max_side = 256;
  limits.max_queued_bytes = 1 << 20;
  try {
    nova::TVideoDecoder decoder("fuzz.wmv", std::move(stream), true, limits);
    nova::TDIBX surface(32, 24, 16);
    std::vector<int16_t> sound;
    for (int64_t ms = 0; ms <= 3000 && !decoder.VideoDrained(); ms += 100) {
      if (decoder.VideoTo(ms))
        decoder.ConvertInto(surface);
      sound.clear();
      decoder.AudioTo(ms, sound);
    }
    decoder.Seek(500);
    decoder.VideoTo(600);
  } catch (const nova::ENovaError&) {
  }
  return 0;
}
