// SPDX-License-Identifier: MIT
// `novatool film`: inspects films, builds them from text, and draws one frame of a film in a
// scene of its own.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "film_stage.h"
#include "graphics/dibx.h"
#include "graphics/film_file.h"
#include "graphics/image_cache.h"
#include "graphics/png_writer.h"
#include "scene/films/film_manager.h"
#include "scene/nova_base_list.h"
#include "tool_args.h"
#include "vfs/stream.h"
#include "vfs/vr_file_manager.h"

using namespace nova;

namespace {

int FilmUsage() {
  std::fputs("usage: novatool film info FILE.nmt [--all]\n"
             "       novatool film build DESCRIPTION.txt -o FILE.nmt\n"
             "       novatool film render FILE.nmt --frame N -o OUT.png [--title DIR]\n",
             stderr);
  return 2;
}

struct Options {
  std::vector<std::string> operands;
  std::string out, title;
  long frame = -1;
  bool all = false;
};

bool Parse(const ToolArgs& args, Options& o) {
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    if (a == "--all") {
      o.all = true;
    } else if (a == "-o" && has_value) {
      o.out = args[++i];
    } else if (a == "--title" && has_value) {
      o.title = args[++i];
    } else if (a == "--frame" && has_value) {
      try {
        size_t used = 0;
        o.frame = std::stol(args[++i], &used);
        if (used != args[i].size() || o.frame < 0 || o.frame > INT32_MAX)
          return false;
      } catch (const std::exception&) {
        return false;
      }
    } else if (a.starts_with("-")) {
      return false;
    } else {
      o.operands.push_back(a);
    }
  }
  return true;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  TMemoryStream file;
  file.LoadFromFile(path);
  const std::span<const uint8_t> bytes = file.Bytes();
  return {bytes.begin(), bytes.end()};
}

// The title's view of a film given on the command line: the title folder (--title, or the
// film's own folder) and the film's name inside it.
struct TitleFilm {
  std::string folder, name;
};

TitleFilm Locate(const Options& o) {
  const std::filesystem::path path(o.operands[0]);
  if (o.title.empty())
    return {path.parent_path().empty() ? "." : path.parent_path().string(),
            path.filename().string()};
  std::string name = std::filesystem::relative(path, o.title).generic_string();
  if (name.empty() || name.starts_with(".."))
    name = path.generic_string();
  for (char& c : name)
    if (c == '/')
      c = '\\';
  return {o.title, name};
}

int Info(const Options& o) {
  if (o.operands.size() != 1)
    return FilmUsage();
  const TitleFilm at = Locate(o);
  const std::vector<uint8_t> bytes = ReadBytes(o.operands[0]);
  const TFilmFile file = ReadFilm(bytes, at.name);
  if (o.all) {
    std::fputs(SjisToUtf8(FilmToText(file)).c_str(), stdout);
    return 0;
  }
  TFilmManager film;
  film.Load(file);
  std::printf("%s version %d, %dx%d, background %d, relative %s, origin %d,%d, loop start %d, "
              "length %d frames, %d track(s)%s\n",
              file.tag_index ? "motion" : "cinema", file.version, file.width, file.height,
              file.back_color, file.relative ? "yes" : "no", file.origin.x, file.origin.y,
              file.loop_start, film.Length(), film.TrackCount(),
              file.stopped_at_unknown_kind ? " (stopped at a track of unknown kind)" : "");
  for (int i = 0; i < film.TrackCount(); ++i) {
    const TCustomFrameList& t = *film.Track(i);
    int pred = -1;
    for (int j = 0; j < film.TrackCount(); ++j)
      if (film.Track(j) == t.Predecessor())
        pred = j;
    std::printf("track %d %s: frames %lld-%lld (%lld)", i, FilmTrackKindName(t.Kind()),
                static_cast<long long>(t.StartFrame()), static_cast<long long>(t.EndFrame() - 1),
                static_cast<long long>(t.Length()));
    if (pred >= 0)
      std::printf(", after track %d", pred);
    if (t.HasFollower())
      std::printf(", followed");
    if (t.Record().next_page)
      std::printf(", next page");
    if (t.Kind() == fkWipe)
      std::printf(", wipe %d", t.Record().wipe_kind);
    if (!t.Record().source.empty())
      std::printf(", \"%s\"", SjisToUtf8(t.Record().source).c_str());
    if (!t.Record().text.empty())
      std::printf(", text \"%s\"", SjisToUtf8(t.Record().text).c_str());
    std::printf("\n");
  }
  return 0;
}

int Build(const Options& o) {
  if (o.operands.size() != 1 || o.out.empty())
    return FilmUsage();
  std::ifstream in(o.operands[0], std::ios::binary);
  if (!in)
    throw ENovaError("cannot read \"" + o.operands[0] + "\"");
  std::stringstream text;
  text << in.rdbuf();
  // Descriptions are UTF-8; the film stores Shift-JIS.
  const std::vector<uint8_t> bytes = WriteFilm(ParseFilmText(Utf8ToSjis(text.str())));
  TMemoryStream out;
  out.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  out.SaveToFile(o.out);
  return 0;
}

int Render(const Options& o) {
  if (o.operands.size() != 1 || o.out.empty() || o.frame < 0)
    return FilmUsage();
  const TitleFilm at = Locate(o);
  TFilmStage stage(ReadBytes(o.operands[0]), at.folder, at.name, o.operands[0]);
  WritePng(stage.Draw(static_cast<int32_t>(o.frame)), o.out);
  return 0;
}

} // namespace

int Tool_film(const ToolArgs& args) {
  Options o;
  if (args.empty() || !Parse(args, o))
    return FilmUsage();
  if (args[0] == "info")
    return Info(o);
  if (args[0] == "build")
    return Build(o);
  if (args[0] == "render")
    return Render(o);
  return FilmUsage();
}
