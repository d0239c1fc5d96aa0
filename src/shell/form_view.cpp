// SPDX-License-Identifier: MIT
#include "shell/form_view.h"

#include <system_error>

#include "base/nova_error.h"
#include "base/run_state.h"
#include "base/sjis.h"
#include "platform/message_box.h"
#include "platform/pending_work_files.h"
#include "platform/temp_folder.h"
#include "platform/user_locale.h"
#include "platform/user_message.h"
#include "platform/virtual_keys.h"
#include "platform/wall_clock.h"
#include "shell/texts.h"

namespace nova {

namespace {

// Window creation, in order; the labels are the trace names.
std::vector<std::string> CreationStepNames() {
  return {"DeleteLog",       "Randomize",        "VrFileManager.Callbacks",
          "ReadRunConfig",   "SetIcon",          "VrFileManager.AddFirstCollection",
          "BuildToolBar",    "FindArchives",     "TBasePanel.Create",
          "ParamMan.Create", "SysFuncMan.Create"};
}

// The initialisation that follows, in order.
std::vector<std::string> InitStepNames() {
  return {"DXSound.Initialize", "NovaInitialize", "TProject.Create",  "MediaInit",
          "NovaInitColor",      "Layout",         "LoopThread.Create"};
}

// Closing the window, after the loop thread is freed.
std::vector<std::string> ShutdownStepNames() {
  return {"Project.Free", "SysFuncMan.Free", "ParamMan.Free", "NovaFinalize", "MediaFinal"};
}

// Process end.
std::vector<std::string> ExitStepNames() { return {"VrFileManager.Free", "DeleteFontFiles"}; }

// Clears SwitchingScreen on every way out of a full-screen switch.
struct TSwitchingScreen {
  TSwitchingScreen() { RunState().SwitchingScreen = true; }
  ~TSwitchingScreen() { RunState().SwitchingScreen = false; }
};

void Call(const std::function<void()>& hook) {
  if (hook)
    hook();
}

std::string ReplaceTitle(std::string format, const std::string& title) {
  const size_t at = format.find("%s");
  if (at != std::string::npos)
    format.replace(at, 2, title);
  return format;
}

} // namespace

uint32_t RandomSeed(const TWallTime& utc) {
  return static_cast<uint32_t>(((utc.hour * 60 + utc.minute) * 60 + utc.second) * 1000 +
                               utc.millisecond);
}

TFormView::TFormView(IWindow& window, IFrameLoop& loop, TPlayerHooks& hooks,
                     std::vector<std::string> params, std::filesystem::path executable)
    : window_(window), loop_(loop), hooks_(hooks), params_(std::move(params)),
      executable_(std::move(executable)), creation_(CreationStepNames()), init_(InitStepNames()),
      shutdown_(ShutdownStepNames()), exit_(ExitStepNames()),
      view_keys_(window, [this] { return hooks_.project_title ? hooks_.project_title() : ""; }) {
  creation_.Set("FindArchives", [this] {
    archives_ = FindArchives(params_, executable_);
    if (hooks_.set_base_folder)
      hooks_.set_base_folder(archives_.base_folder);
    for (const auto& archive : archives_.archives)
      if (hooks_.add_archive)
        hooks_.add_archive(archive);
  });
  creation_.Set("Randomize", [this] {
    if (hooks_.seed_random)
      hooks_.seed_random(RandomSeed(UtcNow()));
  });
  // The log and the settings live in the title's base folder, where the executable would be.
  creation_.Set("DeleteLog", [this] {
    std::error_code error;
    std::filesystem::remove(TitleBaseFolder(params_, executable_) / "novaplay.log", error);
  });
  creation_.Set("ReadRunConfig", [this] {
    run_config_ = LoadRunConfig(TitleBaseFolder(params_, executable_) / kRunConfigFileName);
    window_.SetScaling(run_config_.scaling);
    if (run_config_.default_fonts_only && hooks_.default_fonts_only)
      hooks_.default_fonts_only();
  });
  init_.Set("Layout", [this] { Layout(); });
  font_installer_ = std::make_unique<TFontInstaller>(
      TempFolder(), [this](const std::filesystem::path& file, const std::string& name) {
        return hooks_.offer_packed_font && hooks_.offer_packed_font(file, name);
      });
  exit_.Set("DeleteFontFiles", [this] { font_installer_.reset(); });
  init_.Set("LoopThread.Create", [this] { loop_.Start(); });
}

TFormView::~TFormView() { Close(); }

void TFormView::Trace(const std::string& name) const {
  if (hooks_.trace)
    hooks_.trace(name);
}

bool TFormView::HasProject() const { return hooks_.has_project && hooks_.has_project(); }

bool TFormView::PausesWhenInactive() const {
  return !HasProject() || !hooks_.pause_when_inactive || hooks_.pause_when_inactive();
}

void TFormView::Create() {
  const auto trace = [this](const std::string& name) { Trace(name); };
  try {
    creation_.Run(trace);
    init_.Run(trace);
  } catch (const std::exception& e) {
    RunState().Terminating = true;
    failed_ = true;
    ShowMessageBox(UserMessage(e), ShellTexts().warning_caption, TMsgButtons::Ok,
                   TMsgIcon::Warning);
  }
  if (RunState().Terminating)
    close_requested_ = true;
}

void TFormView::Layout() {
  dock_visible_ = !hooks_.show_tool_bar || hooks_.show_tool_bar();
  if (hooks_.scene_size)
    std::tie(scene_width_, scene_height_) = hooks_.scene_size();
  window_.SetLayout(scene_width_, scene_height_, dock_visible_);
  if (hooks_.project_title)
    window_.SetCaption(hooks_.project_title());
  // The window letterboxes the scene in full screen; in a window it sits below the dock.
  scene_left_ = 0;
  scene_top_ = window_.IsFullScreen() ? 0 : dock_visible_ ? IWindow::kDockHeight : 0;
}

void TFormView::FrameStep() {
  TRunState& state = RunState();
  if (!HasProject())
    return;
  PendingWorkFiles().DeleteAll();
  Call(hooks_.media_step);
  Call(hooks_.input_step);
  Call(hooks_.interpreter_step);
  if (state.Terminating)
    return;
  Call(hooks_.update_step);
  ++state.FrameCounter;
  if (hooks_.deferred_save_load && hooks_.deferred_save_load())
    state.SkipDrawCount = 1;
  if (state.SkipDrawCount > 0) {
    --state.SkipDrawCount;
    return;
  }
  frame_div_count_ = (frame_div_count_ + 1) % std::max(1, state.FpsDivisor);
  if (frame_div_count_ != 0)
    return;
  Call(hooks_.draw_step);
}

void TFormView::HandleEvent(const TWindowEvent& e) {
  ISceneInput* scene = hooks_.scene_input;
  switch (e.kind) {
  case TWindowEventKind::Close:
    close_requested_ = true;
    break;
  case TWindowEventKind::Activate:
    Activate();
    break;
  case TWindowEventKind::Deactivate:
    TextEntry(e);
    Deactivate();
    break;
  case TWindowEventKind::DockButton:
    if (e.dock == TDockButton::Quit)
      QuitConfirmation();
    else
      ToggleFullScreen();
    break;
  case TWindowEventKind::KeyDown:
    if (e.key == vk::kMenu)
      alt_down_ = true;
    if (view_keys_.KeyDown(e))
      break;
    // Players of this kind switch the screen on Alt+Enter and F11; the scene never sees them.
    if (!e.repeat && (e.key == vk::kF1 + 10 || (e.key == vk::kReturn && alt_down_))) {
      ToggleFullScreen();
      break;
    }
    // A text field with the focus takes the keys; the scene does not see them.
    if (active_ && TextEntry(e))
      break;
    if (scene && !e.repeat && active_ && e.key >= 0 && e.key < 256) {
      scene->SetKeyState(e.key, true);
      scene->SetKeyClicked(e.key);
    }
    break;
  case TWindowEventKind::KeyUp:
    if (view_keys_.KeyUp(e))
      break;
    TextEntry(e);
    if (e.key == vk::kMenu)
      alt_down_ = false;
    if (scene && e.key >= 0 && e.key < 256)
      scene->SetKeyState(e.key, false);
    break;
  case TWindowEventKind::MouseDown:
    if (active_ && TextEntry(e))
      break;
    if (scene && active_ && e.in_scene) {
      const bool left = e.button == TMouseButton::Left;
      const bool right = e.button == TMouseButton::Right;
      // Each button keeps its own held state: a second button does not end a drag.
      left_held_ = left_held_ || left;
      right_held_ = right_held_ || right;
      scene->SetMouseHeld(TSceneLayer::Front, left_held_, right_held_);
      scene->SetMouseHeld(TSceneLayer::Back, left_held_, right_held_);
      scene->SetMousePressed(TSceneLayer::Front, left, right);
    }
    break;
  case TWindowEventKind::MouseUp:
    TextEntry(e);
    left_held_ = left_held_ && e.button != TMouseButton::Left;
    right_held_ = right_held_ && e.button != TMouseButton::Right;
    if (scene) {
      scene->SetMouseHeld(TSceneLayer::Front, left_held_, right_held_);
      scene->SetMouseHeld(TSceneLayer::Back, left_held_, right_held_);
    }
    break;
  case TWindowEventKind::Wheel:
    if (scene)
      scene->SetWheelPressed(TSceneLayer::Front, e.wheel_up);
    break;
  case TWindowEventKind::MouseMove:
    TextEntry(e);
    RouteMouseMove(e);
    break;
  case TWindowEventKind::TextInput:
  case TWindowEventKind::Composition:
    if (active_)
      TextEntry(e);
    break;
  case TWindowEventKind::Wake:
    break;
  }
}

bool TFormView::TextEntry(const TWindowEvent& e) {
  return hooks_.text_entry && hooks_.text_entry(e);
}

void TFormView::RouteMouseMove(const TWindowEvent& e) {
  mouse_x_ = e.x;
  mouse_y_ = e.y;
  if (ISceneInput* scene = hooks_.scene_input) {
    scene->SetMousePos(TSceneLayer::Front, e.x, e.y);
    scene->SetMousePos(TSceneLayer::Back, e.x, e.y);
  }
  // In full screen the tool bar shows at the top row; over the bar itself it stays.
  if (window_.IsFullScreen() && dock_visible_) {
    if (e.client_y <= 0)
      window_.ShowFloatingDock(true);
    else if (e.client_y >= IWindow::kDockHeight)
      window_.ShowFloatingDock(false);
  }
}

void TFormView::Deactivate() {
  if (!PausesWhenInactive())
    return;
  loop_.Suspend();
  if (hooks_.scene_input)
    active_ = false;
  Call(hooks_.media_pause);
  if (hooks_.scene_input)
    hooks_.scene_input->ReleaseKeys();
}

void TFormView::Activate() {
  if (PausesWhenInactive()) {
    loop_.Resume();
    if (hooks_.scene_input) {
      active_ = true;
      loop_.ResetTimeBase();
    }
    Call(hooks_.media_resume);
  } else if (hooks_.scene_input) {
    active_ = true;
    loop_.ResetTimeBase();
  }
}

void TFormView::QuitConfirmation() {
  TRunState& state = RunState();
  const bool was_terminating = state.Terminating;
  state.Terminating = true;
  std::string title = hooks_.project_title ? hooks_.project_title() : std::string();
  if (title.empty())
    title = "NovaPlayer";
  const TShellTexts& t = ShellTexts();
  const std::string text =
      ReplaceTitle(UserLanguageIsJapanese() ? t.quit_question_ja : t.quit_question_en, title);
  if (ShowMessageBox(text, title, TMsgButtons::YesNo, TMsgIcon::Question) == TMsgResult::Yes)
    close_requested_ = true;
  else
    state.Terminating = was_terminating;
}

void TFormView::SetFullScreen(bool on) {
  Trace("SetFullScreen");
  TSwitchingScreen switching;
  if (on == window_.IsFullScreen())
    return;
  const bool midi = static_cast<bool>(hooks_.midi_close);
  Call(hooks_.midi_close);
  const char* phase = on ? "SetFullScreen.Full" : "SetFullScreen.Normal";
  Trace(phase);
  Trace(std::string(phase) + ".Bases.FreeDX");
  Call(hooks_.free_scene_surfaces);
  Trace(std::string(phase) + ".MediaSuspend");
  Call(hooks_.video_suspend);
  Trace(std::string(phase) + ".ScreenMan.FreeDX");
  Call(hooks_.free_screen_surfaces);
  if (on) {
    Trace("SetFullScreen.Full.StoreWindow");
    Trace("SetFullScreen.Full.SetScreenManIndex");
    const std::optional<TDisplayMode> mode =
        hooks_.full_screen_mode ? hooks_.full_screen_mode() : std::nullopt;
    // When the mode cannot be set the window stays as it was.
    if (!window_.SetFullScreen(true, mode))
      Trace("SetFullScreen.Full.SetScreenManIndexFail");
  } else {
    Trace("SetFullScreen.Normal.RestoreWindow");
    window_.SetFullScreen(false);
  }
  Trace("SetFullScreen.SetBounds");
  Call(hooks_.screen_bounds_changed);
  Layout();
  if (midi)
    Call(hooks_.midi_reopen);
  Trace("SetFullScreen.Bases.Reload");
  Call(hooks_.reload_scene_surfaces);
  Trace("SetFullScreen.MediaResume");
  Call(hooks_.video_resume);
}

void TFormView::ReapplyScreenMode() {
  if (!window_.IsFullScreen() || !hooks_.full_screen_mode)
    return;
  const std::optional<TDisplayMode> mode = hooks_.full_screen_mode();
  if (!mode)
    return;
  TSwitchingScreen switching;
  Call(hooks_.free_scene_surfaces);
  Call(hooks_.video_suspend);
  if (!window_.SetFullScreen(true, mode))
    window_.SetFullScreen(false);
  Call(hooks_.screen_bounds_changed);
  Layout();
  Call(hooks_.reload_scene_surfaces);
  Call(hooks_.video_resume);
}

void TFormView::Close() {
  if (closed_)
    return;
  closed_ = true;
  RunState().Terminating = true;
  loop_.Stop();
  const auto trace = [this](const std::string& name) { Trace(name); };
  // A failing step is shown; the process ends all the same, and its exit steps still run.
  try {
    shutdown_.Run(trace);
  } catch (const std::exception& e) {
    ShowMessageBox(UserMessage(e), ShellTexts().warning_caption, TMsgButtons::Ok,
                   TMsgIcon::Warning);
  }
  try {
    exit_.Run(trace);
  } catch (const std::exception& e) {
    ShowMessageBox(UserMessage(e), ShellTexts().warning_caption, TMsgButtons::Ok,
                   TMsgIcon::Warning);
  }
}

} // namespace nova
