// SPDX-License-Identifier: MIT
#include "media/wav_out.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/clock.h"

namespace nova {

namespace {

constexpr size_t kOutputBytesPerFrame = 4;
constexpr int kMaxQueuedBlocks = 2;

// Source bytes per block of B output bytes: B divided by this (0: a format the mixer does not
// convert).
int SourceDivisor(const TWaveFormat& f) {
  const bool full = f.samples_per_sec == 44100, half = f.samples_per_sec == 22050;
  const bool b16 = f.bits_per_sample == 16, b8 = f.bits_per_sample == 8;
  const bool stereo = f.channels == 2, mono = f.channels == 1;
  if (b16 && stereo && full)
    return 1;
  if ((b16 && mono && full) || (b16 && stereo && half) || (b8 && stereo && full))
    return 2;
  if ((b8 && mono && full) || (b8 && stereo && half) || (b16 && mono && half))
    return 4;
  if (b8 && mono && half)
    return 8;
  return 0;
}

int64_t RoundBytes(double bytes) { return static_cast<int64_t>(std::nearbyint(bytes)); }

} // namespace

// --- TWavBuffer ---

TWavBuffer::TWavBuffer(TWavOut& out, std::unique_ptr<TDecodeStream> stream)
    : out_(out), stream_(std::move(stream)), format_(stream_->Format()), scratch_(out.BlockBytes()),
      converted_(out.BlockBytes() / 2) {
  read_pos_ = stream_->GetPos();
}

void TWavBuffer::Play() {
  std::lock_guard lock(out_.lock_);
  started_ = true;
  stopping_ = false;
  finished_ = false;
  if (std::find(out_.active_.begin(), out_.active_.end(), this) == out_.active_.end())
    out_.active_.push_back(this);
}

void TWavBuffer::Stop() {
  std::lock_guard lock(out_.lock_);
  stopping_ = true;
  out_.active_.erase(std::remove(out_.active_.begin(), out_.active_.end(), this),
                     out_.active_.end());
}

void TWavBuffer::SetPosition(int64_t bytes) {
  std::lock_guard lock(out_.lock_);
  const int64_t frame = std::max<int64_t>(format_.block_align, 1);
  read_pos_ = std::clamp<int64_t>(bytes, 0, stream_->GetSize()) / frame * frame;
}

void TWavBuffer::SetGain(int32_t gain) {
  std::lock_guard lock(out_.lock_);
  gain_ = gain;
}

void TWavBuffer::SetRepeat(bool on) {
  std::lock_guard lock(out_.lock_);
  repeat_ = on;
}

void TWavBuffer::SetRepeatPosition(int64_t bytes) {
  std::lock_guard lock(out_.lock_);
  const int64_t frame = std::max<int64_t>(format_.block_align, 1);
  repeat_pos_ = std::max<int64_t>(bytes, 0) / frame * frame;
}

bool TWavBuffer::IsStarted() const {
  std::lock_guard lock(out_.lock_);
  return started_;
}
bool TWavBuffer::IsStopping() const {
  std::lock_guard lock(out_.lock_);
  return stopping_;
}
bool TWavBuffer::IsFinished() const {
  std::lock_guard lock(out_.lock_);
  return finished_;
}
int64_t TWavBuffer::ReadPosition() const {
  std::lock_guard lock(out_.lock_);
  return read_pos_;
}
int64_t TWavBuffer::StreamSize() const {
  std::lock_guard lock(out_.lock_);
  return stream_->GetSize();
}
int32_t TWavBuffer::StreamLength() const {
  std::lock_guard lock(out_.lock_);
  return stream_->GetLen();
}

bool TWavBuffer::HasEnded() const {
  std::lock_guard lock(out_.lock_);
  if (!finished_)
    return false;
  const auto elapsed = static_cast<int32_t>(out_.NowMs() - last_mix_ms_);
  return elapsed > 2 * out_.delay_ms_ + 10;
}

int64_t TWavBuffer::PlayedBytes() const {
  std::lock_guard lock(out_.lock_);
  if (!mixed_)
    return read_pos_;
  const int64_t e = std::max<int32_t>(0, static_cast<int32_t>(out_.NowMs() - last_mix_ms_));
  const int64_t delay = out_.delay_ms_;
  if (e > 2 * delay)
    return read_pos_;
  const double per_ms = static_cast<double>(format_.bits_per_sample) * format_.channels *
                        format_.samples_per_sec / 8000.0;
  const int64_t played = read_pos_ - RoundBytes(per_ms * static_cast<double>(delay)) +
                         RoundBytes(per_ms * static_cast<double>(e));
  return std::clamp<int64_t>(played, 0, stream_->GetSize());
}

int64_t TWavBuffer::RepeatStart() const {
  // A repeat position at or past the end would never yield a byte: the last frame repeats.
  const int64_t frame = std::max<int64_t>(format_.block_align, 1);
  return std::min(repeat_pos_, stream_->GetSize() - frame);
}

size_t TWavBuffer::ReadSource(size_t wanted) {
  stream_->SetPos(read_pos_);
  size_t done = 0;
  while (done < wanted) {
    if (stream_->GetPos() >= stream_->GetSize()) {
      if (!repeat_)
        break;
      stream_->SetPos(RepeatStart());
    }
    const int64_t got = stream_->Read(scratch_.data() + done, static_cast<int64_t>(wanted - done));
    // Damage the decoder found: its size now ends here, so the next turn ends or repeats.
    if (got <= 0 && stream_->GetPos() < stream_->GetSize())
      break;
    done += static_cast<size_t>(std::max<int64_t>(got, 0));
  }
  read_pos_ = stream_->GetPos();
  return done;
}

void TWavBuffer::SkipSource(int64_t wanted) {
  int64_t pos = read_pos_;
  const int64_t size = stream_->GetSize();
  while (wanted > 0) {
    if (pos >= size) {
      if (!repeat_)
        break;
      pos = RepeatStart();
    }
    const int64_t step = std::min(wanted, size - pos);
    pos += step;
    wanted -= step;
  }
  read_pos_ = pos;
}

bool TWavBuffer::MixInto(int16_t* block, uint32_t now_ms) {
  if (stream_->GetSize() <= 0 || !started_ || finished_ || stopping_)
    return false;
  const size_t B = out_.block_bytes_;
  const int divisor = SourceDivisor(format_);
  if (divisor == 0) {
    // Not a format the mixer converts: silent, but its time passes, so it still ends.
    const double seconds = static_cast<double>(B) / (kAudioOutputRate * kOutputBytesPerFrame);
    const int64_t frame = std::max<int64_t>(format_.block_align, 1);
    SkipSource(static_cast<int64_t>(seconds * format_.avg_bytes_per_sec) / frame * frame);
  } else {
    const size_t n = ReadSource(B / static_cast<size_t>(divisor));
    // Convert into 16-bit stereo at 44,100 Hz.
    const bool b8 = format_.bits_per_sample == 8;
    const bool mono = format_.channels == 1;
    const int repeat = format_.samples_per_sec == 22050 ? 2 : 1;
    const size_t source_samples = b8 ? n : n / 2;
    size_t out = 0;
    auto sample = [&](size_t i) -> int16_t {
      if (b8)
        return static_cast<int16_t>((int32_t{scratch_[i]} - 128) * 256);
      return static_cast<int16_t>(scratch_[2 * i] | (scratch_[2 * i + 1] << 8));
    };
    const size_t step = mono ? 1 : 2;
    if (!b8 && !mono && repeat == 1) {
      // Already the output format: a straight copy (the common case, kept vectorisable).
      for (size_t i = 0; i < source_samples; ++i)
        converted_[i] = static_cast<int16_t>(scratch_[2 * i] | (scratch_[2 * i + 1] << 8));
      out = source_samples;
    } else {
      for (size_t i = 0; i + step <= source_samples; i += step) {
        const int16_t left = sample(i);
        const int16_t right = mono ? left : sample(i + 1);
        for (int k = 0; k < repeat; ++k) {
          converted_[out++] = left;
          converted_[out++] = right;
        }
      }
    }
    if (gain_ < 255)
      for (size_t i = 0; i < out; ++i)
        converted_[i] = static_cast<int16_t>((int32_t{converted_[i]} * gain_) >> 8);
    for (size_t i = 0; i < out; ++i)
      block[i] = static_cast<int16_t>(std::clamp(int32_t{block[i]} + converted_[i], -32768, 32767));
  }
  if (!repeat_ && read_pos_ >= stream_->GetSize())
    finished_ = true;
  last_mix_ms_ = now_ms;
  mixed_ = true;
  return true;
}

// --- TWavOut ---

TWavOut::TWavOut(IAudioOutput& device, IClock& clock, int delay_time_ms, TMixingMode mode)
    : device_(device), clock_(clock), delay_ms_(delay_time_ms),
      block_bytes_(static_cast<size_t>(delay_time_ms) * 176400 / 1000), mode_(mode) {}

TWavOut::~TWavOut() { Close(); }

uint32_t TWavOut::NowMs() const { return clock_.NowMs(); }

bool TWavOut::Open() {
  {
    std::lock_guard lock(lock_);
    if (open_ || !device_.HasDevice())
      return false;
    open_ = true;
    stop_thread_ = false;
    queued_.clear();
  }
  device_.AddSource(this);
  if (mode_ == TMixingMode::Thread)
    thread_ = std::thread([this] { ThreadLoop(); });
  return true;
}

bool TWavOut::IsOpen() const {
  std::lock_guard lock(lock_);
  return open_;
}

void TWavOut::Close() {
  {
    std::lock_guard lock(lock_);
    stop_thread_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable())
    thread_.join();
  {
    std::lock_guard lock(lock_);
    buffers_.clear();
    active_.clear();
    // Blocks not yet handed to the device go; a written one plays out.
    std::erase_if(queued_, [](const TBlock& b) { return !b.written; });
  }
  if (IsOpen()) {
    // The blocks already written play to their end before the device is let go (the device
    // takes them on its own thread, or headless not at all: then they are dropped).
    for (int waited = 0; mode_ == TMixingMode::Thread && waited < 2 * delay_ms_ + 100;
         waited += 10) {
      {
        std::lock_guard lock(lock_);
        DropPlayedBlocks();
        if (queued_.empty())
          break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    device_.RemoveSource(this);
    std::lock_guard lock(lock_);
    queued_.clear();
    open_ = false;
  }
}

TWavBuffer* TWavOut::AddBuffer(std::unique_ptr<TDecodeStream> stream) {
  auto buffer = std::make_unique<TWavBuffer>(*this, std::move(stream));
  std::lock_guard lock(lock_);
  buffers_.push_back(std::move(buffer));
  return buffers_.back().get();
}

void TWavOut::RemoveBuffer(TWavBuffer* buffer) {
  std::lock_guard lock(lock_);
  active_.erase(std::remove(active_.begin(), active_.end(), buffer), active_.end());
  std::erase_if(buffers_, [buffer](const auto& b) { return b.get() == buffer; });
}

void TWavOut::SetNotification(std::function<void(const int16_t*, size_t)> notify) {
  std::lock_guard lock(lock_);
  notify_ = std::move(notify);
}

size_t TWavOut::QueuedBlocks() const {
  std::lock_guard lock(lock_);
  return queued_.size();
}

void TWavOut::DropPlayedBlocks() {
  while (!queued_.empty() && (!open_ || queued_.front().played >= queued_.front().samples.size())) {
    pool_.push_back(std::move(queued_.front()));
    queued_.pop_front();
  }
}

bool TWavOut::MixBlock(TBlock& block, uint32_t now_ms) {
  std::fill(block.samples.begin(), block.samples.end(), int16_t{0});
  bool contributed = false;
  for (const auto& buffer : buffers_)
    contributed |= buffer->MixInto(block.samples.data(), now_ms);
  return contributed;
}

void TWavOut::FillStep() {
  std::lock_guard lock(lock_);
  DropPlayedBlocks();
  if (!open_)
    return;
  const uint32_t now = NowMs();
  for (int turn = 0; turn < kMaxQueuedBlocks; ++turn) {
    if (queued_.size() > 1 || active_.empty())
      continue;
    TBlock block;
    if (!pool_.empty()) {
      block = std::move(pool_.back());
      pool_.pop_back();
    }
    block.samples.resize(block_bytes_ / 2);
    block.played = 0;
    block.written = false;
    if (!MixBlock(block, now)) {
      pool_.push_back(std::move(block));
      continue;
    }
    block.written = true;
    queued_.push_back(std::move(block));
    if (notify_)
      notify_(queued_.back().samples.data(), queued_.back().samples.size());
  }
}

void TWavOut::ThreadLoop() {
  std::unique_lock lock(lock_);
  const auto period = std::chrono::milliseconds(std::max(1, delay_ms_ / 4));
  while (!stop_thread_) {
    if (wake_.wait_for(lock, period, [this] { return stop_thread_; }))
      break;
    lock.unlock();
    FillStep();
    lock.lock();
  }
}

void TWavOut::Render(int16_t* out, size_t frames) {
  size_t wanted = frames * kAudioOutputChannels;
  while (wanted > 0) {
    // Headless, mixing happens when the device wants sound, at the virtual time of the frame.
    if (mode_ == TMixingMode::OnRender)
      FillStep();
    std::lock_guard lock(lock_);
    DropPlayedBlocks();
    if (queued_.empty())
      break;
    TBlock& block = queued_.front();
    const size_t take = std::min(wanted, block.samples.size() - block.played);
    std::memcpy(out, block.samples.data() + block.played, take * sizeof(int16_t));
    block.played += take;
    out += take;
    wanted -= take;
  }
  std::memset(out, 0, wanted * sizeof(int16_t));
}

} // namespace nova
