// SPDX-License-Identifier: MIT
// Writes a movie with FFmpeg's own encoders from pictures the caller draws: the pattern movies
// of tests and benchmarks, and clips that `novatool video film` renders from films, so that no
// movie file needs to be shipped.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace nova {

enum class TVideoPatternCodec : uint8_t {
  Wmv2,  // WMV2 picture + WMA2 sound in ASF
  Mpeg1, // MPEG-1 picture + MPEG-1 layer II sound in an MPEG program stream
  Mpeg4, // MPEG-4 part 2 picture + MPEG-1 layer II sound in AVI
};

// The codec that a movie's file name asks for: ".wmv"/".asf", ".mpg"/".mpeg" or ".avi"; false
// for any other name.
bool VideoCodecForName(const std::string& path, TVideoPatternCodec& codec);

struct TVideoFormat {
  TVideoPatternCodec codec = TVideoPatternCodec::Wmv2;
  int width = 176, height = 144; // even, 32 … 4096
  int fps = 25;
  // A steady sine tone of this pitch at a quarter of full scale; 0: no sound track.
  int tone_hz = 0;
};

class TVideoWriter {
public:
  // Creates the file and writes its header. Throws ENovaError naming the file.
  TVideoWriter(const std::string& path, const TVideoFormat& format);
  ~TVideoWriter();
  TVideoWriter(const TVideoWriter&) = delete;
  TVideoWriter& operator=(const TVideoWriter&) = delete;

  // Adds the next picture: width × height colours 0x00BBGGRR, row by row. Colours become
  // BT.601 YUV; the chroma of each 2 × 2 block is that of its top-left pixel.
  void AddPicture(std::span<const uint32_t> colours);
  // Flushes the encoders and writes the trailer; the writer takes no more pictures.
  void Finish();

private:
  struct Output;
  std::unique_ptr<Output> out_;
};

} // namespace nova
