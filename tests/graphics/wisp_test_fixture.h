// SPDX-License-Identifier: MIT
// Hand-built layered-image bytes for the graphics tests: every field is written explicitly so
// that a test reads like the file it describes.
#pragma once
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/binary_writer.h"
#include "graphics/wisp_frame.h"

namespace nova::test {

// Raw pixel values of a frame, top row first.
inline std::vector<uint32_t> RawPixels(const TWispFrame& f) {
  std::vector<uint32_t> out;
  for (int32_t y = 0; y < f.Height(); ++y) {
    for (int32_t x = 0; x < f.Width(); ++x)
      out.push_back(f.picture.color.GetRaw(x, y));
  }
  return out;
}

inline std::vector<uint8_t> Zlib(const std::vector<uint8_t>& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> out(size);
  compress(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
  out.resize(size);
  return out;
}

struct LayerSpec {
  bool visible = true;
  int32_t transparent = -1;
  int32_t opacity = 255;
  bool mask_over_key = false;
  std::vector<uint8_t> color; // stored bytes of the colour plane, already packed
  std::vector<uint8_t> alpha; // stored bytes of the alpha plane; empty: none
};

struct FrameSpec {
  int32_t transparent = -1;
  int32_t display_time = 100;
  int32_t width = 2, height = 2, bits = 24;
  std::vector<uint32_t> palette; // 2^bits entries for 8 bits or less
  std::vector<LayerSpec> layers;
  std::vector<std::vector<int32_t>> visible_regions, opaque_regions;
};

struct FileSpec {
  int version = 106; // 0: no magic
  int32_t background = 0;
  uint8_t compression = 0;
  bool permuted = false;
  int32_t tile_width = 0, tile_height = 0;
  bool first_layer_opaque = false;
  int32_t header_size = 40;
  std::vector<FrameSpec> frames;
};

inline std::vector<uint8_t> BuildWisp(const FileSpec& f) {
  BinaryWriter w;
  if (f.version > 0) {
    std::string magic = "Wisp" + std::to_string(f.version);
    w.Bytes(std::string_view(magic));
  }
  if (f.version < 103) {
    w.I32(static_cast<int32_t>(f.frames.size()));
    w.U8(0); // reserved
    if (f.version >= 102)
      w.I32(f.background);
  } else {
    BinaryWriter h;
    h.I32(f.version);
    h.I32(f.frames.empty() ? 0 : f.frames[0].width);
    h.I32(f.frames.empty() ? 0 : f.frames[0].height);
    h.I32(f.frames.empty() ? 0 : f.frames[0].bits);
    h.I32(static_cast<int32_t>(f.frames.size()));
    h.U8(1);
    h.U8(f.permuted ? 1 : 0);
    h.U8(f.compression);
    h.U8(0);
    h.I32(f.background);
    h.I32(f.tile_width);
    h.I32(f.tile_height);
    h.U8(f.first_layer_opaque ? 1 : 0);
    h.U8(70);
    h.U16(0);
    std::vector<uint8_t> record = h.Take();
    record.resize(static_cast<size_t>(f.header_size), 0);
    w.I32(f.header_size);
    w.Bytes(record);
  }
  for (const FrameSpec& fr : f.frames) {
    w.String("cell");
    w.I32(fr.transparent);
    w.I32(fr.display_time);
    w.U8(7); // kept byte
    w.I32(0);
    w.I32(static_cast<int32_t>(fr.layers.size()));
    w.I32(fr.width);
    w.I32(fr.height);
    w.I32(fr.bits);
    for (uint32_t c : fr.palette)
      w.U32(c);
    for (const LayerSpec& l : fr.layers) {
      w.I32(0);
      w.I32(0);
      w.U8(l.visible ? 1 : 0);
      w.I32(l.transparent);
      w.I32(l.opacity);
      if (f.version > 100)
        w.U8(l.mask_over_key ? 1 : 0);
      w.String("layer");
      w.I32(static_cast<int32_t>(l.color.size()));
      w.Bytes(l.color);
      if (f.version > 99) {
        w.I32(static_cast<int32_t>(l.alpha.size()));
        w.Bytes(l.alpha);
      }
    }
    if (f.version >= 104) {
      for (const auto* list : {&fr.visible_regions, &fr.opaque_regions}) {
        w.I32(static_cast<int32_t>(list->size()));
        for (const auto& r : *list) {
          for (int32_t v : r)
            w.I32(v);
        }
      }
    }
  }
  return w.Take();
}

// Rows of 24-bit pixels (0x00RRGGBB each), padded to 4 bytes.
inline std::vector<uint8_t> Rows24(int32_t width, const std::vector<uint32_t>& pixels) {
  std::vector<uint8_t> out;
  const size_t pitch = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  for (size_t i = 0; i < pixels.size(); i += static_cast<size_t>(width)) {
    size_t start = out.size();
    for (int32_t x = 0; x < width; ++x) {
      uint32_t p = pixels[i + static_cast<size_t>(x)];
      out.push_back(static_cast<uint8_t>(p));
      out.push_back(static_cast<uint8_t>(p >> 8));
      out.push_back(static_cast<uint8_t>(p >> 16));
    }
    out.resize(start + pitch, 0);
  }
  return out;
}

// Rows of 8-bit values (alpha or palette indices), padded to 4 bytes.
inline std::vector<uint8_t> Rows8(int32_t width, const std::vector<uint8_t>& values) {
  std::vector<uint8_t> out;
  const size_t pitch = (static_cast<size_t>(width) + 3) / 4 * 4;
  for (size_t i = 0; i < values.size(); i += static_cast<size_t>(width)) {
    size_t start = out.size();
    out.insert(out.end(), values.begin() + static_cast<ptrdiff_t>(i),
               values.begin() + static_cast<ptrdiff_t>(i) + width);
    out.resize(start + pitch, 0);
  }
  return out;
}

} // namespace nova::test
