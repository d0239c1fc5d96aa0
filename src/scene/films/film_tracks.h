// SPDX-License-Identifier: MIT
// The tracks of a film: each shows one component during its span of frames (or drives the
// page transitions) and brings it into the state of a given frame.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/film_file.h"
#include "scene/films/film_math.h"

namespace nova {

class TFilmManager;
class TNovaControl;
class TNovaObject;
class TWispCollection;
class TWispItem;
struct TWispItemFrame;

// One cell of an image-showing track: a frame of the cached picture (none for labels).
struct TCustomFrame {
  TWispItemFrame* picture = nullptr;
  int32_t width = 0, height = 0;
  TFilmPoint offset;
  int32_t duration = 1; // film frames, at least 1
};

class TCustomFrameList {
public:
  TCustomFrameList(TFilmManager& film, const TFilmTrack& record);
  virtual ~TCustomFrameList();
  TCustomFrameList(const TCustomFrameList&) = delete;
  TCustomFrameList& operator=(const TCustomFrameList&) = delete;

  uint8_t Kind() const { return rec_.kind; }
  const TFilmTrack& Record() const { return rec_; }
  TCustomFrameList* Predecessor() const { return predecessor_; }
  // First frame: the own start, or where the predecessor ends.
  int64_t StartFrame() const { return start_frame_; }
  int64_t EndFrame() const { return start_frame_ + Length(); }
  int64_t Length() const { return rec_.length > 0 ? rec_.length : 0; }
  bool HasFollower() const { return has_follower_; }
  // The first track of this track's chain of tracks of its kind, and the frame after that
  // chain's last track.
  TCustomFrameList* ChainHead() const { return head_; }
  int64_t ChainEnd() const { return chain_end_; }
  int64_t Cycle() const { return cycle_; }
  const std::vector<TCustomFrame>& Cells() const { return cells_; }
  // The cell shown at elapsed frame p: p mod the cycle, then the first cell whose running sum
  // of durations exceeds it (the last cell when none does); -1 without cells.
  int CellAt(int64_t elapsed) const;

  // Called by the manager once the film is read: links, start frames, chain values.
  void Link(TCustomFrameList* predecessor, int64_t start_frame, TCustomFrameList* head);
  void SetChainEnd(int64_t end) { chain_end_ = end; }
  void SetHasFollower() { has_follower_ = true; }
  // Takes the predecessor's end values as start values (a chain moves continuously).
  void TakeStartValues(const TFilmTrack& predecessor);
  // After loading: pictures from the cache, cells and cycle.
  virtual void Prepare() {}
  // Brings the component into the state of frame f; false when the track is not active.
  virtual bool SetTime(int64_t f) = 0;
  virtual void SetPaused(bool) {}
  // Frees the track's own component (never a driven one).
  virtual void HideComponent();
  TNovaObject* Component() const { return component_; }

protected:
  // The values at elapsed frame p of this track.
  int64_t Span() const { return Length() + (has_follower_ ? 1 : 0); }
  int32_t Int(int32_t s, int32_t e, uint8_t curve, int64_t p) const {
    return FilmInterpolate(s, e, p, Span(), curve);
  }
  double Real(double s, double e, uint8_t curve, int64_t p) const {
    return FilmInterpolate(s, e, p, Span(), curve);
  }
  bool Active(int64_t f) const { return f >= start_frame_ && f < EndFrame(); }
  // Positions moved for a relative motion.
  TFilmPoint StartPos() const { return Shifted(rec_.start_pos); }
  TFilmPoint EndPos() const { return Shifted(rec_.end_pos); }
  TFilmPoint Shifted(TFilmPoint p) const;
  // Left, top, width and height from the interpolated corners (box, particle and tile tracks).
  TFilmClip BoundsAt(int64_t p) const;
  // The component to drive: the motion's target, or this track's own (made by `make` when
  // missing and placed in its page).
  template <class T> T* Ensure();
  TNovaControl* Target() const;
  // Places the own component in its page (or under the cinema).
  void PlaceInPage();
  // Clears the component pointer when the scene destroyed it meanwhile.
  void CheckAlive();

  TFilmManager& film_;
  TFilmTrack rec_;
  TCustomFrameList* predecessor_ = nullptr;
  TCustomFrameList* head_ = this;
  int64_t start_frame_ = 0, chain_end_ = 0, cycle_ = 0;
  bool has_follower_ = false;
  std::vector<TCustomFrame> cells_;
  TNovaObject* component_ = nullptr;
  // The component was made for this frame: values that stay the same over the track are set
  // once then (and every frame on a driven control, which scripts may change).
  bool fresh_ = false;
  bool TakeFresh() {
    const bool once = fresh_ || Target();
    fresh_ = false;
    return once;
  }
};

// Image, label and tile tracks.
class TCustomImageFrameList : public TCustomFrameList {
public:
  using TCustomFrameList::TCustomFrameList;
  bool SetTime(int64_t f) override;

protected:
  struct TImageValues {
    int cell = 0;
    TFilmPoint pos, offset;
    double zoom_x = 1, zoom_y = 1, angle = 0;
    int32_t opacity = 255, blur_span = 0, blur_delay = 0;
    TFilmClip crop;
  };
  virtual void Apply(const TImageValues& v, int64_t p) = 0;
};

class TImageFrameList : public TCustomImageFrameList {
public:
  using TCustomImageFrameList::TCustomImageFrameList;
  ~TImageFrameList() override;
  void Prepare() override;
  void HideComponent() override;

protected:
  void Apply(const TImageValues& v, int64_t p) override;
  // Makes `c` stop showing a picture of this track's cells.
  void DropPicture(TNovaControl& c);
  TWispCollection* cache_ = nullptr;
  TWispItem* item_ = nullptr;
};

class TTileFrameList : public TImageFrameList {
public:
  using TImageFrameList::TImageFrameList;

protected:
  void Apply(const TImageValues& v, int64_t p) override;
};

class TLabelFrameList : public TCustomImageFrameList {
public:
  using TCustomImageFrameList::TCustomImageFrameList;
  void Prepare() override;

protected:
  void Apply(const TImageValues& v, int64_t p) override;
};

// Box, particle and flame tracks.
class TRectFrameList : public TCustomFrameList {
public:
  using TCustomFrameList::TCustomFrameList;

protected:
  // Bounds from the interpolated corners (box and particle).
  void ApplyBounds(TNovaControl& c, int64_t p);
  void ApplyPriority(TNovaControl& c);
};

class TBoxFrameList : public TRectFrameList {
public:
  using TRectFrameList::TRectFrameList;
  bool SetTime(int64_t f) override;
};

class TParticleFrameList : public TRectFrameList {
public:
  using TRectFrameList::TRectFrameList;
  void Prepare() override { HideComponent(); }
  bool SetTime(int64_t f) override;
};

class TFireFrameList : public TRectFrameList {
public:
  using TRectFrameList::TRectFrameList;
  bool SetTime(int64_t f) override;
};

// Switches the film's pages with a screen transition; the manager drives it.
class TWipeFrameList : public TCustomFrameList {
public:
  using TCustomFrameList::TCustomFrameList;
  bool SetTime(int64_t f) override { return Active(f); }
};

class TSoundFrameList : public TCustomFrameList {
public:
  using TCustomFrameList::TCustomFrameList;
  void Prepare() override { HideComponent(); }
  bool SetTime(int64_t f) override;
  void SetPaused(bool paused) override;
  // Makes the chain's sound component ready: created, opened, paused.
  void Ready();

private:
  void Pause();
  int64_t last_frame_ = 0;
};

// The class of a track kind; null for a kind without one.
std::unique_ptr<TCustomFrameList> MakeFrameList(TFilmManager& film, const TFilmTrack& record);

} // namespace nova
