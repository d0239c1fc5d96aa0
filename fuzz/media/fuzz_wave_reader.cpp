// SPDX-License-Identifier: MIT
// Wave resources from arbitrary bytes through the whole reading path: the decoding stream and
// the wave output mixing it, with repeat and positions taken from the input's last bytes.
#include <cstddef>
#include <cstdint>

#include "base/nova_error.h"
#include "media/decode_stream.h"
#include "media/wav_out.h"
#include "platform/clock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nova;
  auto bytes = std::make_unique<TMemoryStream>();
  bytes->Write(data, static_cast<int64_t>(size));
  bytes->SetPosition(0);
  std::unique_ptr<TDecodeStream> stream;
  try {
    stream = OpenWaveDecodeStream(std::move(bytes));
  } catch (const ENovaError&) {
    return 0;
  }
  const uint8_t tail = size ? data[size - 1] : 0;
  const int64_t where =
      size >= 5 ? int64_t{data[size - 2]} << 16 | data[size - 3] << 8 | data[size - 4] : 0;
  auto device = CreateHeadlessAudioOutput("");
  TVirtualClock clock;
  TWavOut out(*device, clock, 100, TMixingMode::OnRender);
  out.Open();
  TWavBuffer* buffer = out.AddBuffer(std::move(stream));
  buffer->SetRepeat(tail & 1);
  buffer->SetRepeatPosition(where);
  buffer->SetPosition(where / 3);
  buffer->SetGain(tail);
  buffer->Play();
  for (int frame = 0; frame < 8; ++frame) {
    clock.Advance(50);
    device->RenderUntil(static_cast<uint64_t>(frame + 1) * 2205);
    buffer->PlayedBytes();
    buffer->HasEnded();
  }
  return 0;
}
