// SPDX-License-Identifier: MIT
#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/window.h"
#include "shell/find_archives.h"
#include "shell/font_install.h"
#include "shell/frame_loop.h"
#include "shell/named_steps.h"
#include "shell/player_hooks.h"
#include "shell/run_config.h"
#include "shell/view_keys.h"

namespace nova {

struct TWallTime;

// The random generator's seed: the UTC time of day in milliseconds.
uint32_t RandomSeed(const TWallTime& utc);

// The main window's logic: start-up in its fixed order, the frame step, input routing,
// activation, the quit confirmation, full-screen switching and the shutdown order. Runs on the
// main thread against any IWindow and IFrameLoop.
class TFormView {
public:
  // `params` are the title parameters of the command line; `executable` is the player's file.
  TFormView(IWindow& window, IFrameLoop& loop, TPlayerHooks& hooks, std::vector<std::string> params,
            std::filesystem::path executable);
  ~TFormView();
  TFormView(const TFormView&) = delete;
  TFormView& operator=(const TFormView&) = delete;

  // The start-up steps of window creation, then those of the initialisation, then the shutdown
  // steps after the loop is freed, then those at process end. Subsystems bind their work here.
  TNamedSteps& CreationSteps() { return creation_; }
  TNamedSteps& InitSteps() { return init_; }
  TNamedSteps& ShutdownSteps() { return shutdown_; }
  TNamedSteps& ExitSteps() { return exit_; }

  // Window creation. A failure is shown in a warning box and requests the close; Terminating
  // set at the end also requests it.
  void Create();
  // One frame (the loop calls it on the main thread).
  void FrameStep();
  // A window event: input routing, activation, the tool bar, Alt+Enter and F11, the view keys
  // (F10, F12), closing.
  void HandleEvent(const TWindowEvent& event);
  void QuitConfirmation();
  void SetFullScreen(bool on);
  void ToggleFullScreen() { SetFullScreen(!window_.IsFullScreen()); }
  // A script chose another display mode while in full screen: switch to it, or back to a
  // window when it cannot be set.
  void ReapplyScreenMode();
  // Moves the pointer to scene x (keeping its y) or scene y (keeping its x).
  void MoveMouseX(int x) { window_.WarpMouse(x, mouse_y_); }
  void MoveMouseY(int y) { window_.WarpMouse(mouse_x_, y); }
  // Installs packed fonts: the virtual file manager's archive-added callback calls it for each
  // archive, and once for the base folder when there is no archive. Gone after Close.
  TFontInstaller& FontInstaller() { return *font_installer_; }
  // The window should close (WM_CLOSE was posted).
  bool CloseRequested() const { return close_requested_; }
  // A failure stopped the title (start-up, a script error, a missing project or start page):
  // the process ends with a non-zero status, after the message the failure showed.
  void SetFailed() { failed_ = true; }
  bool Failed() const { return failed_; }
  // The shutdown order; runs once (also from the destructor).
  void Close();

  bool Active() const { return active_; }
  const TRunConfig& RunConfig() const { return run_config_; }
  const TTitleArchives& Archives() const { return archives_; }
  int SceneLeft() const { return scene_left_; }
  int SceneTop() const { return scene_top_; }

private:
  void Trace(const std::string& name) const;
  bool HasProject() const;
  bool PausesWhenInactive() const;
  void Layout();
  void Activate();
  void Deactivate();
  void RouteMouseMove(const TWindowEvent& event);
  // Offers the event to the focused text field; true when it took it.
  bool TextEntry(const TWindowEvent& event);

  IWindow& window_;
  IFrameLoop& loop_;
  TPlayerHooks& hooks_;
  std::vector<std::string> params_;
  std::filesystem::path executable_;
  TNamedSteps creation_;
  TNamedSteps init_;
  TNamedSteps shutdown_;
  TNamedSteps exit_;
  TRunConfig run_config_;
  TTitleArchives archives_;
  int scene_width_ = 640;
  int scene_height_ = 480;
  int scene_left_ = 0;
  int scene_top_ = 0;
  bool dock_visible_ = true;
  bool active_ = false;
  bool alt_down_ = false;
  bool left_held_ = false, right_held_ = false;
  int frame_div_count_ = 0;
  bool close_requested_ = false;
  bool closed_ = false;
  bool failed_ = false;
  int mouse_x_ = 0;
  int mouse_y_ = 0;
  std::unique_ptr<TFontInstaller> font_installer_;
  TViewKeys view_keys_;
};

} // namespace nova
