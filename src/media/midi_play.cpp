// SPDX-License-Identifier: MIT
#include "media/midi_play.h"

#include <algorithm>

#include "media/midi_log.h"
#include "media/midi_output.h"
#include "platform/clock.h"

namespace nova {

namespace {

constexpr uint8_t kGmSystemOn[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
constexpr int kVolumeController = 7;
constexpr int kAllNotesOff = 123;
constexpr uint32_t kMaxElapsedMs = 1000;
constexpr uint32_t kGsResetSettleMs = 10;

bool HasVolumeController(const std::vector<TMidiMsgEvent>& events) {
  return std::any_of(events.begin(), events.end(), [](const TMidiMsgEvent& e) {
    return e.kind == mkControl && e.message.size() >= 2 && e.Data(0) == kVolumeController;
  });
}

// Titles rely on every channel starting at full volume, so a file that never sets it gets the
// sixteen messages just before its first note.
void InsertChannelVolumes(std::vector<TMidiMsgEvent>& events) {
  const auto first_note = std::find_if(events.begin(), events.end(), [](const TMidiMsgEvent& e) {
    return e.Status() >= 0x80 && e.Status() <= 0xAF;
  });
  std::vector<TMidiMsgEvent> volumes(TMidiPlayV::kChannels);
  for (int channel = 0; channel < TMidiPlayV::kChannels; ++channel) {
    volumes[channel].carrier = mcChannel;
    volumes[channel].SetMessage(
        {static_cast<char>(0xB0 + channel), static_cast<char>(kVolumeController), 127});
  }
  events.insert(first_note, volumes.begin(), volumes.end());
}

} // namespace

TMidiPlayV::TMidiPlayV(IMidiPorts* ports, TMidiTiming timing, IClock& clock)
    : ports_(ports), clock_(clock) {
  for (auto& channel : scales_)
    channel.fill(100);
  for (auto& channel : values_)
    channel[kVolumeController] = 127;
  auto callback = [this](uint32_t now_ms) { OnTimer(now_ms); };
  if (timing == TMidiTiming::Thread)
    timer_ = std::make_unique<TMMTimer>(clock_, callback);
  else
    timer_ = std::make_unique<TPumpedMidiTimer>(callback);
}

TMidiPlayV::~TMidiPlayV() {
  Close();
  timer_.reset();
}

bool TMidiPlayV::Load(std::span<const uint8_t> data) {
  timer_->Hold();
  timer_->Disable();
  {
    std::lock_guard lock(lock_);
    ReadFile(data);
    if (!events_.empty() && !HasVolumeController(events_))
      InsertChannelVolumes(events_);
    // The position goes with the index: a position left from the previous file would send
    // every event up to it in one burst on the first tick.
    current_ = 0;
    position_ms_ = 0;
    for (auto& channel : values_)
      channel[kVolumeController] = 127;
  }
  timer_->Release();
  return !events_.empty();
}

bool TMidiPlayV::Open(int device) {
  Close();
  if (!ports_)
    return false;
  auto out = ports_->Open(device);
  timer_->Hold();
  {
    std::lock_guard lock(lock_);
    out_ = std::move(out);
  }
  timer_->Release();
  return out_ != nullptr;
}

void TMidiPlayV::Close() {
  Stop();
  timer_->Hold();
  {
    std::lock_guard lock(lock_);
    if (out_)
      out_->Reset();
    out_.reset();
  }
  timer_->Release();
}

void TMidiPlayV::Reset() {
  timer_->Hold();
  {
    std::lock_guard lock(lock_);
    SendLong(kGmSystemOn);
    current_ = 0;
    position_ms_ = 0;
  }
  timer_->Release();
}

void TMidiPlayV::PlayAt(int32_t ms) {
  timer_->Hold();
  timer_->Disable();
  {
    std::lock_guard lock(lock_);
    const int32_t target = TargetIndex(ms);
    if (target < current_) {
      AllNotesOff();
      current_ = 0;
      position_ms_ = 0;
      Chase(target);
    } else if (target > current_) {
      AllNotesOff();
      Chase(target);
    }
    // The music goes on from the time asked for, not from the last event chased: in a sparse
    // file that event may lie seconds earlier, and everything after it would come that late.
    // Beyond the end the file starts again from the beginning.
    if (!events_.empty() && ms <= events_.back().time)
      position_ms_ = std::max(position_ms_, ms);
    last_tick_ms_ = clock_.NowMs();
  }
  timer_->Enable(last_tick_ms_);
  timer_->Release();
}

void TMidiPlayV::Stop() {
  if (!timer_->Enabled())
    return;
  timer_->Hold();
  timer_->Disable();
  timer_->Sleep(1);
  {
    std::lock_guard lock(lock_);
    AllNotesOff();
  }
  timer_->Release();
}

bool TMidiPlayV::IsAtEnd() {
  std::lock_guard lock(lock_);
  return !repeat_ && current_ >= static_cast<int32_t>(events_.size()) - 1;
}

int32_t TMidiPlayV::Position() {
  std::lock_guard lock(lock_);
  return position_ms_;
}

bool TMidiPlayV::Repeat() {
  std::lock_guard lock(lock_);
  return repeat_;
}

void TMidiPlayV::SetRepeat(bool on) {
  std::lock_guard lock(lock_);
  repeat_ = on;
}

int32_t TMidiPlayV::TempoBpm() {
  std::lock_guard lock(lock_);
  return tempo_bpm_;
}

void TMidiPlayV::SetLog(TMidiLog* log) {
  std::lock_guard lock(lock_);
  log_ = log;
}

void TMidiPlayV::SetControllerScale(int controller, int percent) {
  if (controller < 0 || controller >= kControllers)
    return;
  const bool playing = timer_->Enabled();
  std::lock_guard lock(lock_);
  for (int channel = 0; channel < kChannels; ++channel) {
    scales_[channel][controller] = percent;
    if (playing)
      SendController(channel, controller);
  }
}

int32_t TMidiPlayV::TargetIndex(int32_t ms) const {
  for (size_t k = 0; k < events_.size(); ++k) {
    if (events_[k].time == ms)
      return static_cast<int32_t>(k);
    if (events_[k].time > ms)
      return k >= 2 ? static_cast<int32_t>(k - 1) : 0;
  }
  return 0;
}

void TMidiPlayV::Chase(int32_t target) {
  for (; current_ < target; ++current_) {
    const TMidiMsgEvent& event = events_[current_];
    position_ms_ = event.time;
    if (event.kind != mkNoteOn && event.kind != mkNoteOff)
      SendEvent(event);
    if (event.kind == mkGsReset)
      timer_->Sleep(kGsResetSettleMs);
  }
}

void TMidiPlayV::OnTimer(uint32_t now_ms) {
  std::unique_lock lock(lock_);
  const int32_t last = static_cast<int32_t>(events_.size()) - 1;
  if (current_ >= last) {
    // Past the end every tick would do nothing, until something done under a hold of the timer
    // (a new position, a reset, a new file) wakes it.
    lock.unlock();
    timer_->Rest();
    return;
  }
  const uint32_t elapsed = std::min(kMaxElapsedMs, now_ms - last_tick_ms_);
  position_ms_ += static_cast<int32_t>(elapsed);
  last_tick_ms_ = now_ms;
  for (;;) {
    const TMidiMsgEvent& event = events_[current_];
    if (event.time >= position_ms_)
      return;
    if (current_ < last) {
      SendEvent(event);
      ++current_;
      continue;
    }
    if (!repeat_)
      return;
    AllNotesOff();
    current_ = 0;
    position_ms_ = events_.front().time;
  }
}

void TMidiPlayV::SendEvent(const TMidiMsgEvent& event) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(event.message.data());
  switch (event.carrier) {
  case mcChannel:
    if (event.kind == mkControl && event.message.size() >= 3) {
      const int channel = event.Status() & 15;
      const int controller = std::min<int>(event.Data(0), kControllers - 1);
      values_[channel][controller] = std::min<uint8_t>(event.Data(1), 127);
      SendController(channel, controller);
    } else {
      SendShort({bytes, std::min<size_t>(event.message.size(), 3)});
    }
    break;
  case mcSysEx:
    SendLong({bytes, event.message.size()});
    break;
  default:
    if (event.kind == mkTempo && event.message.size() >= 5) {
      const int32_t tempo = (event.Data(1) << 16) | (event.Data(2) << 8) | event.Data(3);
      if (tempo > 0)
        tempo_bpm_ = 60000000 / tempo;
    }
    break;
  }
}

void TMidiPlayV::SendController(int channel, int controller) {
  const int64_t value = int64_t{values_[channel][controller]} * scales_[channel][controller] / 100;
  const uint8_t message[] = {static_cast<uint8_t>(0xB0 + channel), static_cast<uint8_t>(controller),
                             static_cast<uint8_t>(std::clamp<int64_t>(value, 0, 127))};
  SendShort(message);
}

void TMidiPlayV::AllNotesOff() {
  for (int channel = 0; channel < kChannels; ++channel) {
    const uint8_t message[] = {static_cast<uint8_t>(0xB0 + channel), kAllNotesOff, 0};
    SendShort(message);
  }
}

void TMidiPlayV::SendShort(std::span<const uint8_t> bytes) {
  // Data bytes above 127 would be read as a status by any device.
  uint8_t message[3] = {};
  const size_t size = std::min<size_t>(bytes.size(), 3);
  for (size_t i = 0; i < size; ++i)
    message[i] = i == 0 ? bytes[i] : std::min<uint8_t>(bytes[i], 127);
  const std::span<const uint8_t> clean(message, size);
  if (log_)
    log_->Write(position_ms_, clean);
  if (out_)
    out_->ShortMessage(clean);
}

void TMidiPlayV::SendLong(std::span<const uint8_t> bytes) {
  if (log_)
    log_->Write(position_ms_, bytes);
  if (out_)
    out_->LongMessage(bytes);
}

} // namespace nova
