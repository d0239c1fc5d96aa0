// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "base/run_state.h"
#include "base/sjis.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/scene_input.h"
#include "platform/virtual_keys.h"
#include "platform/wall_clock.h"
#include "shell/form_view.h"
#include "shell/test_files.h"

namespace nova {
namespace {

std::string Layer(TSceneLayer l) { return l == TSceneLayer::Front ? "F" : "B"; }

// The base list as the shell sees it: every call written down.
class TSceneLog final : public ISceneInput {
public:
  std::vector<std::string> calls;
  void SetKeyState(int key, bool down) override {
    calls.push_back("key " + std::to_string(key) + (down ? " down" : " up"));
  }
  void SetKeyClicked(int key) override { calls.push_back("clicked " + std::to_string(key)); }
  void ReleaseKeys() override { calls.push_back("release"); }
  void SetMouseHeld(TSceneLayer l, bool left, bool right) override {
    calls.push_back("held " + Layer(l) + std::to_string(left) + std::to_string(right));
  }
  void SetMousePressed(TSceneLayer l, bool left, bool right) override {
    calls.push_back("pressed " + Layer(l) + std::to_string(left) + std::to_string(right));
  }
  void SetWheelPressed(TSceneLayer l, bool up) override {
    calls.push_back("wheel " + Layer(l) + (up ? " up" : " down"));
  }
  void SetMousePos(TSceneLayer l, int x, int y) override {
    calls.push_back("pos " + Layer(l) + " " + std::to_string(x) + "," + std::to_string(y));
  }
};

class TLoopLog final : public IFrameLoop {
public:
  std::vector<std::string> calls;
  void Start() override { calls.push_back("start"); }
  void Suspend() override { calls.push_back("suspend"); }
  void Resume() override { calls.push_back("resume"); }
  void ResetTimeBase() override { calls.push_back("reset"); }
  void Stop() override { calls.push_back("stop"); }
};

class TBoxLog final : public IMessageBox {
public:
  TMsgResult answer = TMsgResult::No;
  std::vector<std::string> texts;
  TMsgResult Show(const std::string& text, const std::string& caption, TMsgButtons buttons,
                  TMsgIcon icon) override {
    texts.push_back(SjisToUtf8(caption) + "|" + SjisToUtf8(text));
    EXPECT_EQ(buttons, TMsgButtons::YesNo);
    EXPECT_EQ(icon, TMsgIcon::Question);
    return answer;
  }
};

class FormViewTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetRunState();
    window = CreateHeadlessWindow({});
    SetMessageBox(&box);
  }
  void TearDown() override {
    SetMessageBox(nullptr);
    ResetRunState();
  }
  std::unique_ptr<TFormView> Make() {
    auto form = std::make_unique<TFormView>(*window, loop, hooks, std::vector<std::string>{},
                                            "/nonexistent/novaplay");
    form->Create();
    return form;
  }
  TWindowEvent Key(TWindowEventKind kind, int key, bool repeat = false) {
    TWindowEvent e;
    e.kind = kind;
    e.key = key;
    e.repeat = repeat;
    return e;
  }
  std::unique_ptr<IWindow> window;
  TLoopLog loop;
  TPlayerHooks hooks;
  TSceneLog scene;
  TBoxLog box;
};

TEST_F(FormViewTest, StartupRunsEveryStepInOrderAndStartsTheLoopLast) {
  std::vector<std::string> trace;
  hooks.trace = [&](const std::string& name) { trace.push_back(name); };
  auto form = Make();
  const std::vector<std::string> expected = {"DeleteLog",
                                             "Randomize",
                                             "VrFileManager.Callbacks",
                                             "ReadRunConfig",
                                             "SetIcon",
                                             "VrFileManager.AddFirstCollection",
                                             "BuildToolBar",
                                             "FindArchives",
                                             "TBasePanel.Create",
                                             "ParamMan.Create",
                                             "SysFuncMan.Create",
                                             "DXSound.Initialize",
                                             "NovaInitialize",
                                             "TProject.Create",
                                             "MediaInit",
                                             "NovaInitColor",
                                             "Layout",
                                             "LoopThread.Create"};
  EXPECT_EQ(trace, expected);
  EXPECT_EQ(loop.calls, std::vector<std::string>{"start"});
  EXPECT_FALSE(form->CloseRequested());
  EXPECT_THROW(form->InitSteps().Set("NoSuchStep", [] {}), std::logic_error);
}

TEST_F(FormViewTest, RandomSeedIsTheUtcTimeOfDayInMilliseconds) {
  TWallTime t;
  t.hour = 23;
  t.minute = 59;
  t.second = 58;
  t.millisecond = 999;
  EXPECT_EQ(RandomSeed(t), ((23u * 60 + 59) * 60 + 58) * 1000 + 999);
  uint32_t seed = 1;
  hooks.seed_random = [&](uint32_t s) { seed = s; };
  TVirtualClock clock;
  SetPlatformClock(&clock);
  SetWallClockStart(HeadlessWallClockStart());
  clock.Advance(1234);
  Make();
  SetWallClockStart(std::nullopt);
  SetPlatformClock(nullptr);
  EXPECT_EQ(seed, 1234u);
}

TEST_F(FormViewTest, AFailingStartupStepWarnsAndCloses) {
  TScriptedMessageBox answers({});
  SetMessageBox(&answers);
  auto form = std::make_unique<TFormView>(*window, loop, hooks, std::vector<std::string>{}, "x");
  form->InitSteps().Set("TProject.Create", [] { throw std::runtime_error("no project"); });
  form->Create();
  EXPECT_TRUE(RunState().Terminating);
  EXPECT_TRUE(form->CloseRequested());
  EXPECT_TRUE(loop.calls.empty()); // the loop thread was never created
}

TEST_F(FormViewTest, FrameStepOrderAndItsEarlyReturns) {
  std::vector<std::string> steps;
  bool project = false, loaded = false;
  hooks.has_project = [&] { return project; };
  hooks.input_step = [&] { steps.push_back("input"); };
  hooks.interpreter_step = [&] { steps.push_back("interpreter"); };
  hooks.update_step = [&] { steps.push_back("update"); };
  hooks.deferred_save_load = [&] {
    steps.push_back("saveload");
    return loaded;
  };
  hooks.draw_step = [&] { steps.push_back("draw"); };
  auto form = Make();
  TRunState& state = RunState();

  form->FrameStep(); // no project: nothing
  EXPECT_TRUE(steps.empty());
  project = true;
  form->FrameStep();
  EXPECT_EQ(steps,
            (std::vector<std::string>{"input", "interpreter", "update", "saveload", "draw"}));
  EXPECT_EQ(state.FrameCounter, 1u);

  steps.clear();
  loaded = true; // the frame of a load is not drawn
  form->FrameStep();
  EXPECT_EQ(steps.back(), "saveload");
  loaded = false;

  steps.clear();
  state.FpsDivisor = 2; // drawn one frame out of two
  form->FrameStep();
  form->FrameStep();
  EXPECT_EQ(std::count(steps.begin(), steps.end(), "draw"), 1);
  state.FpsDivisor = 1;

  steps.clear();
  state.Terminating = true; // a script error: no update, no drawing any more
  form->FrameStep();
  EXPECT_EQ(steps, (std::vector<std::string>{"input", "interpreter"}));
  EXPECT_EQ(state.FrameCounter, 4u);
}

TEST_F(FormViewTest, InputRouting) {
  hooks.scene_input = &scene;
  auto form = Make();
  form->HandleEvent(Key(TWindowEventKind::KeyDown, 65)); // not active yet: ignored
  form->HandleEvent({.kind = TWindowEventKind::Activate});
  scene.calls.clear();
  form->HandleEvent(Key(TWindowEventKind::KeyDown, 65));
  form->HandleEvent(Key(TWindowEventKind::KeyDown, 65, true)); // auto-repeat: ignored
  form->HandleEvent(Key(TWindowEventKind::KeyUp, 65));
  form->HandleEvent(
      {.kind = TWindowEventKind::MouseDown, .button = TMouseButton::Right, .x = 3, .y = 4});
  form->HandleEvent({.kind = TWindowEventKind::MouseUp, .button = TMouseButton::Right});
  form->HandleEvent(
      {.kind = TWindowEventKind::MouseDown, .button = TMouseButton::Left, .in_scene = false});
  form->HandleEvent({.kind = TWindowEventKind::Wheel, .wheel_up = true});
  form->HandleEvent({.kind = TWindowEventKind::MouseMove, .x = 7, .y = 8});
  EXPECT_EQ(scene.calls,
            (std::vector<std::string>{"key 65 down", "clicked 65", "key 65 up", "held F01",
                                      "held B01", "pressed F01", "held F00", "held B00",
                                      "wheel F up", "pos F 7,8", "pos B 7,8"}));
  // A drag with the left button survives a right or middle click.
  scene.calls.clear();
  for (TMouseButton b : {TMouseButton::Left, TMouseButton::Right, TMouseButton::Middle})
    form->HandleEvent({.kind = TWindowEventKind::MouseDown, .button = b});
  form->HandleEvent({.kind = TWindowEventKind::MouseUp, .button = TMouseButton::Middle});
  form->HandleEvent({.kind = TWindowEventKind::MouseUp, .button = TMouseButton::Right});
  EXPECT_EQ(scene.calls.back(), "held B10");
  form->HandleEvent({.kind = TWindowEventKind::MouseUp, .button = TMouseButton::Left});
  EXPECT_EQ(scene.calls.back(), "held B00");
}

TEST_F(FormViewTest, FullScreenKeysAndButtonSwitchWithoutReachingTheScene) {
  hooks.scene_input = &scene;
  std::vector<std::string> trace;
  auto form = Make();
  hooks.trace = [&](const std::string& name) { trace.push_back(name); };
  form->HandleEvent({.kind = TWindowEventKind::Activate});
  scene.calls.clear();
  form->HandleEvent(Key(TWindowEventKind::KeyDown, vk::kF1 + 10)); // F11
  EXPECT_TRUE(window->IsFullScreen());
  form->HandleEvent(Key(TWindowEventKind::KeyDown, vk::kMenu));
  form->HandleEvent(Key(TWindowEventKind::KeyDown, vk::kReturn)); // Alt+Enter
  EXPECT_FALSE(window->IsFullScreen());
  form->HandleEvent(Key(TWindowEventKind::KeyUp, vk::kMenu));
  form->HandleEvent({.kind = TWindowEventKind::DockButton, .dock = TDockButton::ScreenSwitch});
  EXPECT_TRUE(window->IsFullScreen());
  EXPECT_EQ(scene.calls, (std::vector<std::string>{"key 18 down", "clicked 18", "key 18 up"}));
  EXPECT_FALSE(RunState().SwitchingScreen);
  EXPECT_EQ(trace[0], "SetFullScreen");
  EXPECT_EQ(trace[1], "SetFullScreen.Full");
}

// game.ini chooses the first scaling; F10 and F12 are the player's and never reach the scene.
TEST_F(FormViewTest, ViewKeysStayWithThePlayer) {
  const auto dir = test::TestDir("form_view_keys");
  std::ofstream(dir / "game.ini") << "[Player]\nScaling=stretch\nFilter=sharp\n";
  setenv("XDG_PICTURES_DIR", (dir / "pictures").c_str(), 1);
  hooks.scene_input = &scene;
  TFormView form(*window, loop, hooks, {dir.string()}, "/nonexistent/novaplay");
  form.Create();
  EXPECT_EQ(window->Scaling(), (TViewScaling{TScalingMode::Stretch, TViewFilter::Sharp}));
  form.HandleEvent({.kind = TWindowEventKind::Activate});
  scene.calls.clear();
  for (const int key : {vk::kF1 + 9, vk::kF1 + 11}) {
    form.HandleEvent(Key(TWindowEventKind::KeyDown, key));
    form.HandleEvent(Key(TWindowEventKind::KeyUp, key));
  }
  EXPECT_EQ(scene.calls, std::vector<std::string>{});
  EXPECT_EQ(window->Scaling().mode, TScalingMode::Aspect);
  EXPECT_EQ(window->Notice().rfind("Screenshot saved: " + (dir / "pictures").string(), 0), 0u)
      << window->Notice();
  unsetenv("XDG_PICTURES_DIR");
}

TEST_F(FormViewTest, AModeThatCannotBeSetLeavesTheWindowAsItWas) {
  int reloads = 0;
  hooks.reload_scene_surfaces = [&] { ++reloads; };
  std::optional<TDisplayMode> mode = TDisplayMode{1234, 567, 32, 60};
  hooks.full_screen_mode = [&] { return mode; };
  auto form = Make();
  form->SetFullScreen(true);
  EXPECT_FALSE(window->IsFullScreen());
  EXPECT_EQ(reloads, 1); // the surfaces come back all the same
  EXPECT_FALSE(RunState().SwitchingScreen);

  // A script picks a mode while in full screen; when it cannot be set, back to a window.
  mode.reset();
  form->SetFullScreen(true);
  ASSERT_TRUE(window->IsFullScreen());
  mode = TDisplayMode{1234, 567, 32, 60};
  form->ReapplyScreenMode();
  EXPECT_FALSE(window->IsFullScreen());
  EXPECT_EQ(reloads, 3);
  EXPECT_FALSE(RunState().SwitchingScreen);
}

TEST_F(FormViewTest, DeactivationPausesOnlyWhenTheProjectSaysSo) {
  bool pause = false;
  std::vector<std::string> media;
  hooks.scene_input = &scene;
  hooks.has_project = [] { return true; };
  hooks.pause_when_inactive = [&] { return pause; };
  hooks.media_pause = [&] { media.push_back("pause"); };
  hooks.media_resume = [&] { media.push_back("resume"); };
  auto form = Make();
  form->HandleEvent({.kind = TWindowEventKind::Activate});
  loop.calls.clear();
  scene.calls.clear();
  form->HandleEvent({.kind = TWindowEventKind::Deactivate}); // keeps running, keys accepted
  EXPECT_TRUE(form->Active());
  EXPECT_TRUE(loop.calls.empty());
  form->HandleEvent(Key(TWindowEventKind::KeyDown, 32));
  EXPECT_EQ(scene.calls.size(), 2u);

  pause = true;
  scene.calls.clear();
  form->HandleEvent({.kind = TWindowEventKind::Deactivate});
  EXPECT_FALSE(form->Active());
  EXPECT_EQ(loop.calls, std::vector<std::string>{"suspend"});
  EXPECT_EQ(scene.calls, std::vector<std::string>{"release"});
  form->HandleEvent({.kind = TWindowEventKind::Activate});
  EXPECT_TRUE(form->Active());
  EXPECT_EQ(loop.calls, (std::vector<std::string>{"suspend", "resume", "reset"}));
  EXPECT_EQ(media, (std::vector<std::string>{"pause", "resume"}));
}

TEST_F(FormViewTest, QuitTextFollowsTheLocaleAndNoRestoresTerminating) {
  hooks.project_title = [] { return Utf8ToSjis("テスト%d"); };
  auto form = Make();
  struct Case {
    const char* lang;
    const char* text;
  };
  const Case cases[] = {
      {"ja_JP.UTF-8", "テスト%d|「テスト%d」を終了しますか？"},
      {"en_US.UTF-8", "テスト%d|Do you want to exit テスト%d?"},
      {"C", "テスト%d|Do you want to exit テスト%d?"},
  };
  const char* saved = std::getenv("LANG");
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  for (const Case& c : cases) {
    setenv("LANG", c.lang, 1);
    box.texts.clear();
    form->QuitConfirmation();
    ASSERT_EQ(box.texts.size(), 1u);
    EXPECT_EQ(box.texts[0], c.text);
    EXPECT_FALSE(RunState().Terminating); // "No" gives back the value from before
    EXPECT_FALSE(form->CloseRequested());
  }
  if (saved)
    setenv("LANG", saved, 1);
  else
    unsetenv("LANG");
  box.answer = TMsgResult::Yes;
  form->HandleEvent({.kind = TWindowEventKind::DockButton, .dock = TDockButton::Quit});
  EXPECT_TRUE(form->CloseRequested());
  EXPECT_TRUE(RunState().Terminating);
}

TEST_F(FormViewTest, ShutdownOrderAfterTheLoopStops) {
  std::vector<std::string> trace;
  auto form = Make();
  hooks.trace = [&](const std::string& name) { trace.push_back(name); };
  form->ShutdownSteps().Set("Project.Free", [&] { trace.push_back(loop.calls.back()); });
  form->Close();
  form->Close(); // once only
  EXPECT_TRUE(RunState().Terminating);
  EXPECT_EQ(trace, (std::vector<std::string>{"Project.Free", "stop", "SysFuncMan.Free",
                                             "ParamMan.Free", "NovaFinalize", "MediaFinal",
                                             "VrFileManager.Free", "DeleteFontFiles"}));
}

} // namespace
} // namespace nova
