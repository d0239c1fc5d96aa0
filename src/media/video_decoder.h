// SPDX-License-Identifier: MIT
// The FFmpeg side of a video item: demuxing a stream read through the player's streams,
// decoding pictures on demand up to a media time, converting them into a surface, and
// decoding the sound track into the output's 44,100 Hz stereo frames. Single-threaded: every
// call comes from the main thread, so the same media time always yields the same picture.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nova {

class TCustomDIBX;
class TStream;

// What a file may claim before we refuse it.
struct TVideoLimits {
  int max_side = 4096;                 // pixels, either dimension
  int64_t probe_bytes = 2 << 20;       // bytes read to recognise the container
  int64_t analyze_us = 5'000'000;      // stream time looked at to find the streams
  int decoder_threads = 1;             // decoding on demand gains nothing from more
  int64_t max_queued_bytes = 32 << 20; // packets held for the other stream
  int max_packets_per_step = 4096;     // bounds one call on a damaged stream
};

class TVideoDecoder {
public:
  // Opens `stream`; `name` only names the file in errors. Without `with_audio` the sound track
  // is skipped. Throws ENovaError naming the file and the fault.
  TVideoDecoder(const std::string& name, std::unique_ptr<TStream> stream, bool with_audio,
                const TVideoLimits& limits = {});
  ~TVideoDecoder();
  TVideoDecoder(const TVideoDecoder&) = delete;
  TVideoDecoder& operator=(const TVideoDecoder&) = delete;

  int Width() const;
  int Height() const;
  // The container's duration in ms; 0 when it does not say.
  int64_t LengthMs() const;
  bool HasAudio() const;

  // Decodes up to the picture due at `ms` (the first picture even when it is due later).
  // Returns true when the shown picture changed. Throws ENovaError for a picture of a size
  // beyond the limits.
  bool VideoTo(int64_t ms);
  // True when no picture follows the shown one.
  bool VideoDrained() const;
  // The media time at which the shown picture ends (its time plus its duration).
  int64_t ShownEndMs() const;
  bool HasPicture() const;
  // Scales and converts the shown picture into `dst` (15, 16, 24 or 32 bits); false when there
  // is no picture or the surface has another format.
  bool ConvertInto(TCustomDIBX& dst);

  // Appends interleaved stereo 16-bit frames at 44,100 Hz until the sound reaches `ms`.
  void AudioTo(int64_t ms, std::vector<int16_t>& out);
  // The media time the sound has been decoded to.
  int64_t AudioMs() const;
  // True when the sound track has no more data (or there is none).
  bool AudioDrained() const;

  // Moves both streams to `ms`; the next VideoTo picks the picture due there.
  void Seek(int64_t ms);

private:
  struct State;
  std::unique_ptr<State> s_;
};

} // namespace nova
