// SPDX-License-Identifier: MIT
// A loaded film: its tracks and the frame they show. Cinemas, motions and preview menus drive
// it by setting a frame; the tracks create, move and free their components in a scene.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "graphics/film_file.h"
#include "scene/films/film_tracks.h"

namespace nova {

class TNovaBaseList;
class TNovaControl;
class TVrFileManager;
class TWispCollection;

class TFilmManager {
public:
  TFilmManager();
  ~TFilmManager();
  TFilmManager(const TFilmManager&) = delete;
  TFilmManager& operator=(const TFilmManager&) = delete;

  // Where pictures come from (none: no pictures) and which files exist (none: every picture
  // is asked of the cache). Set before loading.
  void SetResources(TWispCollection* cache, TVrFileManager* files);
  TWispCollection* Cache() const { return cache_; }
  bool FileExists(const std::string& name) const;
  // Reads the film from a title file, or from bytes. `name` names errors and is the base of
  // relative resource names. A damaged film throws ENovaError naming the file.
  void LoadFromFile(const std::string& name);
  void LoadFromBytes(std::span<const uint8_t> bytes, const std::string& name);
  // Builds the tracks of an already read film.
  void Load(const TFilmFile& file);
  void Clear();

  int TrackCount() const { return static_cast<int>(tracks_.size()); }
  TCustomFrameList* Track(int index) const;
  int32_t Length() const { return length_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t BackColor() const { return back_color_; }
  int32_t LoopStart() const { return loop_start_; }
  int32_t CurrentFrame() const { return current_frame_; }
  bool Relative() const { return relative_ != 0; }
  TFilmPoint Origin() const { return origin_; }
  uint8_t TagIndex() const { return tag_index_; }
  bool StoppedAtUnknownKind() const { return stopped_at_unknown_kind_; }

  void SetScene(TNovaBaseList* scene) { scene_ = scene; }
  TNovaBaseList* Scene() const { return scene_; }
  // Plays inside the main scene: track components become the cinema's children.
  void SetCinema(TNovaControl* cinema) { cinema_ = cinema; }
  TNovaControl* Cinema() const { return cinema_; }
  // Drives one existing component instead of creating components.
  void SetTarget(TNovaControl* target);
  TNovaControl* Target() const { return target_; }
  bool DrivesComponent() const { return target_ != nullptr; }
  void SetMotionBase(int32_t x, int32_t y) { base_pos_ = {x, y}; }
  void SetMotionBasePriority(int32_t priority) { base_priority_ = priority; }
  TFilmPoint MotionBase() const { return base_pos_; }
  int32_t MotionBasePriority() const { return base_priority_; }

  void SetSize(int32_t width, int32_t height);
  void SetBackColor(int32_t color);
  void Start();
  void SetFrame(int32_t frame);
  bool Playing() const { return playing_ != 0; }
  void SetPlaying(bool playing);
  bool Paused() const { return paused_ != 0; }
  void SetPaused(bool paused);
  int32_t Volume() const { return volume_; }
  void SetVolume(int32_t per_mille) { volume_ = per_mille; }
  bool NeedsOwnScene() const;
  TCustomFrameList* FirstTrackAtZero() const;
  // Resource names of image, sound and particle tracks whose files exist, each once.
  void CollectFiles(std::vector<std::string>& list) const;
  // True when some track places a component (positions depend on where a motion starts).
  bool HasPlacingTrack() const;

  // For the tracks: the page parity of a track's component, the prefix of created names.
  int PageOf(const TCustomFrameList& track) const;
  std::string NamePrefix() const;

private:
  void LinkTracks(const std::vector<int32_t>& predecessors);
  void DriveWipe(int64_t f);

  TWispCollection* cache_ = nullptr;
  TVrFileManager* files_ = nullptr;
  std::vector<std::unique_ptr<TCustomFrameList>> tracks_;
  int32_t width_ = 0, height_ = 0;
  int32_t back_color_ = -1;
  int32_t current_frame_ = -1;
  TCustomFrameList* current_wipe_ = nullptr;
  uint8_t playing_ = 1;
  uint8_t relative_ = 0;
  TFilmPoint origin_;
  int32_t loop_start_ = 0;
  uint8_t paused_ = 0;
  int32_t volume_ = 1000;
  int32_t length_ = 0;
  TNovaControl* cinema_ = nullptr;
  TNovaBaseList* scene_ = nullptr;
  uint8_t tag_index_ = 0;
  TNovaControl* target_ = nullptr;
  TFilmPoint base_pos_;
  int32_t base_priority_ = 0;
  bool stopped_at_unknown_kind_ = false;
};

} // namespace nova
