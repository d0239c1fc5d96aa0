// SPDX-License-Identifier: MIT
// Windows bitmaps: the reader and the 24-bit writer.
#include <algorithm>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "graphics/dibx.h"
#include "graphics/private/dibx_codecs.h"

namespace nova {
namespace {

constexpr int kMaxSide = 1 << 15;

uint32_t MaskShift(uint32_t mask) { return mask ? __builtin_ctz(mask) : 0; }

// Scales a masked field to 8 bits.
uint32_t Field8(uint32_t v, uint32_t mask) {
  if (!mask)
    return 0;
  const uint32_t max = mask >> MaskShift(mask);
  return ((v & mask) >> MaskShift(mask)) * 255 / max;
}

} // namespace

void DecodeBmp(std::span<const uint8_t> bytes, const std::string& name, TDIBX& picture) {
  BinaryReader r(bytes, name);
  if (r.U16() != 0x4D42)
    r.Fail("not a bitmap");
  r.Skip(8);
  const uint32_t dataOffset = r.U32();
  const size_t infoStart = r.position();
  const uint32_t infoSize = r.U32();
  int32_t width, height;
  uint16_t bitCount;
  uint32_t compression = 0, paletteCount = 0;
  if (infoSize == 12) {
    width = r.U16();
    height = r.I16();
    r.Skip(2);
    bitCount = r.U16();
  } else if (infoSize >= 40) {
    width = r.I32();
    height = r.I32();
    r.Skip(2);
    bitCount = r.U16();
    compression = r.U32();
    r.Skip(12);
    paletteCount = r.U32();
    r.Skip(4);
  } else {
    r.Fail("unsupported bitmap header size " + std::to_string(infoSize));
  }
  const bool topDown = height < 0;
  const int64_t h64 = topDown ? -int64_t{height} : height;
  if (width <= 0 || h64 <= 0 || width > kMaxSide || h64 > kMaxSide)
    r.Fail("bad bitmap size " + std::to_string(width) + " x " + std::to_string(h64));
  const int h = static_cast<int>(h64);
  uint32_t masks[3] = {0, 0, 0};
  if (compression == 3 && (bitCount == 16 || bitCount == 32)) {
    r.Seek(infoStart + 40);
    for (uint32_t& m : masks)
      m = r.U32();
  } else if (compression != 0) {
    r.Fail("unsupported bitmap compression " + std::to_string(compression));
  } else if (bitCount == 16) {
    masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
  } else {
    masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
  }
  const bool indexed = bitCount == 1 || bitCount == 4 || bitCount == 8;
  if (!indexed && bitCount != 16 && bitCount != 24 && bitCount != 32)
    r.Fail("unsupported bit count " + std::to_string(bitCount));

  TPaletteEntry palette[256] = {};
  if (indexed) {
    const uint32_t entries = paletteCount ? std::min<uint32_t>(paletteCount, 256) : 1u << bitCount;
    const size_t entrySize = infoSize == 12 ? 3 : 4;
    r.Seek(infoStart + infoSize);
    r.CheckCount(entries, entrySize, "palette");
    for (uint32_t i = 0; i < entries; ++i) {
      palette[i].Blue = r.U8();
      palette[i].Green = r.U8();
      palette[i].Red = r.U8();
      if (entrySize == 4)
        r.Skip(1);
    }
  }
  const int64_t rowBytes = ((int64_t{width} * bitCount + 31) / 32) * 4;
  if (dataOffset > bytes.size() || rowBytes * h > int64_t(bytes.size() - dataOffset))
    r.Fail("bitmap pixel data is truncated");
  picture.SetSize(width, h, indexed ? bitCount : 32);
  if (indexed)
    picture.SetPalette(palette);
  for (int row = 0; row < h; ++row) {
    const uint8_t* src = bytes.data() + dataOffset + rowBytes * row;
    const int y = topDown ? row : h - 1 - row;
    for (int x = 0; x < width; ++x) {
      uint32_t v;
      switch (bitCount) {
      case 1:
      case 4:
      case 8: {
        const int bit = x * bitCount;
        v = (src[bit >> 3] >> (8 - bitCount - (bit & 7))) & ((1u << bitCount) - 1);
        picture.SetPixel(x, y, v);
        continue;
      }
      case 16:
        v = src[x * 2] | (src[x * 2 + 1] << 8);
        break;
      case 24:
        v = src[x * 3] | (src[x * 3 + 1] << 8) | (uint32_t{src[x * 3 + 2]} << 16);
        break;
      default:
        v = src[x * 4] | (src[x * 4 + 1] << 8) | (uint32_t{src[x * 4 + 2]} << 16) |
            (uint32_t{src[x * 4 + 3]} << 24);
        break;
      }
      picture.SetPixel(
          x, y, (Field8(v, masks[0]) << 16) | (Field8(v, masks[1]) << 8) | Field8(v, masks[2]));
    }
  }
}

std::vector<uint8_t> EncodeBmp24(TCustomDIBX& surface) {
  const int w = surface.Width(), h = surface.Height();
  const uint32_t rowBytes = static_cast<uint32_t>(((int64_t{w} * 24 + 31) / 32) * 4);
  const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(h);
  BinaryWriter out;
  out.U16(0x4D42);
  out.U32(14 + 40 + imageBytes);
  out.U32(0);
  out.U32(14 + 40);
  out.U32(40);
  out.I32(w);
  out.I32(h);
  out.U16(1);
  out.U16(24);
  out.U32(0);
  out.U32(imageBytes);
  out.I32(2835); // 72 dpi
  out.I32(2835);
  out.U32(0);
  out.U32(0);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t c = surface.PixelToColor(surface.GetPixel(x, y));
      out.U8(static_cast<uint8_t>(c >> 16));
      out.U8(static_cast<uint8_t>(c >> 8));
      out.U8(static_cast<uint8_t>(c));
    }
    for (uint32_t pad = uint32_t(w) * 3; pad < rowBytes; ++pad)
      out.U8(0);
  }
  return out.Take();
}

} // namespace nova
