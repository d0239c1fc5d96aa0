// SPDX-License-Identifier: MIT
#include "scene/cursor_file.h"

#include <algorithm>
#include <string>

#include "base/binary_reader.h"
#include "base/nova_error.h"

namespace nova {
namespace {

// Cursors are small; anything claiming more is damaged.
constexpr int32_t kMaxCursorSide = 256;

std::unique_ptr<TCursorImage> DecodeDib(std::span<const uint8_t> dib, int hot_x, int hot_y) {
  BinaryReader r(dib, "cursor bitmap");
  const uint32_t header = r.U32();
  if (header < 40 || header > dib.size())
    return nullptr;
  const int32_t w = r.I32();
  const int32_t h2 = r.I32();
  r.U16(); // planes
  const int bits = r.U16();
  const uint32_t compression = r.U32();
  if (compression != 0)
    return nullptr;
  r.Skip(12);
  uint32_t colours_used = r.U32();
  const int32_t h = h2 / 2; // the height counts the colour and the mask rows
  if (w <= 0 || h <= 0 || w > kMaxCursorSide || h > kMaxCursorSide)
    return nullptr;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
    return nullptr;
  r.Seek(header);
  std::vector<uint32_t> palette;
  if (bits <= 8) {
    const uint32_t n = colours_used ? std::min<uint32_t>(colours_used, 1u << bits) : 1u << bits;
    for (uint32_t i = 0; i < n; ++i)
      palette.push_back(r.U32() & 0xFFFFFF);
    palette.resize(1u << bits, 0);
  }
  const size_t colour_pitch = ((static_cast<size_t>(w) * bits + 31) / 32) * 4;
  const size_t mask_pitch = ((static_cast<size_t>(w) + 31) / 32) * 4;
  std::span<const uint8_t> colour = r.Bytes(colour_pitch * static_cast<size_t>(h));
  std::span<const uint8_t> mask;
  if (r.remaining() >= mask_pitch * static_cast<size_t>(h))
    mask = r.Bytes(mask_pitch * static_cast<size_t>(h));
  auto img = std::make_unique<TCursorImage>();
  img->width = w;
  img->height = h;
  img->hot_x = hot_x;
  img->hot_y = hot_y;
  img->argb.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
  bool any_alpha = false;
  for (int32_t y = 0; y < h; ++y) {
    // Rows are stored bottom-up.
    const uint8_t* row = colour.data() + colour_pitch * static_cast<size_t>(h - 1 - y);
    for (int32_t x = 0; x < w; ++x) {
      uint32_t px = 0;
      switch (bits) {
      case 1:
        px = palette[(row[x / 8] >> (7 - x % 8)) & 1];
        break;
      case 4:
        px = palette[(row[x / 2] >> (x % 2 ? 0 : 4)) & 15];
        break;
      case 8:
        px = palette[row[x]];
        break;
      case 24:
        px = row[x * 3] | (row[x * 3 + 1] << 8) | (row[x * 3 + 2] << 16);
        break;
      case 32:
        px = static_cast<uint32_t>(row[x * 4]) | (row[x * 4 + 1] << 8) | (row[x * 4 + 2] << 16) |
             (static_cast<uint32_t>(row[x * 4 + 3]) << 24);
        any_alpha = any_alpha || (px >> 24) != 0;
        break;
      }
      img->argb[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] = px;
    }
  }
  // Without per-pixel alpha the AND mask decides: set bits are transparent.
  if (!any_alpha) {
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        bool transparent = false;
        if (!mask.empty()) {
          const uint8_t* mrow = mask.data() + mask_pitch * static_cast<size_t>(h - 1 - y);
          transparent = (mrow[x / 8] >> (7 - x % 8)) & 1;
        }
        uint32_t& px =
            img->argb[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
        px = transparent ? 0 : (px | 0xFF000000u);
      }
  }
  return img;
}

std::unique_ptr<TCursorImage> DecodeIconDirectory(std::span<const uint8_t> bytes) {
  BinaryReader r(bytes, "cursor file");
  if (r.U16() != 0)
    return nullptr;
  const uint16_t type = r.U16();
  if (type != 1 && type != 2)
    return nullptr;
  const uint16_t count = r.U16();
  r.CheckCount(count, 16, "cursor image count");
  int best = -1, best_area = -1;
  uint32_t best_offset = 0, best_size = 0;
  int best_hx = 0, best_hy = 0;
  for (int i = 0; i < count; ++i) {
    r.Seek(6 + static_cast<size_t>(i) * 16);
    int ew = r.U8(), eh = r.U8();
    if (ew == 0)
      ew = 256;
    if (eh == 0)
      eh = 256;
    r.Skip(2);
    const int hx = r.U16(), hy = r.U16();
    const uint32_t size = r.U32(), offset = r.U32();
    if (ew * eh > best_area) {
      best = i;
      best_area = ew * eh;
      best_offset = offset;
      best_size = size;
      best_hx = type == 2 ? hx : 0;
      best_hy = type == 2 ? hy : 0;
    }
  }
  if (best < 0 || best_offset > bytes.size() || best_size > bytes.size() - best_offset)
    return nullptr;
  return DecodeDib(bytes.subspan(best_offset, best_size), best_hx, best_hy);
}

// The first "icon" chunk of the "fram" list of an animated cursor.
std::span<const uint8_t> FirstAniFrame(std::span<const uint8_t> bytes) {
  BinaryReader r(bytes, "animated cursor");
  if (r.FixedString(4) != "RIFF")
    return {};
  r.U32();
  if (r.FixedString(4) != "ACON")
    return {};
  while (r.remaining() >= 8) {
    const std::string id = r.FixedString(4);
    const uint32_t size = r.U32();
    if (size > r.remaining())
      return {};
    if (id == "LIST" && size >= 4) {
      const size_t end = r.position() + size;
      if (r.FixedString(4) == "fram") {
        while (r.position() + 8 <= end) {
          const std::string sub = r.FixedString(4);
          const uint32_t sub_size = r.U32();
          if (sub_size > end - r.position())
            return {};
          if (sub == "icon")
            return r.Bytes(sub_size);
          r.Skip(sub_size + (sub_size & 1));
        }
      }
      r.Seek(end);
    } else {
      r.Skip(size);
    }
    if (size & 1 && r.remaining() > 0)
      r.Skip(1);
  }
  return {};
}

} // namespace

std::unique_ptr<TCursorImage> DecodeCursorFile(std::span<const uint8_t> bytes) {
  try {
    if (bytes.size() >= 12 && bytes[0] == 'R' && bytes[1] == 'I' && bytes[2] == 'F' &&
        bytes[3] == 'F') {
      std::span<const uint8_t> frame = FirstAniFrame(bytes);
      return frame.empty() ? nullptr : DecodeIconDirectory(frame);
    }
    return DecodeIconDirectory(bytes);
  } catch (const ENovaError&) {
    return nullptr;
  }
}

} // namespace nova
