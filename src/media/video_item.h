// SPDX-License-Identifier: MIT
// One playing movie: the item the video component drives. Its time is the player's game
// clock, so a movie runs in step with the scene, stops when the player stops, and a headless
// run shows the same picture at the same virtual time on every run. Pictures are decoded on
// demand, when the component asks whether to repaint or draws.
#pragma once
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "media/video_decoder.h"

namespace nova {

class IAudioOutput;
class TCustomDIBX;
class TStream;
class TVideoSound;

// What items share: the clock they follow, the output their sound goes to (may be null) and
// the log that hears of files that cannot be played.
struct TVideoContext {
  std::function<int64_t()> clock_ms;
  IAudioOutput* audio = nullptr;
  std::function<void(const std::string&)> log;
  TVideoLimits limits;
};

class TVideoItem {
public:
  using TOpener = std::function<std::unique_ptr<TStream>()>;
  // Opens the movie with `open`. A file that cannot be opened or decoded gives an item that
  // shows nothing and reports its end once it is played; one line naming the file and the
  // fault goes to the log.
  TVideoItem(const TVideoContext& context, const std::string& name, const TOpener& open,
             bool into_surface);
  ~TVideoItem();
  TVideoItem(const TVideoItem&) = delete;
  TVideoItem& operator=(const TVideoItem&) = delete;

  bool GetAutoRepeat() const { return repeat_; }
  void SetAutoRepeat(bool on) { repeat_ = on; }
  int32_t GetRepeatPos() const { return repeat_pos_; }
  void SetRepeatPos(int32_t ms) { repeat_pos_ = std::max(ms, 0); }
  int32_t GetPan() const { return pan_; }
  void SetPan(int32_t pan);
  int32_t GetVolume() const { return volume_; }
  void SetVolume(int32_t volume);
  int32_t GetPosition();
  void SetPosition(int32_t ms);
  int32_t GetLength() const { return length_ms_; }
  // True once when the end was reached; the mark clears when it is reported.
  bool IsEnd();
  bool IsPlaying();
  bool IsPaused() const { return paused_; }
  void Play();
  void Pause();

  int32_t GetSourceWidth() const;
  int32_t GetSourceHeight() const;
  // Overlay movies have no window of their own: the picture is drawn on the scene at the
  // component's place, so visibility is only remembered for the component to read back.
  bool GetVisible() const { return visible_; }
  void SetVisible(bool on) { visible_ = on; }
  bool IntoSurface() const { return into_surface_; }
  // True when the picture due now differs from the one last copied.
  bool NeedPaint();
  // Scales the picture due now into `dst`; false when there is none.
  bool CopyPicture(TCustomDIBX& dst);
  // Brings picture and sound up to the current time (the manager's update, every frame).
  void Refresh();

  bool Failed() const { return !decoder_; }
  // Set by the manager's Suspend for items it paused, so that Resume plays them again.
  bool suspended = false;

private:
  int64_t Now() const { return context_.clock_ms ? context_.clock_ms() : 0; }
  int64_t MediaTime() const;
  void Advance();
  void Restart(int64_t ms);
  void Finish();
  void Fail(const std::string& what);

  TVideoContext context_;
  std::string name_;
  bool into_surface_;
  std::unique_ptr<TVideoDecoder> decoder_;
  std::unique_ptr<TVideoSound> sound_;
  int32_t length_ms_ = 0;
  bool repeat_ = false, playing_ = false, paused_ = false, finished_ = false;
  bool end_mark_ = false, visible_ = true;
  int32_t repeat_pos_ = 0, volume_ = 0, pan_ = 0;
  int64_t base_ms_ = 0;   // media time when the clock anchor was taken
  int64_t anchor_ms_ = 0; // clock reading at that moment
  uint64_t shown_serial_ = 0, painted_serial_ = 0;
};

} // namespace nova
