// SPDX-License-Identifier: MIT
// The layered-image file format: reader and writer side by side.
#include <algorithm>
#include <cstring>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "graphics/private/graphics_texts.h"
#include "graphics/private/wisp_compose.h"
#include "graphics/private/wisp_planes.h"
#include "graphics/wisp_frame_list.h"

namespace nova {

namespace {

constexpr int32_t kHeaderRecordBytes = 40;
constexpr int32_t kWrittenVersion = 106;

struct WispHeader {
  int32_t version = 0;
  int32_t frame_count = 0;
  int32_t background = 0;
  bool first_layer_opaque = false;
  WispPlaneLayout layout;
};

bool IsValidBitCount(int32_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
}

} // namespace

// Reads one layered file into a frame list; a friend of TWispFrameList.
class WispReader {
public:
  WispReader(TWispFrameList& list, std::span<const uint8_t> data, const std::string& name)
      : list_(list), r_(data, "image \"" + name + "\""), name_(name) {}

  void Read(WispFrames which, WispLayers layers) {
    ReadPreamble();
    const int32_t count =
        which == WispFrames::kFirstOnly ? std::min(h_.frame_count, 1) : h_.frame_count;
    for (int32_t i = 0; i < count; ++i) {
      frame_index_ = i;
      list_.frames_.push_back(ReadFrame());
      // Only later frames can refer to a layer, so the last frame's layers may be given away.
      const bool last_use = layers == WispLayers::kFree && i == count - 1;
      Compose(list_.frames_.back(), last_use);
    }
    if (layers == WispLayers::kFree) {
      for (TWispFrame& f : list_.frames_)
        f.layers.clear();
    }
  }

private:
  [[noreturn]] void Fail(const std::string& problem) const {
    throw ENovaError("image \"" + name_ + "\", frame " + std::to_string(frame_index_) + ": " +
                     problem);
  }

  void ReadPreamble() {
    int32_t version = 0;
    if (r_.remaining() >= 7 && std::memcmp(r_.Bytes(4).data(), "Wisp", 4) == 0) {
      std::span<const uint8_t> digits = r_.Bytes(3);
      for (uint8_t d : digits) {
        if (d < '0' || d > '9')
          r_.Fail("the version after \"Wisp\" is not three digits");
        version = version * 10 + (d - '0');
      }
    } else {
      r_.Seek(0); // no magic: the whole stream is a version-0 file
    }
    h_.version = version;
    if (version < 103) {
      h_.frame_count = r_.I32();
      r_.Skip(1);
      if (version >= 102)
        h_.background = r_.I32();
    } else {
      const int32_t size = r_.I32();
      if (size < 0 || size > kHeaderRecordBytes) {
        r_.Fail("header record of " + std::to_string(size) + " bytes (at most 40)");
      }
      // Fields beyond a short record keep their zero defaults.
      uint8_t record[kHeaderRecordBytes] = {};
      std::span<const uint8_t> bytes = r_.Bytes(static_cast<size_t>(size));
      std::memcpy(record, bytes.data(), bytes.size());
      BinaryReader h({record, sizeof record}, r_.what());
      h.Skip(16);
      h_.frame_count = h.I32();
      h.Skip(1);
      h_.layout.permuted = h.U8() != 0;
      const uint8_t compression = h.U8();
      if (compression > 2)
        r_.Fail("unknown compression " + std::to_string(compression));
      h_.layout.compression = static_cast<WispCompression>(compression);
      h.Skip(1);
      h_.background = h.I32();
      h_.layout.tile_width = h.I32();
      h_.layout.tile_height = h.I32();
      if (h_.layout.tile_width < 0 || h_.layout.tile_height < 0)
        r_.Fail("negative tile size");
      h_.first_layer_opaque = version >= 105 && h.U8() != 0;
    }
    // Each frame takes at least 33 bytes, so the count cannot outrun the file.
    r_.CheckCount(h_.frame_count, 33, "frame count");
    h_.layout.code = list_.code_;
    list_.version_ = version;
    list_.background_ = h_.background;
    list_.first_layer_opaque_ = h_.first_layer_opaque;
    list_.compression_ = static_cast<uint8_t>(h_.layout.compression);
    list_.tile_size_ = {h_.layout.tile_width, h_.layout.tile_height};
    list_.permuted_ = h_.layout.permuted;
  }

  void Allocate(int32_t width, int32_t height, int32_t bits) {
    const WispLimits& limits = list_.limits_;
    if (width <= 0 || height <= 0 || width > limits.max_side || height > limits.max_side ||
        int64_t{width} * height > limits.max_pixels) {
      Fail("picture size " + std::to_string(width) + "x" + std::to_string(height) +
           " is out of range");
    }
    allocated_ += static_cast<int64_t>(BitmapRowBytes(width, bits)) * height;
    if (allocated_ > limits.max_total_bytes)
      Fail("the pictures exceed the memory allowed per file");
  }

  TWispFrame ReadFrame() {
    TWispFrame f;
    f.name = r_.String();
    const int32_t transparent = r_.I32();
    f.display_time = r_.I32();
    f.kept = r_.U8();
    r_.Skip(4);
    const int32_t layer_count = r_.I32();
    const int32_t width = r_.I32(), height = r_.I32(), bits = r_.I32();
    if (!IsValidBitCount(bits))
      Fail("bit count " + std::to_string(bits) + " is not supported");
    current_bits_ = bits;
    // A layer takes at least 26 bytes.
    if (layer_count < 0 || static_cast<uint64_t>(layer_count) * 26 > r_.remaining()) {
      Fail("layer count " + std::to_string(layer_count) + " does not fit the file");
    }
    Allocate(width, height, bits);
    // Pixels come with the composite; the shape and palette are needed now.
    f.picture.color.SetSize(width, height, bits, WispPixels::kNone);
    if (bits <= 8) {
      for (uint32_t i = 0; i < (1u << bits); ++i)
        f.picture.color.palette()[i] = r_.U32() & 0xFFFFFF;
    }
    f.SetTransparent(transparent);
    f.layers.reserve(static_cast<size_t>(layer_count));
    for (int32_t i = 0; i < layer_count; ++i)
      f.layers.push_back(ReadLayer(f, i));
    if (h_.version >= 104) {
      f.visible_regions = ReadRegions();
      f.opaque_regions = ReadRegions();
    }
    return f;
  }

  TWispLayer ReadLayer(const TWispFrame& f, int32_t index) {
    TWispLayer layer;
    r_.Skip(8);
    layer.visible = r_.U8() != 0;
    layer.transparent = r_.I32();
    layer.opacity = r_.I32();
    if (h_.version > 100)
      layer.mask_over_key = r_.U8() != 0;
    layer.name = r_.String();
    const TWispBitmap& frame_color = f.picture.color;
    Allocate(frame_color.width(), frame_color.height(), frame_color.bit_count());
    layer.picture.color.SetSize(frame_color.width(), frame_color.height(), frame_color.bit_count(),
                                PlaneInit(WispPlaneKind::kColor));
    layer.picture.color.palette() = frame_color.palette();
    ReadPlane(index, WispPlaneKind::kColor, layer.picture.color);
    if (h_.version > 99) {
      const int32_t alpha_size = r_.I32();
      if (alpha_size > 0) {
        Allocate(frame_color.width(), frame_color.height(), 8);
        layer.picture.alpha.SetSize(frame_color.width(), frame_color.height(), 8,
                                    PlaneInit(WispPlaneKind::kAlpha));
        layer.picture.has_alpha = true;
        ReadPlaneBytes(index, WispPlaneKind::kAlpha, alpha_size, layer.picture.alpha);
      }
    }
    return layer;
  }

  // Row planes are written whole (zlib and stored ones must match the size exactly, 32-bit JPEG
  // rows have no padding); tiles and 24-bit JPEG rows leave padding to zero.
  WispPixels PlaneInit(WispPlaneKind kind) const {
    const WispPlaneLayout layout = h_.version < 103 ? WispPlaneLayout{} : h_.layout;
    if (layout.tiled())
      return WispPixels::kZeroed;
    const bool jpeg = kind == WispPlaneKind::kColor && layout.compression == WispCompression::kJpeg;
    return jpeg && current_bits_ != 32 ? WispPixels::kZeroed : WispPixels::kUninitialized;
  }

  void ReadPlane(int32_t layer, WispPlaneKind kind, TWispBitmap& out) {
    ReadPlaneBytes(layer, kind, r_.I32(), out);
  }

  void ReadPlaneBytes(int32_t layer, WispPlaneKind kind, int32_t size, TWispBitmap& out) {
    const char* plane = kind == WispPlaneKind::kColor ? "colour" : "alpha";
    if (size < 0 || static_cast<size_t>(size) > r_.remaining()) {
      Fail("layer " + std::to_string(layer) + ": " + plane + " plane of " + std::to_string(size) +
           " bytes does not fit the file");
    }
    std::span<const uint8_t> stored = r_.Bytes(static_cast<size_t>(size));
    // Files without a header record are zlib rows, never tiled or permuted.
    WispPlaneLayout layout = h_.version < 103 ? WispPlaneLayout{} : h_.layout;
    try {
      DecodeWispPlane(stored, layout, kind, list_.frames_, out);
    } catch (const ENovaError& e) {
      Fail("layer " + std::to_string(layer) + ": " + plane + " plane: " + e.what());
    }
  }

  std::vector<TRect> ReadRegions() {
    const int32_t count = r_.I32();
    r_.CheckCount(count, 16, "region count");
    std::vector<TRect> regions(static_cast<size_t>(count));
    for (TRect& rect : regions) {
      rect.Left = r_.I32();
      rect.Top = r_.I32();
      rect.Right = r_.I32();
      rect.Bottom = r_.I32();
    }
    return regions;
  }

  // Whether a visible layer is drawn by copying it whole (its alpha plane too, if it brings one).
  bool CopiesWhole(const TWispLayer& layer, bool first) const {
    if (layer.picture.has_alpha && layer.mask_over_key)
      return first;
    return (layer.transparent == -1 || (first && h_.first_layer_opaque)) && layer.opacity == 255;
  }

  void Compose(TWispFrame& f, bool last_use) {
    TWispPicture& pic = f.picture;
    const int32_t w = pic.color.width(), h = pic.color.height(), bits = pic.color.bit_count();
    auto layer = std::find_if(f.layers.begin(), f.layers.end(),
                              [](const TWispLayer& l) { return l.visible; });
    if (layer != f.layers.end() && CopiesWhole(*layer, true)) {
      // The bottom layer covers the background: it becomes the picture as it is.
      TWispPicture& src = layer->picture;
      const bool alpha = src.has_alpha && layer->mask_over_key;
      if (last_use) {
        pic.color = std::move(src.color);
        if (alpha)
          pic.alpha = std::move(src.alpha);
      } else {
        pic.color = src.color;
        if (alpha)
          pic.alpha = src.alpha;
      }
      pic.has_alpha = alpha;
      ++layer;
    } else {
      pic.color.SetSize(w, h, bits, WispPixels::kUninitialized);
      pic.color.Fill(pic.color.ColorToRaw(static_cast<uint32_t>(h_.background)));
    }
    for (; layer != f.layers.end(); ++layer) {
      if (!layer->visible)
        continue;
      const TWispPicture& src = layer->picture;
      if (src.has_alpha && layer->mask_over_key) {
        ComposeMasked(pic.color, src.color, src.alpha);
      } else if (CopiesWhole(*layer, false)) {
        ComposeKeyed(pic.color, src.color, -1, 255);
      } else {
        ComposeKeyed(pic.color, src.color, layer->transparent, layer->opacity);
      }
    }
  }

  TWispFrameList& list_;
  BinaryReader r_;
  std::string name_;
  WispHeader h_;
  int32_t frame_index_ = 0;
  int32_t current_bits_ = 0;
  int64_t allocated_ = 0;
};

void TWispFrameList::LoadFromStream(std::span<const uint8_t> data, const std::string& name,
                                    WispFrames frames, WispLayers layers) {
  Clear();
  try {
    WispReader(*this, data, name).Read(frames, layers);
  } catch (...) {
    Clear();
    throw;
  }
}

std::vector<uint8_t> TWispFrameList::SaveToBytes(const WispWriteOptions& options) const {
  if (options.permuted && code_ == 0)
    throw ENovaError(GraphicsText(kTextSetIdentificationCode));
  if (options.compression > 2) {
    throw ENovaError("compression " + std::to_string(options.compression) + " is unknown");
  }
  const int32_t code = options.permuted ? code_ : 0;
  const auto compression =
      static_cast<WispCompression>(options.permuted ? uint8_t{1} : options.compression);
  BinaryWriter w;
  w.Bytes(std::string_view("Wisp106"));
  w.I32(kHeaderRecordBytes);
  w.I32(kWrittenVersion);
  const TWispFrame* first = frames_.empty() ? nullptr : &frames_.front();
  w.I32(first ? first->Width() : 0);
  w.I32(first ? first->Height() : 0);
  w.I32(first ? first->BitCount() : 0);
  w.I32(Count());
  w.U8(1);
  w.U8(options.permuted ? 1 : 0);
  w.U8(static_cast<uint8_t>(compression));
  w.U8(0);
  w.I32(background_);
  w.I32(0);
  w.I32(0);
  w.U8(first_layer_opaque_ ? 1 : 0);
  w.U8(static_cast<uint8_t>(std::clamp(options.jpeg_quality, 1, 100)));
  w.U16(0);
  for (const TWispFrame& f : frames_) {
    if (compression == WispCompression::kJpeg && f.BitCount() < 24) {
      throw ENovaError("frame \"" + f.name + "\" has a palette and cannot be stored as JPEG");
    }
    w.String(f.name);
    w.I32(f.transparent);
    w.I32(f.display_time);
    w.U8(f.kept);
    w.I32(0);
    // The composite is written as one layer: the frame's picture as it is shown.
    w.I32(1);
    w.I32(f.Width());
    w.I32(f.Height());
    w.I32(f.BitCount());
    if (f.BitCount() <= 8) {
      for (uint32_t i = 0; i < (1u << f.BitCount()); ++i)
        w.U32(f.picture.color.palette()[i]);
    }
    w.I32(0);
    w.I32(0);
    w.U8(1);
    w.I32(-1);
    w.I32(255);
    w.U8(f.HasAlpha() ? 1 : 0);
    w.String("Layer");
    std::vector<uint8_t> color = EncodeWispPlane(f.picture.color, compression,
                                                 WispPlaneKind::kColor, code, options.jpeg_quality);
    w.I32(static_cast<int32_t>(color.size()));
    w.Bytes(color);
    if (f.HasAlpha()) {
      std::vector<uint8_t> alpha =
          EncodeWispPlane(f.picture.alpha, compression, WispPlaneKind::kAlpha, code, 0);
      w.I32(static_cast<int32_t>(alpha.size()));
      w.Bytes(alpha);
    } else {
      w.I32(0);
    }
    w.I32(0);
    w.I32(0);
  }
  return w.Take();
}

} // namespace nova
