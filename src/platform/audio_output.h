// SPDX-License-Identifier: MIT
// The one sound output of the player: 44,100 Hz, 16-bit, stereo. Everything that sounds (the
// wave output's blocks, the media library's own items, the synthesizer, a movie's sound track)
// is a source that the output pulls and mixes. In a window the output runs on SDL's audio
// thread; headless it is advanced by the virtual clock on the main thread and can be written
// to a file, so that every run renders exactly the same samples.
#pragma once
#include <cstddef>
#include <cstdint>

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

} // namespace nova
