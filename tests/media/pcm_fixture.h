// SPDX-License-Identifier: MIT
// A decoding stream over PCM bytes held in memory, for feeding the mixers exact samples.
#pragma once
#include <algorithm>
#include <cstring>
#include <vector>

#include "media/decode_stream.h"

namespace nova::test {

class TPcmStream final : public TDecodeStream {
public:
  TPcmStream(uint16_t channels, uint32_t rate, uint16_t bits, std::vector<uint8_t> bytes)
      : bytes_(std::move(bytes)) {
    SetFormat(channels, rate, bits);
    size_ = AlignDown(static_cast<int64_t>(bytes_.size()));
  }
  int64_t Read(void* buffer, int64_t count) override {
    count = AlignDown(std::min(count, size_ - pos_));
    std::memcpy(buffer, bytes_.data() + pos_, static_cast<size_t>(count));
    pos_ += count;
    return count;
  }
  void SetPos(int64_t bytes) override { pos_ = AlignDown(std::clamp<int64_t>(bytes, 0, size_)); }

private:
  std::vector<uint8_t> bytes_;
};

// `frames` frames of 16-bit samples: `left`, `right` (little-endian).
inline std::vector<uint8_t> Pcm16(size_t frames, int16_t left, int16_t right) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i < frames; ++i)
    for (int16_t v : {left, right}) {
      out.push_back(static_cast<uint8_t>(v));
      out.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
    }
  return out;
}

} // namespace nova::test
