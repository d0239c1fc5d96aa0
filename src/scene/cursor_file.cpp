// SPDX-License-Identifier: MIT
#include "scene/cursor_file.h"

#include <png.h>

#include <algorithm>
#include <cstring>
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

// Directory entries of newer icons and cursors hold a whole PNG file instead of a bitmap.
bool IsPng(std::span<const uint8_t> bytes) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return bytes.size() >= 8 && std::memcmp(bytes.data(), kSignature, 8) == 0;
}

std::unique_ptr<TCursorImage> DecodePng(std::span<const uint8_t> bytes, int hot_x, int hot_y) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
    return nullptr;
  // The size is checked before anything is allocated for it.
  constexpr auto kMaxSide = static_cast<png_uint_32>(kMaxCursorSide);
  if (image.width == 0 || image.height == 0 || image.width > kMaxSide || image.height > kMaxSide) {
    png_image_free(&image);
    return nullptr;
  }
  // Bytes blue, green, red, alpha, put together as 0xAARRGGBB words below.
  image.format = PNG_FORMAT_BGRA;
  auto img = std::make_unique<TCursorImage>();
  img->width = static_cast<int32_t>(image.width);
  img->height = static_cast<int32_t>(image.height);
  img->hot_x = hot_x;
  img->hot_y = hot_y;
  std::vector<uint8_t> rgba(static_cast<size_t>(image.width) * image.height * 4);
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    return nullptr;
  }
  img->argb.resize(static_cast<size_t>(image.width) * image.height);
  for (size_t i = 0; i < img->argb.size(); ++i) {
    const uint8_t* p = &rgba[i * 4];
    img->argb[i] = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                   (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
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
  const std::span<const uint8_t> entry = bytes.subspan(best_offset, best_size);
  return IsPng(entry) ? DecodePng(entry, best_hx, best_hy) : DecodeDib(entry, best_hx, best_hy);
}

// The chunks of an animated cursor that decide what it shows.
struct TAniChunks {
  bool has_header = false;
  uint32_t frames = 0, steps = 0, rate = 0, flags = 0;
  std::span<const uint8_t> rates, sequence;
  std::vector<std::span<const uint8_t>> icons;
};

// Animated cursors with more frames than this are damaged.
constexpr size_t kMaxAniFrames = 256;
// The "anih" flag that says the "seq " chunk orders the steps.
constexpr uint32_t kAniSequence = 2;

void ReadFrameList(BinaryReader& r, size_t end, TAniChunks& out) {
  while (r.position() + 8 <= end) {
    const std::string sub = r.FixedString(4);
    const uint32_t sub_size = r.U32();
    if (sub_size > end - r.position())
      r.Fail("frame chunk runs past its list");
    if (sub == "icon") {
      if (out.icons.size() == kMaxAniFrames)
        r.Fail("more than " + std::to_string(kMaxAniFrames) + " frames");
      out.icons.push_back(r.Bytes(sub_size));
    } else {
      r.Skip(sub_size);
    }
    if (sub_size & 1 && r.position() < end)
      r.Skip(1);
  }
}

TAniChunks ReadAniChunks(std::span<const uint8_t> bytes) {
  BinaryReader r(bytes, "animated cursor");
  TAniChunks out;
  if (r.FixedString(4) != "RIFF")
    r.Fail("no RIFF header");
  r.U32();
  if (r.FixedString(4) != "ACON")
    r.Fail("no ACON form");
  while (r.remaining() >= 8) {
    const std::string id = r.FixedString(4);
    const uint32_t size = r.U32();
    if (size > r.remaining())
      r.Fail("chunk \"" + id + "\" runs past the end");
    const size_t end = r.position() + size;
    if (id == "anih" && size >= 36) {
      r.U32(); // header size
      out.frames = r.U32();
      out.steps = r.U32();
      r.Skip(16); // width, height, bit count, planes
      out.rate = r.U32();
      out.flags = r.U32();
      out.has_header = true;
    } else if (id == "rate") {
      out.rates = r.Bytes(size);
    } else if (id == "seq ") {
      out.sequence = r.Bytes(size);
    } else if (id == "LIST" && size >= 4 && r.FixedString(4) == "fram") {
      ReadFrameList(r, end, out);
    }
    r.Seek(end);
    if (size & 1 && r.remaining() > 0)
      r.Skip(1);
  }
  return out;
}

// A display time in jiffies (1/60 s) as milliseconds; 0 counts as one jiffy.
int32_t JiffiesToMs(uint32_t jiffies) {
  return static_cast<int32_t>(std::clamp<uint64_t>(jiffies, 1, 1u << 20) * 1000 / 60);
}

std::unique_ptr<TCursorAnimation> DecodeAni(std::span<const uint8_t> bytes) {
  const TAniChunks chunks = ReadAniChunks(bytes);
  auto anim = std::make_unique<TCursorAnimation>();
  for (std::span<const uint8_t> icon : chunks.icons) {
    std::unique_ptr<TCursorImage> frame = DecodeIconDirectory(icon);
    if (!frame)
      return nullptr;
    anim->frames.push_back(std::move(*frame));
  }
  if (anim->frames.empty())
    return nullptr;
  const size_t frames = anim->frames.size();
  if (!chunks.has_header) {
    anim->sequence = {0};
    anim->step_ms = {0};
    return anim;
  }
  const bool sequenced = (chunks.flags & kAniSequence) != 0 && !chunks.sequence.empty();
  // Steps beyond what the chunks hold are not shown: a count is never trusted alone.
  size_t steps = chunks.steps != 0 ? chunks.steps : frames;
  steps = std::min(steps, sequenced ? chunks.sequence.size() / 4 : frames);
  if (!chunks.rates.empty())
    steps = std::min(steps, chunks.rates.size() / 4);
  if (steps == 0)
    return nullptr;
  BinaryReader seq(chunks.sequence, "animated cursor sequence");
  BinaryReader rates(chunks.rates, "animated cursor rates");
  for (size_t i = 0; i < steps; ++i) {
    const uint32_t frame = sequenced ? seq.U32() : static_cast<uint32_t>(i);
    if (frame >= frames)
      return nullptr;
    anim->sequence.push_back(frame);
    anim->step_ms.push_back(JiffiesToMs(chunks.rates.empty() ? chunks.rate : rates.U32()));
  }
  if (!anim->Animated())
    anim->step_ms = {0};
  return anim;
}

} // namespace

std::unique_ptr<TCursorAnimation> DecodeCursorAnimation(std::span<const uint8_t> bytes) {
  try {
    if (bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0)
      return DecodeAni(bytes);
    std::unique_ptr<TCursorImage> img = DecodeIconDirectory(bytes);
    if (!img)
      return nullptr;
    auto anim = std::make_unique<TCursorAnimation>();
    anim->frames.push_back(std::move(*img));
    anim->sequence = {0};
    anim->step_ms = {0};
    return anim;
  } catch (const ENovaError&) {
    return nullptr;
  }
}

std::unique_ptr<TCursorImage> DecodeCursorFile(std::span<const uint8_t> bytes) {
  std::unique_ptr<TCursorAnimation> anim = DecodeCursorAnimation(bytes);
  if (!anim)
    return nullptr;
  return std::make_unique<TCursorImage>(anim->Step(0));
}

} // namespace nova
