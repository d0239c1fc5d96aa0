// SPDX-License-Identifier: MIT
#include <cstring>
#include <string>

#include "base/binary_reader.h"
#include "base/nova_error.h"
#include "graphics/private/wisp_codecs.h"
#include "graphics/private/wisp_planes.h"
#include "graphics/wisp_permutation.h"

namespace nova {

namespace {

[[noreturn]] void Fail(const std::string& what) { throw ENovaError(what); }

void DecodeJpegPlane(std::span<const uint8_t> stored, TWispBitmap& out) {
  if (out.bit_count() != 24 && out.bit_count() != 32) {
    Fail("a JPEG colour plane needs a 24- or 32-bit frame, not " + std::to_string(out.bit_count()) +
         " bits");
  }
  JpegTarget target{out.bytes().data(), out.pitch(), out.width(), out.height(),
                    out.bit_count() / 8};
  std::string problem = JpegDecode(stored, target);
  if (!problem.empty())
    Fail("JPEG colour plane: " + problem);
}

// Rows in the stored order; with a permutation the i-th stored row goes to row p(i).
void DecodeRows(std::span<const uint8_t> rows, const WispPlaneLayout& layout, TWispBitmap& out) {
  if (rows.size() != out.bytes().size()) {
    Fail("plane holds " + std::to_string(rows.size()) + " bytes instead of " +
         std::to_string(out.bytes().size()));
  }
  if (!layout.permuted) {
    std::memcpy(out.bytes().data(), rows.data(), rows.size());
    return;
  }
  std::vector<uint32_t> order = PermutationOrder(layout.code, static_cast<uint32_t>(out.height()));
  for (uint32_t i = 0; i < order.size(); ++i) {
    std::memcpy(out.Row(static_cast<int32_t>(order[i])), rows.data() + i * out.pitch(),
                out.pitch());
  }
}

struct TileGrid {
  int32_t tw, th, columns, rows;
  int32_t Count() const { return columns * rows; }
};

TileGrid GridFor(const TWispBitmap& out, const WispPlaneLayout& layout) {
  TileGrid g{layout.tile_width, layout.tile_height, 0, 0};
  g.columns = static_cast<int32_t>((int64_t{out.width()} + g.tw - 1) / g.tw);
  g.rows = static_cast<int32_t>((int64_t{out.height()} + g.th - 1) / g.th);
  return g;
}

// Most bytes a tile-layout plane can unpack to: the table plus every tile stored raw.
size_t TiledPlaneBound(const TWispBitmap& out, const TileGrid& g) {
  size_t column_bytes = 0;
  for (int32_t c = 0; c < g.columns; ++c) {
    int32_t w = std::min(g.tw, out.width() - c * g.tw);
    column_bytes += (static_cast<size_t>(w) * out.bit_count() + 7) / 8;
  }
  return static_cast<size_t>(g.Count()) * 8 + column_bytes * static_cast<size_t>(out.height());
}

const TWispBitmap& ReferencedPlane(const std::vector<TWispFrame>& earlier, int32_t frame,
                                   int32_t layer, WispPlaneKind kind) {
  if (static_cast<size_t>(frame) >= earlier.size()) {
    Fail("tile refers to frame " + std::to_string(frame) + ", which is not read yet");
  }
  const TWispFrame& f = earlier[static_cast<size_t>(frame)];
  if (layer < 0 || static_cast<size_t>(layer) >= f.layers.size()) {
    Fail("tile refers to layer " + std::to_string(layer) + " of frame " + std::to_string(frame) +
         ", which does not exist");
  }
  const TWispPicture& p = f.layers[static_cast<size_t>(layer)].picture;
  if (kind == WispPlaneKind::kAlpha && !p.has_alpha) {
    Fail("tile refers to the alpha plane of layer " + std::to_string(layer) + " of frame " +
         std::to_string(frame) + ", which has none");
  }
  return kind == WispPlaneKind::kAlpha ? p.alpha : p.color;
}

void DecodeTiles(std::span<const uint8_t> data, const WispPlaneLayout& layout, WispPlaneKind kind,
                 const std::vector<TWispFrame>& earlier, TWispBitmap& out) {
  const TileGrid g = GridFor(out, layout);
  BinaryReader r(data, "tile table");
  r.CheckCount(g.Count(), 8, "tile table");
  std::vector<std::pair<int32_t, int32_t>> table(static_cast<size_t>(g.Count()));
  std::vector<uint32_t> order;
  if (layout.permuted)
    order = PermutationOrder(layout.code, static_cast<uint32_t>(g.Count()));
  for (size_t i = 0; i < table.size(); ++i) {
    int32_t a = r.I32();
    int32_t b = r.I32();
    table[layout.permuted ? order[i] : i] = {a, b};
  }
  for (int32_t t = 0; t < g.Count(); ++t) {
    const int32_t x = (t % g.columns) * g.tw, y = (t / g.columns) * g.th;
    const int32_t w = std::min(g.tw, out.width() - x), h = std::min(g.th, out.height() - y);
    const auto [a, b] = table[static_cast<size_t>(t)];
    if (a == -1) {
      const size_t row_bytes = (static_cast<size_t>(w) * out.bit_count() + 7) / 8;
      std::span<const uint8_t> raw = r.Bytes(row_bytes * static_cast<size_t>(h));
      if (out.bit_count() >= 8) {
        const size_t offset = static_cast<size_t>(x) * (out.bit_count() / 8);
        for (int32_t row = 0; row < h; ++row) {
          std::memcpy(out.Row(y + row) + offset, raw.data() + row * row_bytes, row_bytes);
        }
      } else {
        TWispBitmap tile;
        tile.SetSize(w, h, out.bit_count());
        for (int32_t row = 0; row < h; ++row) {
          std::memcpy(tile.Row(row), raw.data() + row * row_bytes, row_bytes);
        }
        out.CopyArea(x, y, tile, 0, 0, w, h);
      }
    } else if (a == -2) {
      if (b < 0 || b >= t)
        Fail("tile " + std::to_string(t) + " repeats tile " + std::to_string(b) +
             ", which is not decoded before it");
      const int32_t sx = (b % g.columns) * g.tw, sy = (b / g.columns) * g.th;
      if (sx + w > out.width() || sy + h > out.height()) {
        Fail("tile " + std::to_string(t) + " repeats tile " + std::to_string(b) +
             ", which is smaller");
      }
      out.CopyArea(x, y, out, sx, sy, w, h);
    } else if (a >= 0) {
      const TWispBitmap& src = ReferencedPlane(earlier, a, b, kind);
      if (src.bit_count() != out.bit_count() || x + w > src.width() || y + h > src.height()) {
        Fail("tile " + std::to_string(t) + " refers to frame " + std::to_string(a) + ", layer " +
             std::to_string(b) + ", whose plane does not cover it");
      }
      out.CopyArea(x, y, src, x, y, w, h);
    } else {
      Fail("tile " + std::to_string(t) + " has the unknown kind " + std::to_string(a));
    }
  }
}

} // namespace

void DecodeWispPlane(std::span<const uint8_t> stored, const WispPlaneLayout& layout,
                     WispPlaneKind kind, const std::vector<TWispFrame>& earlier, TWispBitmap& out) {
  if (layout.compression == WispCompression::kJpeg && kind == WispPlaneKind::kColor) {
    DecodeJpegPlane(stored, out);
    return;
  }
  const bool zlib = layout.compression != WispCompression::kStored;
  if (!layout.tiled()) {
    if (!zlib) {
      DecodeRows(stored, layout, out);
    } else if (!layout.permuted) {
      // Straight into the picture: no intermediate buffer for the common case.
      if (!ZlibInflate(stored, out.bytes()))
        Fail("zlib data is damaged or of the wrong size");
    } else {
      std::vector<uint8_t> rows(out.bytes().size());
      if (!ZlibInflate(stored, rows))
        Fail("zlib data is damaged or of the wrong size");
      DecodeRows(rows, layout, out);
    }
    return;
  }
  if (!zlib) {
    DecodeTiles(stored, layout, kind, earlier, out);
    return;
  }
  std::vector<uint8_t> unpacked;
  if (!ZlibInflateAtMost(stored, TiledPlaneBound(out, GridFor(out, layout)), unpacked)) {
    Fail("zlib data is damaged or larger than the plane");
  }
  DecodeTiles(unpacked, layout, kind, earlier, out);
}

std::vector<uint8_t> EncodeWispPlane(const TWispBitmap& plane, WispCompression compression,
                                     WispPlaneKind kind, int32_t code, int quality) {
  if (compression == WispCompression::kJpeg && kind == WispPlaneKind::kColor) {
    return JpegEncode(plane.bytes().data(), plane.pitch(), plane.width(), plane.height(),
                      plane.bit_count() / 8, quality);
  }
  std::vector<uint8_t> rows(plane.bytes().begin(), plane.bytes().end());
  if (code != 0) {
    std::vector<uint32_t> order = PermutationOrder(code, static_cast<uint32_t>(plane.height()));
    for (uint32_t i = 0; i < order.size(); ++i) {
      std::memcpy(rows.data() + i * plane.pitch(), plane.Row(static_cast<int32_t>(order[i])),
                  plane.pitch());
    }
  }
  if (compression == WispCompression::kStored)
    return rows;
  return ZlibDeflate(rows);
}

} // namespace nova
