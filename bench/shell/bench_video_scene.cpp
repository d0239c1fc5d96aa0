// SPDX-License-Identifier: MIT
// The frame step of a 640x480 scene playing a 640x480 movie with sound (MPEG-1 + layer II,
// repeating): the media update, the scene's update (the movie decodes the picture due) and its
// draw (the picture converted into the component's surface and drawn on the screen), with the
// headless output rendering the sound. 60 frames per second leave 16.7 ms per frame.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "base/run_state.h"
#include "graphics/dibx.h"
#include "media/media_system.h"
#include "media/video_manager.h"
#include "media/video_pattern.h"
#include "platform/audio_output.h"
#include "platform/clock.h"
#include "scene/component_factory.h"
#include "scene/kinds/all_kinds.h"
#include "scene/nova_base_list.h"
#include "shell/media_library_adapter.h"

namespace nova {
namespace {

void BM_VideoSceneFrame_640x480(benchmark::State& state) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("nova_bench_scene_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string clip = (dir / "op.mpg").string();
  TVideoPattern pattern;
  pattern.codec = TVideoPatternCodec::Mpeg1;
  pattern.width = 640;
  pattern.height = 480;
  pattern.frames = 100;
  WriteVideoPattern(clip, pattern);

  ResetRunState();
  TVirtualClock clock;
  auto output = CreateHeadlessAudioOutput("");
  TMediaPlugins plugins;
  plugins.video = MakeVideoManager;
  TMediaSystem media(*output, clock, TMediaSettings{}, plugins);
  TMediaLibraryAdapter library(media);
  TDIBX screen(640, 480, 32);
  {
    TNovaBaseList list(640, 480);
    list.SetScreenSurface(&screen);
    list.SetMediaServices({&library, nullptr});
    auto* video = CreateComponent<TNovaVideo>(&list);
    video->SetParent(list.Front());
    video->SetProp(PR_OVERLAY, TPropValue::Flag(false));
    video->SetProp(PR_REPEAT, TPropValue::Flag(true));
    video->SetProp(PR_SOURCE, TPropValue::Str(clip));
    video->Play();
    if (!video->Item())
      state.SkipWithError("the movie did not open");
    for (auto _ : state) {
      RunState().GameClock += 16;
      RunState().FrameDelta = 16;
      output->RenderUntil(static_cast<uint64_t>(RunState().GameClock) * kAudioOutputRate / 1000);
      media.Update();
      list.UpdateStep();
      list.DrawStep();
      list.ClearDirty();
    }
  }
  std::filesystem::remove_all(dir);
}

BENCHMARK(BM_VideoSceneFrame_640x480)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

} // namespace
} // namespace nova

BENCHMARK_MAIN();
