// SPDX-License-Identifier: MIT
#include "scene/films/film_manager.h"

#include <algorithm>

#include "base/nova_error.h"
#include "scene/nova_base.h"
#include "scene/nova_base_list.h"
#include "vfs/vr_file_manager.h"

namespace nova {
namespace {

int64_t Clamp32(int64_t v) { return std::clamp<int64_t>(v, INT32_MIN, INT32_MAX); }

constexpr int32_t kMaxFilmSceneSide = 2048;

} // namespace

TFilmManager::TFilmManager() = default;

TFilmManager::~TFilmManager() { Clear(); }

void TFilmManager::Clear() {
  // Tracks free their components; the wipe in force goes with them.
  tracks_.clear();
  current_wipe_ = nullptr;
  relative_ = 0;
  origin_ = {};
  loop_start_ = 0;
  length_ = 0;
  stopped_at_unknown_kind_ = false;
}

void TFilmManager::SetResources(TWispCollection* cache, TVrFileManager* files) {
  cache_ = cache;
  files_ = files;
}

bool TFilmManager::FileExists(const std::string& name) const {
  return !files_ || files_->Exists(name);
}

void TFilmManager::LoadFromFile(const std::string& name) {
  if (!files_)
    throw ENovaError("film " + name + ": no title files to read it from");
  const TMemoryStream bytes = files_->Load(name);
  LoadFromBytes(bytes.Bytes(), name);
}

void TFilmManager::LoadFromBytes(std::span<const uint8_t> bytes, const std::string& name) {
  Clear();
  Load(ReadFilm(bytes, name));
}

void TFilmManager::Load(const TFilmFile& file) {
  Clear();
  tag_index_ = file.tag_index;
  width_ = file.width;
  height_ = file.height;
  back_color_ = file.back_color;
  relative_ = file.relative;
  origin_ = file.origin;
  loop_start_ = file.loop_start;
  stopped_at_unknown_kind_ = file.stopped_at_unknown_kind;
  std::vector<int32_t> predecessors;
  for (const TFilmTrack& record : file.tracks)
    if (std::unique_ptr<TCustomFrameList> track = MakeFrameList(*this, record)) {
      tracks_.push_back(std::move(track));
      predecessors.push_back(record.predecessor);
    }
  LinkTracks(predecessors);
  for (auto& track : tracks_)
    track->Prepare();
  int64_t length = 0;
  for (auto& track : tracks_)
    length = std::max(length, track->EndFrame());
  length_ = static_cast<int32_t>(Clamp32(length));
}

// Chains come from the file: an index outside the list, or one that closes a cycle, leaves
// the track unchained.
void TFilmManager::LinkTracks(const std::vector<int32_t>& predecessors) {
  const size_t n = tracks_.size();
  std::vector<int32_t> pred(n, -1);
  for (size_t i = 0; i < n; ++i)
    if (predecessors[i] >= 0 && static_cast<size_t>(predecessors[i]) < n)
      pred[i] = predecessors[i];
  // Walk each chain once; a walk that meets itself cuts the link that closed the loop.
  enum : uint8_t { kNew, kWalking, kDone };
  std::vector<uint8_t> state(n, kNew);
  std::vector<int64_t> start(n, 0);
  std::vector<size_t> head(n, 0);
  std::vector<size_t> walk;
  for (size_t i = 0; i < n; ++i) {
    walk.clear();
    size_t j = i;
    while (state[j] == kNew) {
      state[j] = kWalking;
      walk.push_back(j);
      if (pred[j] < 0)
        break;
      const size_t p = static_cast<size_t>(pred[j]);
      if (state[p] == kWalking) {
        pred[j] = -1;
        break;
      }
      j = p;
    }
    // Resolve from the chain's root outwards.
    for (auto it = walk.rbegin(); it != walk.rend(); ++it) {
      const size_t k = *it;
      const TFilmTrack& rec = tracks_[k]->Record();
      if (pred[k] < 0) {
        start[k] = rec.start;
        head[k] = k;
      } else {
        const size_t p = static_cast<size_t>(pred[k]);
        start[k] = Clamp32(start[p] + tracks_[p]->Length());
        // Components are shared along a chain of one kind only.
        head[k] = tracks_[p]->Kind() == tracks_[k]->Kind() ? head[p] : k;
      }
      state[k] = kDone;
    }
  }
  for (size_t i = 0; i < n; ++i) {
    TCustomFrameList* p = pred[i] >= 0 ? tracks_[static_cast<size_t>(pred[i])].get() : nullptr;
    tracks_[i]->Link(p, start[i], tracks_[head[i]].get());
    if (p) {
      p->SetHasFollower();
      tracks_[i]->TakeStartValues(p->Record());
    }
  }
  std::vector<int64_t> chain_end(n, INT64_MIN);
  for (size_t i = 0; i < n; ++i)
    chain_end[head[i]] = std::max(chain_end[head[i]], tracks_[i]->EndFrame());
  for (size_t i = 0; i < n; ++i)
    tracks_[i]->SetChainEnd(chain_end[head[i]]);
}

TCustomFrameList* TFilmManager::Track(int index) const {
  return index >= 0 && index < TrackCount() ? tracks_[static_cast<size_t>(index)].get() : nullptr;
}

void TFilmManager::SetTarget(TNovaControl* target) { target_ = target; }

void TFilmManager::SetSize(int32_t width, int32_t height) {
  width_ = width;
  height_ = height;
  // The size comes from the file: the scene's surfaces are capped as a cinema caps its own.
  if (scene_)
    scene_->SetSceneSize(std::clamp(width, 0, kMaxFilmSceneSide),
                         std::clamp(height, 0, kMaxFilmSceneSide));
}

void TFilmManager::SetBackColor(int32_t color) {
  back_color_ = color;
  if (scene_ && color >= 0)
    for (int i = 0; i < 2; ++i)
      scene_->GetLayer(i)->SetColor(color);
}

void TFilmManager::Start() {
  if (!target_ && !cinema_) {
    SetSize(width_, height_);
    SetBackColor(back_color_);
  }
  for (auto& track : tracks_)
    if (track->Kind() == fkSound && !track->Predecessor())
      static_cast<TSoundFrameList&>(*track).Ready();
}

bool TFilmManager::NeedsOwnScene() const {
  return std::any_of(tracks_.begin(), tracks_.end(),
                     [](const auto& t) { return t->Kind() == fkWipe || t->Record().next_page; });
}

TCustomFrameList* TFilmManager::FirstTrackAtZero() const {
  for (const auto& t : tracks_)
    if (t->StartFrame() == 0)
      return t.get();
  return nullptr;
}

bool TFilmManager::HasPlacingTrack() const {
  return std::any_of(tracks_.begin(), tracks_.end(),
                     [](const auto& t) { return t->Kind() != fkWipe && t->Kind() != fkSound; });
}

void TFilmManager::CollectFiles(std::vector<std::string>& list) const {
  for (const auto& t : tracks_) {
    const uint8_t k = t->Kind();
    if (k != fkImage && k != fkTile && k != fkSound && k != fkParticle)
      continue;
    const std::string& name = t->Record().source;
    if (!name.empty() && std::find(list.begin(), list.end(), name) == list.end() && files_ &&
        files_->Exists(name))
      list.push_back(name);
  }
}

int TFilmManager::PageOf(const TCustomFrameList& track) const {
  int parity = 0;
  for (const auto& t : tracks_)
    if (t->Kind() == fkWipe && t->Length() > 0 && t->EndFrame() - 1 <= track.StartFrame())
      parity ^= 1;
  return parity ^ (track.Record().next_page ? 1 : 0);
}

std::string TFilmManager::NamePrefix() const {
  if (cinema_)
    return "\x01" + cinema_->GetName() + "\x01";
  return "\x01";
}

void TFilmManager::SetPlaying(bool playing) {
  playing_ = playing ? 1 : 0;
  if (!playing)
    for (auto& t : tracks_)
      if (t->Kind() == fkSound)
        t->SetPaused(true);
}

void TFilmManager::SetPaused(bool paused) {
  if ((paused ? 1 : 0) == paused_)
    return;
  paused_ = paused ? 1 : 0;
  for (auto& t : tracks_)
    t->SetPaused(paused);
}

void TFilmManager::SetFrame(int32_t frame) {
  const int64_t f = frame;
  for (auto& t : tracks_)
    t->SetTime(f);
  if (!target_ && !cinema_ && scene_)
    DriveWipe(f);
  if (scene_)
    scene_->Front()->SortChildren();
  current_frame_ = frame;
}

void TFilmManager::DriveWipe(int64_t f) {
  TCustomFrameList* current = nullptr;
  int parity = 0;
  for (auto& t : tracks_) {
    if (t->Kind() != fkWipe)
      continue;
    if (f >= t->StartFrame() && f < t->EndFrame())
      current = t.get();
    if (f >= t->EndFrame())
      parity ^= 1;
  }
  if (current) {
    const TFilmTrack& r = current->Record();
    TTransitionOptions options;
    options.reverse = r.reverse != 0;
    options.param0 = r.param0;
    options.param1 = r.param1;
    if (!r.mask_name.empty())
      options.mask_name = r.mask_name;
    scene_->SetFront(parity, r.wipe_kind, options, current != current_wipe_,
                     static_cast<int32_t>(f - current->StartFrame()),
                     static_cast<int32_t>(current->Length()));
  } else {
    scene_->SetFront(parity, 0, {}, current_wipe_ != nullptr, 0, 0);
  }
  current_wipe_ = current;
}

} // namespace nova
