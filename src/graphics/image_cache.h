// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "graphics/dibx.h"
#include "graphics/dibx_types.h"
#include "graphics/wisp_bitmap.h"

namespace nova {

class BinaryReader;
class BinaryWriter;
class TVrFileManager;

// One frame of a cached picture, ready to draw.
struct TWispItemFrame {
  TDIBX surface;               // at the screen's bit count; its transparent colour is the key
  std::unique_ptr<TDIBX> mask; // 8-bit alpha, present with an alpha plane or "?m"
  int32_t key_color = -1;      // 0x00BBGGRR, -1 none
  int32_t display_time = 1;    // ms, at least 1
  WispPoint offset;            // where the (trimmed) picture is drawn
  // Image components draw only inside the visible regions (none: the whole picture).
  std::vector<TRect> visible_regions;
  std::vector<TRect> opaque_regions;
};

// Options of a cached picture; they are part of its key.
enum WispOptions : uint8_t { kWispPlain = 0, kWispTrim = 1, kWispMask = 2 };

// One loaded picture, shared by every component that shows it.
class TWispItem {
public:
  const std::string& key() const { return key_; }
  int Count() const { return static_cast<int>(frames_.size()); }
  // Index must be in range (0 … Count() − 1); there is always at least one frame.
  TWispItemFrame& Frame(int index) { return *frames_[static_cast<size_t>(index)]; }
  // Sum of the frames' display times.
  int64_t total_time() const { return total_time_; }
  const std::vector<const void*>& users() const { return users_; }

private:
  friend class TWispCollection;
  std::string key_;
  std::string folded_key_;
  std::vector<std::unique_ptr<TWispItemFrame>> frames_;
  int64_t total_time_ = 0;
  std::vector<const void*> users_;
  bool idle_ = false;
};

// Whether Release frees an item nobody uses or keeps it for Purge.
enum class WispRelease { kFree, kKeepIdle };

// The image cache: loads each picture (title file name + options) once through the virtual
// files and hands out its frames. Main thread only.
class TWispCollection {
public:
  // The largest picture file read: an uncompressed 32-bit bitmap of the largest scene and its
  // headers. A larger entry is refused before it is inflated.
  static constexpr int64_t kMaxPictureFileBytes = int64_t{4096} * 4096 * 4 + 65536;

  // `code` is the project's identification code (it unscrambles permuted images);
  // `screen_bit_count` tells the back surface's bit count (32 when it returns 0 or is empty).
  TWispCollection(TVrFileManager& files, int32_t code, std::function<int()> screen_bit_count = {});
  ~TWispCollection();
  TWispCollection(const TWispCollection&) = delete;
  TWispCollection& operator=(const TWispCollection&) = delete;

  // The item of name + "?m" (kWispMask) + "?t" (kWispTrim), loaded now when new; `user` (any
  // identity, e.g. the component) is recorded once. A missing file gives an 8 × 8 frame that
  // draws nothing; a damaged one throws ENovaError naming it.
  TWispItem* Get(const void* user, const std::string& name, uint8_t options = kWispPlain);
  // Removes the user; an item left without users is freed (or kept idle for Purge).
  void Release(const void* user, TWispItem* item, WispRelease mode = WispRelease::kFree);
  // Frees the idle items of name, name?m, name?t and name?m?t.
  void Purge(const std::string& name);
  // Loads every item again into its frames; `recreate` (after a display-mode change) first gives
  // each frame a new surface at the current screen bit count. Without it, frames with a key and
  // no alpha are left as they are.
  void ReloadAll(bool recreate);
  int Count() const { return static_cast<int>(items_.size()); }

  // @CGDither: dithering onto 15- and 16-bit screens. Changing it reloads every item.
  bool dither() const { return dither_; }
  void SetDither(bool on);
  // The one byte the game save keeps (the dither switch); read only from saves above 100.
  void SaveFlag(BinaryWriter& w) const;
  void LoadFlag(BinaryReader& r, int32_t save_version);

private:
  int ScreenBitCount() const;
  void Load(TWispItem& item, bool reload, bool recreate);
  void LoadPlaceholder(TWispItem& item, bool mask);
  void Free(const std::string& key);

  TVrFileManager& files_;
  int32_t code_;
  std::function<int()> screen_bit_count_;
  bool dither_ = false;
  // Keyed by the upper-cased key: names compare without regard to case.
  std::unordered_map<std::string, std::unique_ptr<TWispItem>> items_;
};

} // namespace nova
