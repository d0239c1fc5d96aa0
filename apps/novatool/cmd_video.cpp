// SPDX-License-Identifier: MIT
// `novatool video`: movies made with FFmpeg's own encoders, the codec chosen by the extension:
// a pattern movie for tests, or a clip of a film drawn frame by frame.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "film_stage.h"
#include "media/video_pattern.h"
#include "media/video_writer.h"
#include "tool_args.h"
#include "vfs/stream.h"

namespace {

int Usage() {
  std::fputs("usage: novatool video pattern OUT.(wmv|asf|mpg|avi) [WIDTH HEIGHT FRAMES]\n"
             "       novatool video film FILM.nmt -o OUT.(wmv|asf|mpg|avi) [--fps N] "
             "[--title DIR]\n",
             stderr);
  return 2;
}

bool Number(const std::string& text, int lo, int hi, int& value) {
  try {
    size_t used = 0;
    value = std::stoi(text, &used);
    return used == text.size() && value >= lo && value <= hi;
  } catch (const std::exception&) {
    return false;
  }
}

int Pattern(const ToolArgs& args) {
  if (args.size() != 2 && args.size() != 5)
    return Usage();
  nova::TVideoPattern p;
  if (!nova::VideoCodecForName(args[1], p.codec))
    return Usage();
  if (args.size() == 5 &&
      (!Number(args[2], 32, 4096, p.width) || !Number(args[3], 32, 4096, p.height) ||
       !Number(args[4], 1, 100000, p.frames) || p.width % 2 || p.height % 2))
    return Usage();
  nova::WriteVideoPattern(args[1], p);
  return 0;
}

// Films run at 60 frames a second; the clip shows the film frame due at each of its pictures,
// from the first frame to the last, without sound.
int Film(const ToolArgs& args) {
  std::string film, out, title;
  int fps = 30;
  for (size_t i = 1; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size();
    if (args[i] == "-o" && has_value)
      out = args[++i];
    else if (args[i] == "--title" && has_value)
      title = args[++i];
    else if (args[i] == "--fps" && has_value) {
      if (!Number(args[++i], 1, 60, fps))
        return Usage();
    } else if (args[i].starts_with("-") || !film.empty())
      return Usage();
    else
      film = args[i];
  }
  nova::TVideoFormat format;
  if (film.empty() || out.empty() || !nova::VideoCodecForName(out, format.codec))
    return Usage();
  // The film's name inside the title folder (by default its own folder).
  const std::filesystem::path path(film);
  std::string folder = path.parent_path().empty() ? "." : path.parent_path().string();
  std::string name = path.filename().string();
  if (!title.empty()) {
    folder = title;
    name = std::filesystem::relative(path, title).generic_string();
    if (name.empty() || name.starts_with(".."))
      name = path.generic_string();
    for (char& c : name)
      if (c == '/')
        c = '\\';
  }
  nova::TMemoryStream file;
  file.LoadFromFile(film);
  const std::span<const uint8_t> bytes = file.Bytes();
  nova::TFilmStage stage({bytes.begin(), bytes.end()}, folder, name, film);
  if (stage.Width() % 2 || stage.Height() % 2 || stage.Width() < 32 || stage.Height() < 32 ||
      stage.Width() > 4096 || stage.Height() > 4096)
    throw nova::ENovaError("film \"" + film + "\" is " + std::to_string(stage.Width()) + "x" +
                           std::to_string(stage.Height()) +
                           "; a movie needs an even size of 32 to 4096");
  format.width = stage.Width();
  format.height = stage.Height();
  format.fps = fps;
  nova::TVideoWriter writer(out, format);
  std::vector<uint32_t> picture(static_cast<size_t>(format.width) *
                                static_cast<size_t>(format.height));
  const int64_t last = std::max(stage.Length() - 1, 0);
  for (int64_t n = 0; n * 60 / fps <= last; ++n) {
    nova::TCustomDIBX& shot = stage.Draw(static_cast<int32_t>(n * 60 / fps));
    for (int y = 0; y < format.height; ++y)
      for (int x = 0; x < format.width; ++x)
        picture[static_cast<size_t>(y) * static_cast<size_t>(format.width) +
                static_cast<size_t>(x)] = shot.PixelToColor(shot.GetPixel(x, y)) & 0xFFFFFF;
    writer.AddPicture(picture);
  }
  writer.Finish();
  return 0;
}

} // namespace

int Tool_video(const ToolArgs& args) {
  if (args.empty())
    return Usage();
  if (args[0] == "pattern")
    return Pattern(args);
  if (args[0] == "film")
    return Film(args);
  return Usage();
}
