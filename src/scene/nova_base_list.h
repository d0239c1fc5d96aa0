// SPDX-License-Identifier: MIT
// The scene: every component, the two layers, key and mouse input, the per-frame steps, the
// event queue and the scene's part of the save data.
#pragma once
#include <array>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "scene/color_tables.h"
#include "scene/cursor_file.h"
#include "scene/nova_base.h"
#include "scene/nova_object.h"
#include "scene/scene_services.h"
#include "scene/scene_transition.h"
#include "scene/timer_list.h"

namespace nova {

class ISceneHost;
class TDIBX;
class TMessageRecords;

// Keys that are held repeat after this delay, then at this interval.
constexpr int32_t kKeyRepeatFirstMs = 300;
constexpr int32_t kKeyRepeatNextMs = 50;

class TNovaBaseList : public TNovaComponent {
public:
  // width/height: the scene size. The host may be null (no files, no cursor).
  TNovaBaseList(int32_t width, int32_t height, ISceneHost* host = nullptr);
  ~TNovaBaseList() override;

  // Registry. Adopt completes a new component: default name, registration, refocus request.
  void Adopt(TNovaObject* obj);
  void Register(TNovaObject* obj);
  void Unregister(TNovaObject* obj);
  int GetObjectCount() const { return static_cast<int>(objects_.size()); }
  TNovaObject* GetObject(int i) const;
  int IndexOf(const TNovaObject* obj) const;
  bool IsRegistered(const TNovaObject* obj) const;
  // Registered, or one of the current layers.
  bool IsAlive(const TNovaObject* obj) const;
  void FreeLater(TNovaObject* obj);
  bool IsPendingDelete(const TNovaObject* obj) const;
  // Removes the component from its parent and destroys it with its children.
  void Destroy(TNovaObject* obj);

  // Look-ups. Names compare byte for byte; where several components share a name, the one
  // registered first answers.
  TNovaObject* FindByName(const std::string& name) const;
  TNovaControl* FindControl(const std::string& name) const;
  // The first free name of `stem` followed by a number from `first` up.
  std::string UniqueName(const std::string& stem, int64_t first = 0) const;
  // The first registered component of that name, pending deletion or not; null when none.
  TNovaObject* FirstNamed(const std::string& name) const;
  int ListNames(std::vector<std::string>& out, uint8_t kind, const TNovaObject* parent) const;
  bool NameTaken(const std::string& name) const;
  // Every change of a component's name passes here, so that the name index stays in step.
  void Rename(TNovaObject* obj, std::string name);

  // Layers.
  TNovaBase* GetLayer(int i) const { return layers_[i & 1].get(); }
  int FrontIndex() const { return front_; }
  TNovaBase* Front() const { return GetLayer(front_); }
  TNovaBase* Back() const { return GetLayer(front_ ^ 1); }
  void SetFront(int index, int transition_kind, const TTransitionOptions& options, bool force,
                int32_t step, int32_t duration);
  int32_t TransitionDuration() const;
  void SetTransitionStep(int32_t t);
  bool TransitionRunning() const { return transition_ != nullptr; }
  const TSceneRect& TransitionRect() const { return transition_rect_; }
  void SetTransitionFactory(TTransitionFactory factory) {
    transition_factory_ = std::move(factory);
  }
  const TTransitionFactory& TransitionFactory() const { return transition_factory_; }

  // Scene size and surfaces.
  int32_t SceneWidth() const { return width_; }
  int32_t SceneHeight() const { return height_; }
  void SetSceneSize(int32_t width, int32_t height);
  // The surface the front layer draws into (the screen manager's back surface); without one
  // the list's own surface serves (a cinema's private list).
  void SetScreenSurface(TCustomDIBX* surface);
  TCustomDIBX* ScreenSurface() const;
  int ScreenBitCount() const;
  void ReleaseSurfaces() override;
  void RestoreSurfaces() override;

  // Events.
  TTimerList& Events() { return events_; }
  const TTimerList& Events() const { return events_; }

  // Keys, written by the window.
  void SetKeyState(int code, bool down);
  void SetKeyClicked(int code);
  void ReleaseKeys();
  // Codes 0-255 and the wheel pseudo keys 256 and 257.
  bool KeyDown(int code) const;
  bool KeyClickedBefore(int code) const;
  bool KeyRepeatBefore(int code) const;

  // Pointer, written by the window: position into both layers, presses into the front layer,
  // held state into both.
  void SetPointer(int32_t x, int32_t y);
  void PressButton(bool right);
  void SetButtonHeld(bool right, bool held);
  void TurnWheel(bool down);

  // Focus.
  TNovaControl* Focus() const { return focus_; }
  void SetFocus(TNovaControl* c);
  // @ActiveCompo: only a control that exists, is not paused, is visible and takes keys.
  bool FocusByName(const std::string& name);
  void RequestRefocus() { refocus_requested_ = true; }
  bool RefocusRequested() const { return refocus_requested_; }
  // Drops the focus without events (the focus moved to a hidden place).
  void DropFocus();

  // Per-frame steps, in this order around the interpreter.
  void InputStep();
  void UpdateStep();
  void DrawStep();
  // After presenting: each layer's changed rectangles are cleared.
  void ClearDirty();

  // Screen places are kept from one step to the next. Each control drops its own (and its
  // subtree's) when its geometry changes; the scene drops every one at once by moving the
  // generation on (loading, a new scene size). A control's kept place is current while its
  // generation is the scene's.
  uint64_t PlacementGeneration() const {
    return keep_placements_ || walks_ > 0 ? placement_generation_ : 0;
  }
  // Counts every reported change, so that a place computed while a getter of a kind changed
  // something is not kept.
  uint64_t PlacementChanges() const { return placement_changes_; }
  void NotePlacementChange() {
    ++placement_changes_;
    if (!keep_placements_)
      ++placement_generation_;
  }
  void ForgetPlacements() { ++placement_generation_; }
  // Off: places are remembered only during a walk that moves nothing and dropped at any change
  // anywhere (for measurements and checks against places computed afresh).
  bool KeepPlacements() const { return keep_placements_; }
  void SetKeepPlacements(bool on) {
    keep_placements_ = on;
    ForgetPlacements();
  }
  // Marks a walk that moves nothing (the draw step, a hit test) for its lifetime.
  class TPlacementWalk {
  public:
    explicit TPlacementWalk(TNovaBaseList& list) : list_(list) {
      if (!list_.keep_placements_ && list_.walks_ == 0)
        list_.ForgetPlacements();
      ++list_.walks_;
    }
    ~TPlacementWalk() { --list_.walks_; }
    TPlacementWalk(const TPlacementWalk&) = delete;
    TPlacementWalk& operator=(const TPlacementWalk&) = delete;

  private:
    TNovaBaseList& list_;
  };

  // Switches.
  bool SoundOn() const { return sound_on_; }
  void SetSoundOn(bool on) { sound_on_ = on; }
  // @CGDither: the layered images read it; the whole scene is drawn again.
  bool Dither() const { return dither_; }
  void SetDither(bool on);
  // Grey levels as native pixels at the screen's bit count (glyphs and images use them).
  const TGreyTables& GreyTables() const { return grey_tables_; }

  // Persistence.
  void SaveScene(BinaryWriter& w) const;
  void LoadScene(BinaryReader& r, int version);
  void Reset();

  // The selection components in creation order (menus, map images, preview menus).
  void AddSelection(TNovaControl* c) { selections_.push_back(c); }
  void RemoveSelection(TNovaControl* c);

  ISceneHost* Host() const { return host_; }
  // What the components draw on from outside the scene (scene_services.h).
  const TSceneServices& Services() const { return *services_; }
  void SetMediaServices(TMediaServices media) { services_->media = std::move(media); }
  void SetImageServices(const TImageServices& images) { services_->images = images; }
  void SetHttpGet(THttpGet get) { services_->http_get = std::move(get); }
  void SetEditWindowFactory(TEditWindowFactory f) { services_->edit_windows = std::move(f); }
  void SetMotionFilmLoader(TMotionFilmLoader f) { services_->motion_films = std::move(f); }
  void SetMessageTextObserver(IMessageTextObserver* o) { services_->message_text = o; }
  // Uses `host`'s services from now on, including what is installed there later (a cinema's
  // private scene).
  void ShareServices(const TNovaBaseList& host) { services_ = host.services_; }
  // The message history and read marks the scene's message boxes report to; made on first use
  // (message_records.cpp).
  TMessageRecords& MessageRecords();
  // Nesting of the component being loaded; damaged data cannot nest without end.
  int& LoadDepth() { return load_depth_; }

protected:
  bool Honours(int id, bool write) const override;
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();

private:
  bool KeyState(const std::array<uint8_t, 256>& keys, int code) const;
  void MouseStep(TNovaBase& layer);
  void UpdateCursor(TNovaBase& layer, TNovaControl* target);
  void CreateLayers();
  void DestroyAll();
  // The scene's saved form, one description for both directions (base_list_persist.cpp).
  void SyncScene(TSerializer& s);

  // First: components still reach it while the layers are destroyed.
  std::shared_ptr<TSceneServices> services_ = std::make_shared<TSceneServices>();
  std::array<std::unique_ptr<TNovaBase>, 2> layers_;
  int32_t width_, height_;
  std::unique_ptr<TDIBX> own_surface_;
  TCustomDIBX* screen_surface_ = nullptr;
  int transition_kind_ = 0;
  std::unique_ptr<ISceneTransition> transition_;
  TSceneRect transition_rect_;
  TTransitionFactory transition_factory_;
  int front_ = 0;
  TTimerList events_;
  std::vector<TNovaObject*> objects_;
  // Each registered component with its registration number (the order of objects_).
  std::unordered_map<const TNovaObject*, uint64_t> registered_;
  uint64_t registrations_ = 0;
  // The registered components by name, each list in registration order: a thousand pages
  // creating components must not compare every name with every other.
  std::unordered_map<std::string, std::vector<TNovaObject*>> by_name_;
  // Per stem of UniqueName: a run of numbers known to be taken, so that the n-th default name
  // costs what the first does.
  struct TTakenRun {
    int64_t first = 0;
    int64_t end = 0; // exclusive
  };
  mutable std::unordered_map<std::string, TTakenRun> taken_runs_;
  void IndexName(TNovaObject* obj);
  void UnindexName(TNovaObject* obj);
  std::vector<TNovaObject*> pending_;
  std::vector<TNovaControl*> selections_;
  std::array<uint8_t, 256> key_down_{}, key_clicked_{}, key_clicked_before_{};
  std::array<uint8_t, 256> key_repeat_{}, key_repeat_before_{};
  std::array<int32_t, 256> repeat_timer_{};
  bool sound_on_ = true;
  bool dither_ = false;
  TGreyTables grey_tables_;
  TNovaControl* focus_ = nullptr;
  bool refocus_requested_ = false;
  bool key_down_happened_ = false, key_up_happened_ = false, key_repeat_happened_ = false;
  std::vector<int> keys_down_, keys_up_, keys_repeated_;
  ISceneHost* host_;
  int load_depth_ = 0;
  // The cursor last shown: decoded once per file change; an animated one moves on by the frame
  // time in the input step.
  std::string shown_cursor_file_ = "\x01";
  std::unique_ptr<TCursorAnimation> cursor_;
  size_t cursor_step_ = 0;
  int32_t cursor_step_elapsed_ms_ = 0;
  void AdvanceCursor(int32_t elapsed_ms);
  bool keep_placements_ = true;
  int walks_ = 0;
  uint64_t placement_generation_ = 1, placement_changes_ = 0;
  std::shared_ptr<TMessageRecords> message_records_;
};

} // namespace nova
