// SPDX-License-Identifier: MIT
#include "media/video_item.h"

#include <cstdio>
#include <vector>

#include "base/nova_error.h"
#include "base/run_state.h"
#include "base/sjis.h"
#include "media/video_sound.h"
#include "vfs/stream.h"

namespace nova {
namespace {

// Sound is decoded this far ahead of the picture, so the output never waits for a frame step.
constexpr int64_t kSoundLeadMs = 250;

} // namespace

TVideoItem::TVideoItem(TMediaManager& manager, const TVideoContext& context,
                       const std::string& name, const TOpener& open)
    : TDMediaItem(manager), context_(context) {
  if (!context_.clock_ms)
    context_.clock_ms = [] { return RunState().GameClock; };
  try {
    std::unique_ptr<TStream> stream = open();
    if (!stream)
      throw ENovaError(name + ": the file cannot be opened");
    decoder_ = std::make_unique<TVideoDecoder>(name, std::move(stream), context_.audio != nullptr,
                                               context_.limits);
    length_ms_ = static_cast<int32_t>(std::clamp<int64_t>(decoder_->LengthMs(), 0, INT32_MAX));
    if (context_.audio && decoder_->HasAudio())
      sound_ = std::make_unique<TVideoSound>(*context_.audio);
  } catch (const std::exception& e) {
    Fail(e.what());
  }
}

TVideoItem::~TVideoItem() = default;

void TVideoItem::ReleaseBackEnd() {
  sound_.reset();
  decoder_.reset();
  playing_ = false;
}

void TVideoItem::Fail(const std::string& what) {
  sound_.reset();
  decoder_.reset();
  playing_ = false;
  const std::string line = "video: " + what;
  if (context_.log)
    context_.log(line);
  else
    std::fprintf(stderr, "%s\n", SjisToUtf8(line).c_str());
}

int64_t TVideoItem::MediaTime() const {
  return playing_ ? base_ms_ + (Now() - anchor_ms_) : base_ms_;
}

void TVideoItem::Restart(int64_t ms) {
  decoder_->Seek(ms);
  base_ms_ = ms;
  anchor_ms_ = Now();
  ++shown_serial_;
}

void TVideoItem::Advance() {
  if (!decoder_ || finished_)
    return;
  try {
    int64_t t = MediaTime();
    if (decoder_->VideoTo(t))
      ++shown_serial_;
    // The movie ends when its data has run out: the last picture has had its time and the
    // sound (when it plays) is through. The container's length claim neither cuts a movie
    // short nor holds a damaged one open.
    if (decoder_->VideoDrained() && (!sound_ || decoder_->AudioDrained())) {
      const int64_t end =
          std::max<int64_t>(decoder_->ShownEndMs(), sound_ ? decoder_->AudioMs() : 0);
      if (t >= end) {
        length_ms_ = static_cast<int32_t>(std::clamp<int64_t>(end, 0, INT32_MAX));
        if (repeat_ && end > repeat_pos_) {
          t = repeat_pos_ + (t - end) % (end - repeat_pos_);
          Restart(t);
        } else {
          Finish();
          return;
        }
      }
    }
    if (sound_ && playing_) {
      std::vector<int16_t> samples;
      decoder_->AudioTo(t + kSoundLeadMs, samples);
      sound_->Push(samples);
    }
  } catch (const std::exception& e) {
    Fail(e.what());
    finished_ = true;
  }
}

void TVideoItem::Finish() {
  base_ms_ = length_ms_;
  playing_ = false;
  finished_ = true;
  if (sound_) {
    sound_->SetRunning(false);
    sound_->Clear();
  }
}

void TVideoItem::SetPan(int32_t pan) {
  pan_ = pan;
  if (sound_)
    sound_->SetPan(pan);
}

void TVideoItem::SetVolume(int32_t volume) {
  volume_ = volume;
  if (sound_)
    sound_->SetVolume(volume);
}

int32_t TVideoItem::GetPosition() const {
  return static_cast<int32_t>(std::clamp<int64_t>(MediaTime(), 0, INT32_MAX));
}

void TVideoItem::SetPosition(int32_t ms) {
  if (!decoder_)
    return;
  ms = std::max(ms, 0);
  if (length_ms_ > 0)
    ms = std::min(ms, length_ms_);
  finished_ = false;
  if (sound_)
    sound_->Clear();
  try {
    Restart(ms);
  } catch (const std::exception& e) {
    Fail(e.what());
    finished_ = true;
  }
}

bool TVideoItem::IsEnd() {
  Advance();
  return finished_;
}

void TVideoItem::Play() {
  if (!decoder_) {
    // A movie that cannot be played ends at once, so a script waiting for it goes on.
    finished_ = !Detached();
    return;
  }
  if (DeferPlay())
    return;
  paused_ = false;
  if (playing_ || finished_)
    return;
  playing_ = true;
  anchor_ms_ = Now();
  if (sound_)
    sound_->SetRunning(true);
  Advance();
}

void TVideoItem::Pause() {
  if (playing_)
    base_ms_ = MediaTime();
  playing_ = false;
  paused_ = true;
  if (sound_)
    sound_->SetRunning(false);
}

int32_t TVideoItem::GetSourceWidth() const { return decoder_ ? decoder_->Width() : 0; }
int32_t TVideoItem::GetSourceHeight() const { return decoder_ ? decoder_->Height() : 0; }

bool TVideoItem::NeedPaint() {
  Advance();
  return decoder_ && shown_serial_ != painted_serial_;
}

bool TVideoItem::CopyPicture(TCustomDIBX& dst) {
  if (!decoder_)
    return false;
  Advance();
  if (!decoder_ || !decoder_->ConvertInto(dst))
    return false;
  painted_serial_ = shown_serial_;
  return true;
}

} // namespace nova
