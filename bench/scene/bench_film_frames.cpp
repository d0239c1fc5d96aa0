// SPDX-License-Identifier: MIT
// A film of 30 tracks at 1280x720 (20 pictures of 128x128 with alpha, 6 boxes, 4 labels, with
// chains, curves, zoom, rotation and fading) played frame by frame: SetFrame (creating, moving
// and freeing components) against the draw step of the same frames, the pixel work SetFrame
// should stay well below.
#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "base/run_state.h"
#include "graphics/dibx.h"
#include "graphics/film_file.h"
#include "graphics/image_cache.h"
#include "graphics/wisp_frame_list.h"
#include "scene/films/film_manager.h"
#include "scene/nova_base_list.h"
#include "vfs/vr_file_manager.h"

namespace nova {
namespace {

namespace fs = std::filesystem;

TWispFrame Picture(int w, int h, uint32_t seed) {
  TWispFrame f;
  f.picture.color.SetSize(w, h, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      f.picture.color.SetRaw(
          x, y, (seed * 2654435761u + static_cast<uint32_t>(x * 3 + y * 5)) & 0xFFFFFF);
  f.display_time = 50;
  f.picture.alpha.SetSize(w, h, 8);
  f.picture.has_alpha = true;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double d = std::hypot(x - w / 2.0, y - h / 2.0) / (w / 2.0);
      f.picture.alpha.Row(y)[x] = static_cast<uint8_t>(d >= 1 ? 0 : 255 * (1 - d * d));
    }
  return f;
}

TFilmFile ThirtyTracks() {
  TFilmFile film;
  film.width = 1280;
  film.height = 720;
  film.back_color = 0;
  for (int i = 0; i < 30; ++i) {
    TFilmTrack t;
    t.kind = i < 20 ? fkImage : i < 26 ? fkBox : fkLabel;
    t.length = 120;
    t.start_pos = {(i * 97) % 1100, (i * 53) % 560};
    t.end_pos = {(i * 61 + 300) % 1100, (i * 29 + 200) % 560};
    t.curve_x = static_cast<uint8_t>(i % 3);
    t.curve_y = static_cast<uint8_t>((i + 1) % 3);
    t.priority = i;
    t.source = "sprite.wsp";
    t.start_opacity = 255;
    t.end_opacity = i % 4 == 0 ? 128 : 255;
    if (i % 5 == 1) {
      t.end_zoom_x = t.end_zoom_y = 1.5;
      t.end_rotation = 90;
    }
    t.start_color = 0x204080;
    t.end_color = 0x804020;
    t.text = "film";
    // Every fifth track continues the one before it.
    if (i % 5 == 4) {
      t.predecessor = i - 1;
      t.start = 0;
    }
    film.tracks.push_back(t);
  }
  return film;
}

struct FilmBench {
  FilmBench() {
    ResetRunState();
    RunState().FrameDelta = 16;
    fs::create_directories(dir);
    TWispFrameList sprite;
    for (uint32_t i = 0; i < 4; ++i)
      sprite.AddFrame(Picture(128, 128, i + 1));
    const std::vector<uint8_t> bytes = sprite.SaveToBytes();
    std::ofstream(dir / "sprite.wsp", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    files.SetCdromRoots({});
    files.SetBaseFolder(dir.string());
    scene.SetImageServices({&cache, nullptr});
    scene.SetScreenSurface(&back);
    film.SetResources(&cache, &files);
    film.Load(ThirtyTracks());
    film.SetScene(&scene);
    film.Start();
  }
  ~FilmBench() { fs::remove_all(dir); }
  // Frames run from 0 to the end and again.
  int32_t Next() { return frame = (frame + 1) % film.Length(); }

  fs::path dir = fs::temp_directory_path() / "bench_film_frames";
  TVrFileManager files;
  TWispCollection cache{files, 0};
  TDIBX back{1280, 720, 32};
  TNovaBaseList scene{1280, 720};
  TFilmManager film;
  int32_t frame = 0;
};

double ThreadCpuNs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

// One frame: SetFrame, the update step that takes new components in, and the draw step. The
// counters split the thread's processor time (which other work on the machine does not
// inflate): SetFrame alone, the draw step (the frame's pixel work), and SetFrame as a share
// of it.
void BM_FilmFrame_1280x720_30Tracks(benchmark::State& state) {
  FilmBench b;
  double set_ns = 0, draw_ns = 0;
  for (auto _ : state) {
    const double t0 = ThreadCpuNs();
    b.film.SetFrame(b.Next());
    const double t1 = ThreadCpuNs();
    b.scene.UpdateStep();
    const double t2 = ThreadCpuNs();
    b.scene.DrawStep();
    b.scene.ClearDirty();
    const double t3 = ThreadCpuNs();
    set_ns += t1 - t0;
    draw_ns += t3 - t2;
  }
  const double frames = static_cast<double>(state.iterations());
  state.counters["setframe_us"] = set_ns / 1e3 / frames;
  state.counters["draw_us"] = draw_ns / 1e3 / frames;
  state.counters["setframe_pct_of_draw"] = 100.0 * set_ns / draw_ns;
}
BENCHMARK(BM_FilmFrame_1280x720_30Tracks)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace nova

BENCHMARK_MAIN();
