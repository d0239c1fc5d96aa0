// SPDX-License-Identifier: MIT
// The output of headless runs: rendered on the caller's thread, optionally written to a WAV file
// whose header is brought up to date after every render, so a run that is cut short still
// leaves a readable file.
#include <cstdio>
#include <vector>

#include "base/nova_error.h"
#include "platform/audio_output.h"
#include "platform/private/audio_source_list.h"

namespace nova {

namespace {

constexpr uint32_t kBytesPerFrame = sizeof(int16_t) * kAudioOutputChannels;
constexpr long kRiffSizeAt = 4;
constexpr long kDataSizeAt = 40;
// Rendering in pieces keeps the scratch memory small after a long pause of the clock.
constexpr uint64_t kRenderChunkFrames = 4096;

void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

class THeadlessAudioOutput final : public IHeadlessAudioOutput {
public:
  explicit THeadlessAudioOutput(const std::string& wav_path) : path_(wav_path) {
    if (path_.empty())
      return;
    file_ = std::fopen(path_.c_str(), "wb");
    if (!file_)
      throw ENovaError("cannot create the audio file " + path_);
    WriteHeader();
  }
  ~THeadlessAudioOutput() override {
    if (file_)
      std::fclose(file_);
  }
  void AddSource(IAudioSource* source) override { sources_.Add(source); }
  void RemoveSource(IAudioSource* source) override { sources_.Remove(source); }
  bool HasDevice() const override { return true; }
  uint64_t RenderedFrames() const override { return rendered_; }

  void RenderUntil(uint64_t total_frames) override {
    if (total_frames <= rendered_)
      return;
    while (rendered_ < total_frames) {
      const size_t frames =
          static_cast<size_t>(std::min(total_frames - rendered_, kRenderChunkFrames));
      block_.resize(frames * kAudioOutputChannels);
      sources_.Render(block_.data(), frames);
      if (file_)
        Append(block_.data(), frames);
      rendered_ += frames;
    }
    if (file_)
      UpdateSizes();
  }

private:
  void WriteHeader() {
    uint8_t h[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    PutU32(h + 16, 16);                                 // fmt chunk size
    PutU16(h + 20, 1);                                  // PCM
    PutU16(h + 22, kAudioOutputChannels);               // channels
    PutU32(h + 24, kAudioOutputRate);                   // frames per second
    PutU32(h + 28, kAudioOutputRate * kBytesPerFrame);  // bytes per second
    PutU16(h + 32, kBytesPerFrame);                     // block align
    PutU16(h + 34, 16);                                 // bits per sample
    h[36] = 'd', h[37] = 'a', h[38] = 't', h[39] = 'a'; // data chunk, size at 40
    PutU32(h + 4, 36);
    if (std::fwrite(h, 1, sizeof h, file_) != sizeof h)
      throw ENovaError("cannot write the audio file " + path_);
  }

  void Append(const int16_t* samples, size_t frames) {
    // Little-endian on disk whatever the host.
    bytes_.resize(frames * kBytesPerFrame);
    for (size_t i = 0; i < frames * kAudioOutputChannels; ++i)
      PutU16(bytes_.data() + 2 * i, static_cast<uint16_t>(samples[i]));
    if (std::fwrite(bytes_.data(), 1, bytes_.size(), file_) != bytes_.size())
      Fail();
    data_bytes_ += bytes_.size();
  }

  void UpdateSizes() {
    // A WAV file cannot say more than 4 GiB; the data goes on, the sizes stay at their cap.
    const uint32_t data =
        data_bytes_ > 0xFFFFFFFFull - 36 ? 0xFFFFFFFFu - 36 : static_cast<uint32_t>(data_bytes_);
    uint8_t v[4];
    PutU32(v, data + 36);
    std::fseek(file_, kRiffSizeAt, SEEK_SET);
    std::fwrite(v, 1, 4, file_);
    PutU32(v, data);
    std::fseek(file_, kDataSizeAt, SEEK_SET);
    std::fwrite(v, 1, 4, file_);
    std::fseek(file_, 0, SEEK_END);
    if (std::fflush(file_) != 0)
      Fail();
  }

  // A full disk stops the recording, never the run.
  void Fail() {
    std::fprintf(stderr, "novaplay: cannot write the audio file %s; recording stops\n",
                 path_.c_str());
    std::fclose(file_);
    file_ = nullptr;
  }

  std::string path_;
  std::FILE* file_ = nullptr;
  TAudioSourceList sources_;
  std::vector<int16_t> block_;
  std::vector<uint8_t> bytes_;
  uint64_t rendered_ = 0;
  uint64_t data_bytes_ = 0;
};

} // namespace

std::unique_ptr<IHeadlessAudioOutput> CreateHeadlessAudioOutput(const std::string& wav_path) {
  return std::make_unique<THeadlessAudioOutput>(wav_path);
}

} // namespace nova
