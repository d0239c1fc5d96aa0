// SPDX-License-Identifier: MIT
// The frames an image component shows: one cached picture, its frames, and per frame an
// optional brightness-adjusted copy, taken from the scene's image cache.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "scene/scene_services.h"

namespace nova {

class TCustomDIBX;
class TDIBX;
class TParamCollection;
class TWispCollection;
class TWispItem;
struct TWispItemFrame;
struct TRect;

// One frame of a list with its brightness.
class TNovaImageData {
public:
  explicit TNovaImageData(TWispItemFrame& frame) : frame_(&frame) {}
  // The frame's surface, or the adjusted copy when the brightness is not 0.
  TCustomDIBX* Surface() const;
  TCustomDIBX* Mask() const;
  int32_t KeyColor() const;
  int32_t DisplayTime() const;
  const std::vector<TRect>& VisibleRegions() const;
  int32_t Brightness() const { return brightness_; }
  // True when `s` is this frame's brightness-adjusted copy (owned here, not by the cache).
  bool IsAdjustedCopy(const TCustomDIBX* s) const;
  // A positive value adds that grey level, a negative one subtracts it (saturating).
  void SetBrightness(int32_t b);
  void ReleaseCopy();
  void RestoreCopy();

private:
  void BuildCopy();

  TWispItemFrame* frame_;
  int32_t brightness_ = 0;
  std::unique_ptr<TDIBX> copy_;
};

class TNovaImageList {
public:
  TNovaImageList() = default;
  TNovaImageList(const TNovaImageList&) = delete;
  TNovaImageList& operator=(const TNovaImageList&) = delete;
  ~TNovaImageList() { Clear(); }

  // Takes the cached item of `file` for `user` and gives it back to the same cache; an
  // unreadable file, or no cache, leaves the list empty.
  void Load(TWispCollection* cache, const void* user, const std::string& file);
  void Clear();
  int Count() const { return static_cast<int>(frames_.size()); }
  // Null when out of range.
  TNovaImageData* Frame(int i) const;
  TWispItem* Item() const { return item_; }
  const std::string& FileName() const { return file_; }
  void ReleaseSurfaces();
  void RestoreSurfaces();

  // For lists that run by themselves.
  int current = 0;
  int32_t countdown = 0;

private:
  TWispCollection* cache_ = nullptr;
  const void* user_ = nullptr;
  TWispItem* item_ = nullptr;
  std::string file_;
  std::vector<std::unique_ptr<TNovaImageData>> frames_;
};

// Keeps a cached item alive for a holder that is not the item's loader (afterimages).
class TImageItemHold {
public:
  TImageItemHold() = default;
  TImageItemHold(const TImageItemHold&) = delete;
  TImageItemHold& operator=(const TImageItemHold&) = delete;
  ~TImageItemHold();
  void Hold(TWispCollection* cache, const void* user, const std::string& file);
  bool Empty() const { return item_ == nullptr; }

private:
  TWispCollection* cache_ = nullptr;
  const void* user_ = nullptr;
  TWispItem* item_ = nullptr;
};

} // namespace nova
