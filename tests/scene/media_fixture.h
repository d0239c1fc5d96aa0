// SPDX-License-Identifier: MIT
// A media library that plays nothing but keeps every item's state, so tests can see what the
// media components asked for.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "scene/kinds/media_services.h"
#include "scene/nova_base_list.h"

namespace nova::test {

struct FakeItemState {
  bool repeat = false, playing = false, paused = false, end = false, visible = false;
  int32_t repeat_pos = 0, pan = 0, volume = 0, position = 0, length = 0;
  std::vector<int32_t> volumes; // every volume set, in order
  int plays = 0;
  bool alive = true;
};

class FakeItem : public IMediaItem {
public:
  explicit FakeItem(std::shared_ptr<FakeItemState> s) : s_(std::move(s)) {}
  ~FakeItem() override { s_->alive = false; }
  void SetAutoRepeat(bool on) override { s_->repeat = on; }
  void SetRepeatPos(int32_t ms) override { s_->repeat_pos = ms; }
  void SetPan(int32_t pan) override { s_->pan = pan; }
  void SetVolume(int32_t v) override {
    s_->volume = v;
    s_->volumes.push_back(v);
  }
  int32_t GetVolume() const override { return s_->volume; }
  int32_t GetPosition() const override { return s_->position; }
  void SetPosition(int32_t ms) override { s_->position = ms; }
  int32_t GetLength() const override { return s_->length; }
  bool IsEnd() override {
    const bool e = s_->end;
    s_->end = false;
    return e;
  }
  bool IsPlaying() const override { return s_->playing; }
  bool IsPaused() const override { return s_->paused; }
  void Play() override {
    s_->playing = true;
    s_->paused = false;
    ++s_->plays;
  }
  void Pause() override {
    s_->playing = false;
    s_->paused = true;
  }
  int32_t GetSourceWidth() const override { return 40; }
  int32_t GetSourceHeight() const override { return 30; }
  bool WindowVisible() const override { return s_->visible; }
  void SetVisible(bool on) override { s_->visible = on; }

private:
  std::shared_ptr<FakeItemState> s_;
};

// Files listed in `lengths` exist with that length in ms; the last item made for each name is
// kept in `items`.
class FakeMediaLibrary : public IMediaLibrary {
public:
  // The library outlives the scenes it serves.
  void Serve(TNovaBaseList& list) { list.SetMediaServices({this, nullptr}); }
  bool FileExists(const std::string& name) override { return lengths.count(name) != 0; }
  std::unique_ptr<IMediaItem> CreateItem(TMediaManagerKind, const std::string& name) override {
    return Make(name);
  }
  std::unique_ptr<IMediaItem> CreateVideo(const std::string& name, bool) override {
    return Make(name);
  }
  std::map<std::string, int32_t> lengths;
  std::map<std::string, std::shared_ptr<FakeItemState>> items;

private:
  std::unique_ptr<IMediaItem> Make(const std::string& name) {
    auto s = std::make_shared<FakeItemState>();
    s->length = lengths.count(name) ? lengths[name] : 0;
    items[name] = s;
    return std::make_unique<FakeItem>(s);
  }
};

} // namespace nova::test
