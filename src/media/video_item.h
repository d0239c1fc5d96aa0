// SPDX-License-Identifier: MIT
// One playing movie: the item the video component drives. Its time is the player's game
// clock, so a movie runs in step with the scene, stops when the player stops, and a headless
// run shows the same picture at the same virtual time on every run. Pictures are decoded on
// demand, when the component asks whether to repaint or draws, and once per frame by the
// manager's update.
#pragma once
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "media/media_item.h"
#include "media/video_decoder.h"

namespace nova {

class IAudioOutput;
class TCustomDIBX;
class TStream;
class TVideoSound;

// What the items of one manager share: the clock they follow (the game clock when empty), the
// output their sound goes to (none: silent), and the log that hears of files that cannot be
// played (stderr when empty).
struct TVideoContext {
  std::function<int64_t()> clock_ms;
  IAudioOutput* audio = nullptr;
  std::function<void(const std::string&)> log;
  TVideoLimits limits;
};

class TVideoItem final : public TDMediaItem {
public:
  using TOpener = std::function<std::unique_ptr<TStream>()>;
  // Opens the movie with `open`. A file that cannot be opened or decoded gives an item that
  // shows nothing and reports its end once it is played; one line naming the file and the
  // fault goes to the log.
  TVideoItem(TMediaManager& manager, const TVideoContext& context, const std::string& name,
             const TOpener& open);
  ~TVideoItem() override;

  bool GetAutoRepeat() const override { return repeat_; }
  void SetAutoRepeat(bool on) override { repeat_ = on; }
  int32_t GetRepeatPos() const override { return repeat_pos_; }
  void SetRepeatPos(int32_t ms) override { repeat_pos_ = std::max(ms, 0); }
  int32_t GetPan() const override { return pan_; }
  void SetPan(int32_t pan) override;
  int32_t GetVolume() const override { return volume_; }
  void SetVolume(int32_t volume) override;
  int32_t GetPosition() const override;
  void SetPosition(int32_t ms) override;
  int32_t GetLength() const override { return length_ms_; }
  // Latched from the end until the position is set again.
  bool IsEnd() override;
  bool IsPlaying() const override { return playing_; }
  bool IsPaused() const override { return paused_; }
  void Play() override;
  void Pause() override;

  int32_t GetSourceWidth() const override;
  int32_t GetSourceHeight() const override;
  // Overlay movies have no window of their own: the picture is drawn on the scene at the
  // component's place, so visibility is only remembered for the component to read back.
  bool GetVisible() const override { return visible_; }
  void SetVisible(bool on) override { visible_ = on; }
  // True when the picture due now differs from the one last copied.
  bool NeedPaint() override;
  // Scales the picture due now into `dst`; false when there is none.
  bool CopyPicture(TCustomDIBX& dst) override;
  // Brings picture and sound up to the current time.
  void Refresh() override { Advance(); }

  bool Failed() const { return !decoder_; }

private:
  void ReleaseBackEnd() override;
  int64_t Now() const { return context_.clock_ms(); }
  int64_t MediaTime() const;
  void Advance();
  void Restart(int64_t ms);
  void Finish();
  void Fail(const std::string& what);

  TVideoContext context_;
  std::unique_ptr<TVideoDecoder> decoder_;
  std::unique_ptr<TVideoSound> sound_;
  int32_t length_ms_ = 0;
  bool repeat_ = false, playing_ = false, paused_ = false, finished_ = false;
  bool visible_ = true;
  int32_t repeat_pos_ = 0, volume_ = 0, pan_ = 0;
  int64_t base_ms_ = 0;   // media time when the clock anchor was taken
  int64_t anchor_ms_ = 0; // clock reading at that moment
  uint64_t shown_serial_ = 0, painted_serial_ = 0;
};

} // namespace nova
