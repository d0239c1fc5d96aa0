// SPDX-License-Identifier: MIT
// The one sound output of the player: 44,100 Hz, 16-bit, stereo. Everything that sounds (the
// wave output's blocks, the media library's own items, the synthesizer, a movie's sound track)
// is a source that the output pulls and mixes. In a window the output runs on SDL's audio
// thread; headless it is advanced by the virtual clock on the main thread and can be written
// to a file, so that every run renders exactly the same samples.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace nova {

inline constexpr int kAudioOutputRate = 44100;
inline constexpr int kAudioOutputChannels = 2;

// A producer of output frames. Render is called on the output's thread (the main thread
// headless), never twice at once for one source.
class IAudioSource {
public:
  virtual ~IAudioSource() = default;
  // Writes `frames` interleaved stereo frames into `out`; silence where it has nothing to play.
  virtual void Render(int16_t* out, size_t frames) = 0;
};

class IAudioOutput {
public:
  virtual ~IAudioOutput() = default;
  // The source is pulled from the next block on. It must outlive its registration.
  virtual void AddSource(IAudioSource* source) = 0;
  // Returns once no Render of the source runs any more; afterwards it is never called again.
  virtual void RemoveSource(IAudioSource* source) = 0;
  // False when no device could be opened (sources are then never pulled in a window).
  virtual bool HasDevice() const = 0;
};

// The desktop's default device through SDL, pulled on SDL's audio thread. Without a device (or
// without an audio driver) it still exists, with HasDevice() false, and never pulls a source.
std::unique_ptr<IAudioOutput> CreateSdlAudioOutput();

// The output of headless runs: nothing plays on its own; the owner renders the sources on its
// thread up to a frame count derived from the virtual clock, so every run renders the same
// samples. With a path, every rendered frame is also written to that WAV file (44,100 Hz, 16-bit
// stereo), whose header is completed as it grows.
class IHeadlessAudioOutput : public IAudioOutput {
public:
  // Renders every source from the frames rendered so far up to `total_frames` (no-op when that
  // many were already rendered).
  virtual void RenderUntil(uint64_t total_frames) = 0;
  virtual uint64_t RenderedFrames() const = 0;
};

// Throws ENovaError naming the file when `wav_path` (non-empty) cannot be created.
std::unique_ptr<IHeadlessAudioOutput> CreateHeadlessAudioOutput(const std::string& wav_path);

// Adds `frames` stereo frames of `src` into `dst`, saturating to the 16-bit range: how every
// output mixes its sources.
void MixAddSaturating(int16_t* dst, const int16_t* src, size_t frames);

// Converts interleaved 16-bit sound of another rate or channel count into the output format.
class IAudioResampler {
public:
  virtual ~IAudioResampler() = default;
  // Feeds `frames` interleaved frames of the source format.
  virtual void Put(const int16_t* in, size_t frames) = 0;
  // Takes up to `frames` output frames; returns how many were ready.
  virtual size_t Get(int16_t* out, size_t frames) = 0;
  // Output frames ready now.
  virtual size_t Available() const = 0;
  // Makes the tail of what was fed available (the source ended).
  virtual void Flush() = 0;
  // Forgets everything fed (a seek).
  virtual void Clear() = 0;
};

// Null when the conversion cannot be set up (channels outside 1..8, a rate outside 1..384,000).
std::unique_ptr<IAudioResampler> CreateAudioResampler(int source_rate, int source_channels);

} // namespace nova
