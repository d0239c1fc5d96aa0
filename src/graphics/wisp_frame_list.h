// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "graphics/wisp_bitmap.h"
#include "graphics/wisp_frame.h"

namespace nova {

enum class WispFrames { kAll, kFirstOnly };
// Layers are freed once the file is composed, unless an inspection tool asks to keep them.
enum class WispLayers { kFree, kKeep };

// How SaveToBytes packs planes: 0 zlib, 1 stored, 2 JPEG colour planes with zlib alpha.
struct WispWriteOptions {
  uint8_t compression = 0;
  int jpeg_quality = 70;
  // Orders the rows by the identification code; a permuted file without a code is refused.
  bool permuted = false;
};

// The frames of one picture: a layered image (".wsp"), a PNG or a Windows bitmap. Loading
// composes every frame and keeps only the composites; errors name `name` and the frame.
class TWispFrameList {
public:
  explicit TWispFrameList(int32_t identification_code = 0) : code_(identification_code) {}

  // Layered-image bytes (with or without the "Wisp" magic).
  void LoadFromStream(std::span<const uint8_t> data, const std::string& name,
                      WispFrames frames = WispFrames::kAll, WispLayers layers = WispLayers::kFree);
  // Chooses the format by the lower-cased extension of `name` (".wsp", ".png", ".bmp", ".dib");
  // returns false, loading nothing, for any other extension.
  bool LoadFromMemory(std::span<const uint8_t> data, const std::string& name,
                      WispFrames frames = WispFrames::kAll);
  // As LoadFromMemory, reading a file of the file system (UTF-8 path).
  bool LoadFromFile(const std::string& path, WispFrames frames = WispFrames::kAll);

  // Version 106 with a 40-byte header; permuted (and stored) when the options ask for it.
  std::vector<uint8_t> SaveToBytes(const WispWriteOptions& options = {}) const;
  void SaveToFile(const std::string& path, const WispWriteOptions& options = {}) const;

  int Count() const { return static_cast<int>(frames_.size()); }
  // Raises "Error:TWispFrameList.GetFrame" for an index out of range.
  TWispFrame& Frame(int index);
  const TWispFrame& Frame(int index) const;
  void AddFrame(TWispFrame frame) { frames_.push_back(std::move(frame)); }
  void MakeMasks();
  void Clear();

  int32_t version() const { return version_; }
  int32_t background() const { return background_; }
  void set_background(int32_t color) { background_ = color; }
  bool first_layer_opaque() const { return first_layer_opaque_; }
  void set_first_layer_opaque(bool on) { first_layer_opaque_ = on; }
  int32_t identification_code() const { return code_; }
  // Facts of the last layered file read, for inspection tools.
  uint8_t compression() const { return compression_; }
  WispPoint tile_size() const { return tile_size_; }
  bool permuted() const { return permuted_; }

  void set_limits(const WispLimits& limits) { limits_ = limits; }
  const WispLimits& limits() const { return limits_; }

private:
  friend class WispReader;
  std::vector<TWispFrame> frames_;
  int32_t version_ = 0;
  int32_t background_ = 0;
  int32_t code_ = 0;
  bool first_layer_opaque_ = false;
  uint8_t compression_ = 0;
  WispPoint tile_size_;
  bool permuted_ = false;
  WispLimits limits_;
};

} // namespace nova
