// SPDX-License-Identifier: MIT
// One frame step of a 1280x720 scene: a full-screen background picture and 100 animated
// 256x256 pictures with alpha masks (every fifth zoomed, every fifth rotated), all moving.
// Counters: milliseconds per frame step and the share spent in the draw step (pixel work)
// against input, update and animation (the rest), in wall time and in this thread's processor
// time; the latter is the work on one core whatever else the machine runs, and gives cpu_fps.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <vector>

#include "base/run_state.h"
#include "graphics/dibx.h"
#include "graphics/image_cache.h"
#include "graphics/wisp_frame_list.h"
#include "scene/component_factory.h"
#include "scene/kinds/all_kinds.h"
#include "scene/nova_base_list.h"
#include "vfs/vr_file_manager.h"

namespace nova {
namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double ThreadCpuNs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

TWispFrame Picture(int w, int h, uint32_t seed, bool alpha) {
  TWispFrame f;
  f.picture.color.SetSize(w, h, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      f.picture.color.SetRaw(
          x, y, (seed * 2654435761u + static_cast<uint32_t>(x * 3 + y * 5)) & 0xFFFFFF);
  f.display_time = 48;
  if (alpha) {
    f.picture.alpha.SetSize(w, h, 8);
    f.picture.has_alpha = true;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const double d = std::hypot(x - w / 2.0, y - h / 2.0) / (w / 2.0);
        f.picture.alpha.Row(y)[x] = static_cast<uint8_t>(d >= 1 ? 0 : 255 * (1 - d * d));
      }
  }
  return f;
}

void Write(const fs::path& path, TWispFrameList& list) {
  const std::vector<uint8_t> bytes = list.SaveToBytes();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

void BM_ImagesFrame_1280x720_100Animated256(benchmark::State& state) {
  ResetRunState();
  RunState().FrameDelta = 16;
  const fs::path dir = fs::temp_directory_path() / "bench_images_scene";
  fs::create_directories(dir);
  {
    TWispFrameList bg, sprite;
    bg.AddFrame(Picture(1280, 720, 7, false));
    for (uint32_t i = 0; i < 3; ++i)
      sprite.AddFrame(Picture(256, 256, i + 1, true));
    Write(dir / "bg.wsp", bg);
    Write(dir / "sprite.wsp", sprite);
  }
  TVrFileManager files;
  files.SetCdromRoots({});
  files.SetBaseFolder(dir.string());
  TWispCollection cache(files, 0);
  TDIBX back(1280, 720, 32);
  {
    TNovaBaseList list(1280, 720);
    list.SetImageServices({&cache, nullptr});
    list.SetScreenSurface(&back);
    auto* bg = CreateComponent<TNovaImages>(&list);
    bg->SetParent(list.Front());
    bg->SetProp(PR_SOURCE, TPropValue::Str("bg.wsp"));
    bg->SetProp(PR_PRIORITY, TPropValue::Int(-1));
    std::vector<TNovaImages*> sprites;
    for (int i = 0; i < 100; ++i) {
      auto* s = CreateComponent<TNovaImages>(&list);
      s->SetParent(list.Front());
      s->SetProp(PR_SOURCE, TPropValue::Str("sprite.wsp"));
      s->SetProp(PR_REPEAT, TPropValue::Flag(true));
      s->SetBounds((i * 97) % 1100, (i * 53) % 540, 256, 256);
      s->SetProp(PR_ZOOMX, TPropValue::Int(256));
      s->SetProp(PR_ZOOMY, TPropValue::Int(256));
      s->SetProp(PR_ALPHA, TPropValue::Int(i % 3 == 0 ? 255 : i % 3 == 1 ? 180 : 300));
      if (i % 5 == 1) {
        s->SetProp(PR_ZOOMX, TPropValue::Int(320));
        s->SetProp(PR_ZOOMY, TPropValue::Int(320));
      }
      if (i % 5 == 2) {
        s->SetProp(PR_OFFSETX, TPropValue::Int(128));
        s->SetProp(PR_OFFSETY, TPropValue::Int(128));
        s->SetProp(PR_ANGLE, TPropValue::Int(20 + i));
      }
      sprites.push_back(s);
    }
    list.UpdateStep();
    list.DrawStep();
    list.ClearDirty();
    int frame = 0;
    double draw_ns = 0, total_ns = 0, cpu_draw_ns = 0, cpu_total_ns = 0;
    for (auto _ : state) {
      const double cpu_start = ThreadCpuNs();
      const Clock::time_point start = Clock::now();
      ++frame;
      for (size_t k = 0; k < sprites.size(); ++k)
        sprites[k]->SetLeft((sprites[k]->Left() + 1 + static_cast<int>(k % 3)) % 1100);
      list.InputStep();
      list.UpdateStep();
      const Clock::time_point draw = Clock::now();
      const double cpu_draw = ThreadCpuNs();
      list.DrawStep();
      list.ClearDirty();
      const Clock::time_point end = Clock::now();
      const double cpu_end = ThreadCpuNs();
      draw_ns += std::chrono::duration<double, std::nano>(end - draw).count();
      total_ns += std::chrono::duration<double, std::nano>(end - start).count();
      cpu_draw_ns += cpu_end - cpu_draw;
      cpu_total_ns += cpu_end - cpu_start;
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["ms_per_frame"] = total_ns / 1e6 / frames;
    state.counters["pixel_pct"] = 100.0 * draw_ns / total_ns;
    state.counters["rest_ms"] = (total_ns - draw_ns) / 1e6 / frames;
    state.counters["cpu_ms_per_frame"] = cpu_total_ns / 1e6 / frames;
    state.counters["cpu_fps"] = 1e9 * frames / cpu_total_ns;
    state.counters["cpu_pixel_pct"] = 100.0 * cpu_draw_ns / cpu_total_ns;
    state.counters["cpu_rest_ms"] = (cpu_total_ns - cpu_draw_ns) / 1e6 / frames;
  }
  fs::remove_all(dir);
}
BENCHMARK(BM_ImagesFrame_1280x720_100Animated256)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace nova

BENCHMARK_MAIN();
