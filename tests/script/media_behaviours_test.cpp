// SPDX-License-Identifier: MIT
// MovieStop and PropMotion as the interpreter runs them.
#include <gtest/gtest.h>

#include "base/nova_error.h"
#include "base/run_state.h"
#include "expr/build_parser.h"
#include "expr/param_collection.h"
#include "scene/component_factory.h"
#include "scene/kinds/all_kinds.h"
#include "scene/nova_base_list.h"
#include "script/call_man.h"
#include "script/commands/scene_commands.h"
#include "script/component_behaviours.h"
#include "script/component_texts.h"
#include "script/scene_command_hosts.h"

namespace nova {
namespace {

using test::TNoDialogs;
using test::TNoFiles;
using test::TSceneHost;

// Media that exist and play silently; only what the commands look at.
struct TSilentItem : IMediaItem {
  void SetAutoRepeat(bool) override {}
  void SetRepeatPos(int32_t) override {}
  void SetPan(int32_t) override {}
  void SetVolume(int32_t v) override { volume = v; }
  int32_t GetVolume() const override { return volume; }
  int32_t GetPosition() const override { return 0; }
  void SetPosition(int32_t) override {}
  int32_t GetLength() const override { return 60000; }
  bool IsEnd() override { return false; }
  bool IsPlaying() const override { return true; }
  bool IsPaused() const override { return false; }
  void Play() override {}
  void Pause() override {}
  int32_t volume = 0;
};
struct TSilentMedia : IMediaLibrary {
  bool FileExists(const std::string& name) override { return name != "missing.ogg"; }
  std::unique_ptr<IMediaItem> CreateItem(TMediaManagerKind, const std::string&) override {
    return std::make_unique<TSilentItem>();
  }
  std::unique_ptr<IMediaItem> CreateVideo(const std::string&, bool) override {
    return std::make_unique<TSilentItem>();
  }
};

void Set(TCommandExpr& e, const char* text) { CompileExpression(text, e.parser); }

class MediaCommands : public ::testing::Test {
protected:
  void SetUp() override {
    ResetRunState();
    scene.SetMediaServices({&media, nullptr});
    behaviours.Register(cm);
  }
  TNovaSound* Playing(const std::string& name, const std::string& source = "bgm.ogg") {
    auto* s = CreateComponent<TNovaSound>(&scene);
    s->SetName(name);
    s->SetProp(PR_SOURCE, TPropValue::Str(source));
    s->Play();
    return s;
  }
  // Starts the command and runs it with one scene update per frame; answers the runs taken.
  int RunToEnd(TCommand& cmd) {
    const ICommandBehaviour& b = cm.BehaviourOf(cmd);
    cm.set_pc(0);
    b.Start(cmd, cm);
    int runs = 0;
    while (cm.pc() == 0 && runs < 200) {
      RunState().GameClock += 16;
      RunState().FrameDelta = 16;
      b.Run(cmd, cm);
      scene.UpdateStep();
      ++runs;
    }
    return runs;
  }
  static void Fill(TComMovieStop& cmd, const char* name, const char* fade, const char* wait) {
    Set(cmd.object, name);
    Set(cmd.fade_ms, fade);
    Set(cmd.wait, wait);
  }

  TSilentMedia media;
  TNovaBaseList scene{64, 48};
  TParamCollection vars;
  TNoFiles files;
  TNoDialogs dialogs;
  TSceneHost host{scene};
  TCallMan cm{{vars, files, dialogs, host}};
  TComponentBehaviours behaviours{scene};
};

TEST_F(MediaCommands, StopWithoutFadeDeletesAtOnceEvenWhenWaiting) {
  TNovaSound* s = Playing("se");
  TComMovieStop cmd(nullptr);
  Fill(cmd, "\"se\"", "0", "1");
  EXPECT_EQ(RunToEnd(cmd), 1);
  EXPECT_EQ(scene.FindByName("se"), nullptr);
  (void)s;
}

TEST_F(MediaCommands, FadeOutWaitsWhileANewSoundTakesTheName) {
  TNovaSound* old_sound = Playing("bgm");
  TComMovieStop cmd(nullptr);
  Fill(cmd, "\"bgm\"", "500", "1");
  const ICommandBehaviour& b = cm.BehaviourOf(cmd);
  cm.set_pc(0);
  b.Start(cmd, cm);
  EXPECT_EQ(old_sound->PlayState(), kPlayFadeOut);
  EXPECT_EQ(old_sound->GetProp(PR_DELAY).i, 500);
  EXPECT_TRUE(b.Yields(cmd));
  TNovaSound* fresh = Playing("bgm");
  EXPECT_EQ(scene.FindByName("bgm"), fresh);
  int runs = 0;
  while (cm.pc() == 0 && runs < 100) {
    RunState().GameClock += 100;
    RunState().FrameDelta = 100;
    b.Run(cmd, cm);
    scene.UpdateStep();
    ++runs;
  }
  EXPECT_GE(runs, 5) << "it waited for the fade";
  EXPECT_LT(runs, 100);
  EXPECT_FALSE(scene.IsRegistered(old_sound));
  EXPECT_EQ(scene.FindByName("bgm"), fresh);
}

TEST_F(MediaCommands, NothingToWaitForWhenNotPlayingOrNotFound) {
  auto* stopped = CreateComponent<TNovaSound>(&scene);
  stopped->SetName("quiet");
  stopped->SetProp(PR_SOURCE, TPropValue::Str("bgm.ogg"));
  TComMovieStop quiet(nullptr);
  Fill(quiet, "\"quiet\"", "500", "1");
  EXPECT_EQ(RunToEnd(quiet), 1);
  EXPECT_NE(scene.FindByName("quiet"), nullptr) << "a stopped sound is left alone";
  TComMovieStop nobody(nullptr);
  Fill(nobody, "\"nobody\"", "500", "1");
  EXPECT_EQ(RunToEnd(nobody), 1);
}

TEST_F(MediaCommands, PropMotionAnimatesAndNeedsAPropertyId) {
  auto* box = CreateComponent<TNovaBox>(&scene);
  box->SetName("b");
  TComPropMotion cmd(nullptr);
  Set(cmd.name, "\"m\"");
  Set(cmd.target, "\"b\"");
  Set(cmd.prop_id, "3"); // PR_LEFT
  Set(cmd.end_value, "100");
  Set(cmd.duration_ms, "1000");
  Set(cmd.curve, "0");
  RunToEnd(cmd);
  auto* m = dynamic_cast<TNovaPropMotion*>(scene.FindByName("m"));
  ASSERT_NE(m, nullptr);
  for (int i = 0; i < 3; ++i) {
    RunState().FrameDelta = 500;
    scene.UpdateStep();
  }
  EXPECT_EQ(box->Left(), 100);

  TComPropMotion bad(nullptr);
  Set(bad.target, "\"b\"");
  try {
    RunToEnd(bad);
    FAIL() << "a motion without property id is refused";
  } catch (const ENovaError& e) {
    EXPECT_EQ(std::string(e.what()), InvalidPropertyText());
  }
}

} // namespace
} // namespace nova
