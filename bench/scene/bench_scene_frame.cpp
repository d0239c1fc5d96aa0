// SPDX-License-Identifier: MIT
// One frame step of a 1280x720 scene of 200 boxes (opaque, blended, additive; 20 of them move
// every frame): input, update, draw and present into a presentation texture. The counters give
// the thread's processor time per frame, which other work on the machine does not inflate, and
// the share of the frame spent outside pixel work (fills and the copy into the texture), which
// is timed inside the surface and the display. That split is taken from the frames the thread
// ran through without being preempted, where wall-clock time is processor time, and leaves out
// the cost of the timers themselves. Fills and changed rectangles per frame show how much the
// scene asks of the surfaces.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <vector>

#include "base/run_state.h"
#include "graphics/dibx.h"
#include "graphics/screen_manager.h"
#include "scene/component_factory.h"
#include "scene/kinds/all_kinds.h"
#include "scene/nova_base_list.h"
#include "scene/scene_screen_link.h"

namespace nova {
namespace {

using Clock = std::chrono::steady_clock;

double ThreadCpuNs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

double g_pixel_ns = 0;
int64_t g_fills = 0;
int64_t g_timers = 0;

struct PixelTimer {
  Clock::time_point start = Clock::now();
  ~PixelTimer() {
    g_pixel_ns += std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    ++g_timers;
  }
};

// The cost of one clock read: the best of a few runs, so that preemption does not count.
double ClockReadNs() {
  double best = 1e9;
  for (int run = 0; run < 20; ++run) {
    constexpr int kReads = 2000;
    const Clock::time_point start = Clock::now();
    Clock::time_point last = start;
    for (int i = 0; i < kReads; ++i)
      last = Clock::now();
    best = std::min(best, std::chrono::duration<double, std::nano>(last - start).count() / kReads);
  }
  return best;
}

struct FillTimer : PixelTimer {
  FillTimer() { ++g_fills; }
};

// The back surface, timing every fill the boxes make.
class TTimedDIBX : public TDIBX {
public:
  using TDIBX::TDIBX;
  void FillRect(const TRect& r, TPixel p) override {
    FillTimer t;
    TDIBX::FillRect(r, p);
  }
  void FillRectAlpha(const TRect& r, TPixel p, int a) override {
    FillTimer t;
    TDIBX::FillRectAlpha(r, p, a);
  }
  void FillRectAdd(const TRect& r, TPixel p) override {
    FillTimer t;
    TDIBX::FillRectAdd(r, p);
  }
};

// The presentation texture: changed rectangles copied row by row.
class TTextureDisplay : public IScreenDisplay {
public:
  std::vector<uint32_t> texture = std::vector<uint32_t>(1280 * 720);
  // The scene draws into the timed surface; the copy reads it in place of the manager's own
  // back surface, so the frame holds no copy a real frame would not make.
  TDIBX* source = nullptr;
  std::vector<TScreenMode> DisplayModes() override { return {}; }
  TDisplayFormat CurrentFormat() override { return {32, false}; }
  bool SetFullScreen(bool, const TScreenMode*) override { return true; }
  void Present(const TScreenPixels&, std::span<const TScreenBlit> blits) override {
    PixelTimer t;
    const uint8_t* row0 = source->PixelAddress(0, 0);
    const int pitch = source->Pitch();
    for (const TScreenBlit& b : blits)
      for (int y = b.src.Top; y < b.src.Bottom; ++y)
        std::memcpy(&texture[static_cast<size_t>(y) * 1280 + static_cast<size_t>(b.src.Left)],
                    row0 + static_cast<ptrdiff_t>(y) * pitch + b.src.Left * 4,
                    static_cast<size_t>(b.src.Right - b.src.Left) * 4);
  }
  void Repaint(const TScreenPixels&) override {}
};

// state.range(0): 1 keeps screen places from one step to the next, 0 remembers them only
// within one walk (the peer).
void BM_SceneFrame_1280x720_200Boxes(benchmark::State& state) {
  ResetRunState();
  RunState().FrameDelta = 16;
  TTextureDisplay display;
  TScreenManager screen(&display, 1280, 720, 1280, 720);
  TTimedDIBX back(1280, 720, 32);
  display.source = &back;
  TNovaBaseList list(1280, 720);
  list.SetKeepPlacements(state.range(0) != 0);
  list.SetScreenSurface(&back);
  TSceneScreenLink link(list);
  std::vector<TNovaBox*> moving;
  for (int i = 0; i < 200; ++i) {
    auto* box = CreateComponent<TNovaBox>(&list);
    box->SetParent(list.Front());
    box->SetBounds((i * 97) % 1180, (i * 53) % 640, 40 + i % 60, 30 + (i * 7) % 50);
    box->SetColor(static_cast<int32_t>((i * 2654435761u) & 0xFFFFFF));
    box->SetProp(PR_ALPHA, TPropValue::Int(i % 3 == 0 ? 255 : i % 3 == 1 ? 160 : 320));
    box->SetProp(PR_ONMOUSEMOVE, TPropValue::Str("move"));
    if (i % 10 == 0)
      moving.push_back(box);
  }
  list.DrawStep();
  list.ClearDirty();
  const double read_ns = ClockReadNs();
  int frame = 0;
  double cpu_ns = 0;
  // Sums over the frames that ran unpreempted.
  double clean_ns = 0, clean_pixel_ns = 0, clean_timers = 0, clean_frames = 0;
  size_t rects = 0;
  g_fills = 0;
  for (auto _ : state) {
    // The processor clock is read outside the timed frame, so its cost counts nowhere.
    const double cpu_start = ThreadCpuNs();
    const Clock::time_point start = Clock::now();
    g_pixel_ns = 0;
    g_timers = 0;
    ++frame;
    for (size_t k = 0; k < moving.size(); ++k)
      moving[k]->SetLeft((moving[k]->Left() + 3 + static_cast<int>(k)) % 1200);
    list.SetPointer(frame % 1280, (frame * 3) % 720);
    list.InputStep();
    list.Events().Clear();
    list.UpdateStep();
    rects += list.Front()->DirtyRects().Rects().size();
    list.DrawStep();
    screen.Present(link, 100);
    const double wall = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    const double cpu = ThreadCpuNs() - cpu_start;
    cpu_ns += cpu;
    // The processor interval encloses the wall-clock one: only a preempted frame lasts longer.
    if (wall <= cpu) {
      clean_ns += wall;
      clean_pixel_ns += g_pixel_ns;
      clean_timers += static_cast<double>(g_timers);
      ++clean_frames;
    }
  }
  const double frames = static_cast<double>(state.iterations());
  // Each timer's interval holds about one clock read, and the frame holds two per timer.
  const double pixel = clean_pixel_ns - clean_timers * read_ns;
  const double frame_ns = clean_ns - 2 * clean_timers * read_ns;
  const double rest = frame_ns - pixel;
  state.counters["cpu_ms_per_frame"] = cpu_ns / 1e6 / frames;
  state.counters["cpu_pixel_ms"] = clean_frames > 0 ? pixel / 1e6 / clean_frames : 0;
  state.counters["cpu_rest_ms"] = clean_frames > 0 ? rest / 1e6 / clean_frames : 0;
  state.counters["cpu_rest_pct"] = frame_ns > 0 ? 100.0 * rest / frame_ns : 0;
  state.counters["timer_ms"] =
      clean_frames > 0 ? 2 * clean_timers * read_ns / 1e6 / clean_frames : 0;
  state.counters["unpreempted_pct"] = 100.0 * clean_frames / frames;
  state.counters["fills"] = static_cast<double>(g_fills) / frames;
  state.counters["rects"] = static_cast<double>(rects) / frames;
}
BENCHMARK(BM_SceneFrame_1280x720_200Boxes)
    ->ArgName("kept_places")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace nova

BENCHMARK_MAIN();
