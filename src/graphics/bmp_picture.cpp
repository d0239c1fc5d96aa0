// SPDX-License-Identifier: MIT
#include "graphics/bmp_picture.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "base/binary_reader.h"
#include "base/nova_error.h"

namespace nova {

namespace {

enum : uint32_t { kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3 };

struct BmpHeader {
  int32_t width = 0, height = 0;
  bool top_down = false;
  uint16_t bits = 0;
  uint32_t compression = kBiRgb;
  uint32_t colors_used = 0;
  uint32_t masks[3] = {0, 0, 0}; // red, green, blue
  size_t palette_entry_bytes = 4;
};

// One channel of a bit-field pixel, brought to 8 bits by dropping low bits or shifting up.
struct Channel {
  int shift = 0, width = 0;
  explicit Channel(uint32_t mask) {
    if (mask == 0)
      return;
    shift = std::countr_zero(mask);
    width = std::popcount(mask >> shift);
  }
  uint8_t Get(uint32_t v, uint32_t mask) const {
    if (width == 0)
      return 0;
    const uint32_t c = (v & mask) >> shift;
    return static_cast<uint8_t>(width >= 8 ? c >> (width - 8) : c << (8 - width));
  }
};

class BmpDecoder {
public:
  BmpDecoder(std::span<const uint8_t> data, const std::string& name, const WispLimits& limits)
      : data_(data), r_(data, "bitmap \"" + name + "\""), limits_(limits) {}

  TWispFrame Decode() {
    size_t base = 0; // where the info header starts
    size_t pixel_offset = 0;
    const bool file_header = data_.size() >= 2 && data_[0] == 'B' && data_[1] == 'M';
    if (file_header) {
      r_.Skip(10);
      pixel_offset = r_.U32();
      base = 14;
    }
    ReadInfoHeader();
    TWispFrame frame;
    TWispBitmap& color = frame.picture.color;
    const int32_t out_bits = h_.bits <= 8 ? h_.bits : 24;
    CheckSize();
    if (h_.bits <= 8)
      ReadPalette(color);
    if (!file_header)
      pixel_offset = r_.position();
    if (pixel_offset < base || pixel_offset > data_.size())
      r_.Fail("pixel data offset is outside the file");
    r_.Seek(pixel_offset);
    color.SetSize(h_.width, h_.height, out_bits);
    if (h_.compression == kBiRle8 || h_.compression == kBiRle4) {
      DecodeRle(color);
    } else {
      DecodeRows(frame.picture);
    }
    return frame;
  }

private:
  void ReadInfoHeader() {
    const size_t start = r_.position();
    const uint32_t size = r_.U32();
    if (size == 12) {
      h_.width = r_.U16();
      h_.height = r_.U16();
      r_.Skip(2);
      h_.bits = r_.U16();
      h_.palette_entry_bytes = 3;
    } else if (size >= 40) {
      h_.width = r_.I32();
      int32_t height = r_.I32();
      r_.Skip(2);
      h_.bits = r_.U16();
      h_.compression = r_.U32();
      r_.Skip(12);
      h_.colors_used = r_.U32();
      r_.Skip(4);
      if (height == INT32_MIN)
        r_.Fail("height is out of range");
      h_.top_down = height < 0;
      h_.height = height < 0 ? -height : height;
      if (h_.compression == kBiBitfields) {
        // Masks follow a 40-byte header and sit inside the longer headers.
        for (uint32_t& m : h_.masks)
          m = r_.U32();
      }
      r_.Seek(start + size);
    } else {
      r_.Fail("info header of " + std::to_string(size) + " bytes is not supported");
    }
    const uint16_t b = h_.bits;
    if (b != 1 && b != 4 && b != 8 && b != 16 && b != 24 && b != 32) {
      r_.Fail(std::to_string(b) + " bits per pixel are not supported");
    }
    const bool rle = h_.compression == kBiRle8 || h_.compression == kBiRle4;
    if (h_.compression > kBiBitfields || (h_.compression == kBiRle8 && b != 8) ||
        (h_.compression == kBiRle4 && b != 4) ||
        (h_.compression == kBiBitfields && b != 16 && b != 32) || (rle && h_.top_down)) {
      r_.Fail("compression " + std::to_string(h_.compression) + " does not fit " +
              std::to_string(b) + " bits per pixel");
    }
    if (h_.compression != kBiBitfields) {
      if (b == 16) {
        h_.masks[0] = 0x7C00, h_.masks[1] = 0x03E0, h_.masks[2] = 0x001F;
      } else {
        h_.masks[0] = 0xFF0000, h_.masks[1] = 0x00FF00, h_.masks[2] = 0x0000FF;
      }
    }
  }

  void CheckSize() {
    const int64_t w = h_.width, h = h_.height;
    if (w <= 0 || h <= 0 || w > limits_.max_side || h > limits_.max_side ||
        w * h > limits_.max_pixels) {
      r_.Fail("picture size " + std::to_string(w) + "x" + std::to_string(h) + " is out of range");
    }
  }

  void ReadPalette(TWispBitmap& color) {
    const uint32_t entries = 1u << h_.bits;
    const uint32_t stored = h_.colors_used == 0 ? entries : h_.colors_used;
    r_.CheckCount(stored, h_.palette_entry_bytes, "palette");
    for (uint32_t i = 0; i < stored; ++i) {
      std::span<const uint8_t> e = r_.Bytes(h_.palette_entry_bytes);
      if (i < entries)
        color.palette()[i] = e[0] | (e[1] << 8) | (e[2] << 16);
    }
  }

  void DecodeRows(TWispPicture& pic) {
    TWispBitmap& color = pic.color;
    const size_t row_bytes = BitmapRowBytes(h_.width, h_.bits);
    // The last row needs only its pixels, not its padding.
    const size_t last_row = (static_cast<size_t>(h_.width) * h_.bits + 7) / 8;
    if (r_.remaining() < row_bytes * (h_.height - 1) + last_row)
      r_.Fail("pixel data is cut short");
    const uint8_t* pixels = data_.data() + r_.position();
    if (h_.bits == 32) {
      pic.alpha.SetSize(h_.width, h_.height, 8);
      pic.has_alpha = true;
    }
    const Channel red(h_.masks[0]), green(h_.masks[1]), blue(h_.masks[2]);
    bool any_alpha = false;
    for (int32_t y = 0; y < h_.height; ++y) {
      const int32_t out_y = h_.top_down ? y : h_.height - 1 - y;
      const uint8_t* src = pixels + static_cast<size_t>(y) * row_bytes;
      uint8_t* dst = color.Row(out_y);
      if (h_.bits <= 8 || h_.bits == 24) {
        std::memcpy(dst, src, last_row);
        continue;
      }
      uint8_t* alpha = h_.bits == 32 ? pic.alpha.Row(out_y) : nullptr;
      for (int32_t x = 0; x < h_.width; ++x, dst += 3) {
        uint32_t v;
        if (h_.bits == 16) {
          v = src[x * 2] | (src[x * 2 + 1] << 8);
        } else {
          const uint8_t* p = src + x * 4;
          v = p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24);
          alpha[x] = p[3];
          any_alpha |= p[3] != 0;
        }
        dst[0] = blue.Get(v, h_.masks[2]);
        dst[1] = green.Get(v, h_.masks[1]);
        dst[2] = red.Get(v, h_.masks[0]);
      }
    }
    if (h_.bits == 32 && !any_alpha) {
      pic.alpha.Clear();
      pic.has_alpha = false;
    }
  }

  // Run-length data, bottom-up: (count, index) runs and escapes 0 (end of line), 1 (end of
  // bitmap), 2 (move by dx, dy) and n ≥ 3 (n literal pixels, padded to 16 bits).
  void DecodeRle(TWispBitmap& color) {
    const bool four = h_.compression == kBiRle4;
    int32_t x = 0, y = 0;
    auto put = [&](uint32_t index) {
      if (x < h_.width && y < h_.height)
        color.SetRaw(x, h_.height - 1 - y, index);
      ++x;
    };
    while (y < h_.height && r_.remaining() >= 2) {
      const uint8_t count = r_.U8();
      const uint8_t value = r_.U8();
      if (count > 0) {
        for (int i = 0; i < count; ++i) {
          put(four ? ((i & 1) ? value & 0xF : value >> 4) : value);
        }
      } else if (value == 0) {
        x = 0;
        ++y;
      } else if (value == 1) {
        break;
      } else if (value == 2) {
        x = std::min(x + r_.U8(), h_.width);
        y = std::min(y + r_.U8(), h_.height);
      } else {
        const size_t bytes = four ? (value + 1u) / 2 : value;
        std::span<const uint8_t> literal = r_.Bytes(bytes);
        for (int i = 0; i < value; ++i) {
          put(four ? ((i & 1) ? literal[i / 2] & 0xF : literal[i / 2] >> 4) : literal[i]);
        }
        if (bytes & 1)
          r_.Skip(std::min<size_t>(1, r_.remaining()));
      }
    }
  }

  std::span<const uint8_t> data_;
  BinaryReader r_;
  const WispLimits& limits_;
  BmpHeader h_;
};

} // namespace

TWispFrame DecodeBmpFrame(std::span<const uint8_t> data, const std::string& name,
                          const WispLimits& limits) {
  return BmpDecoder(data, name, limits).Decode();
}

} // namespace nova
