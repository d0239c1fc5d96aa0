// SPDX-License-Identifier: MIT
#pragma once
#include <memory>

#include "platform/scene_input.h"
#include "scene/scene_host.h"

namespace nova {

class IScreenDisplay;
class IWindow;
class TFormView;
class TNovaBaseList;
class TSceneInputRouter;
class TSceneScreenLink;
class TScreenManager;
struct TPlayerHooks;

// Binds the scene (the base list with its two layers) and the screen manager into the shell:
// the base list is made at "NovaInitialize", the screen manager at "MediaInit", the colour tables
// at "NovaInitColor"; each frame runs the scene's input, update and draw steps and presents the
// back surface's changed rectangles in the window.
class TSceneBinding final : public ISceneHost, public ISceneInput {
public:
  enum class TCursorMode { System, Custom };
  TSceneBinding(TFormView& form, IWindow& window, TPlayerHooks& hooks, TCursorMode cursors);
  ~TSceneBinding() override;
  TSceneBinding(const TSceneBinding&) = delete;
  TSceneBinding& operator=(const TSceneBinding&) = delete;

  // Null until "NovaInitialize" / "MediaInit" ran.
  TNovaBaseList* Scene() const { return scene_.get(); }
  TScreenManager* Screen() const { return screen_.get(); }

  // ISceneHost
  std::optional<std::vector<uint8_t>> ReadTitleFile(const std::string& name) override;
  std::string DefaultCursorFile() override { return {}; }
  void ShowCursor(const TCursorImage* cursor) override;
  void PointerPosition(int32_t& x, int32_t& y) override;

  // ISceneInput: forwarded to the base list; the pointer is remembered for the scene's host.
  void SetKeyState(int key, bool down) override;
  void SetKeyClicked(int key) override;
  void ReleaseKeys() override;
  void SetMouseHeld(TSceneLayer layer, bool left, bool right) override;
  void SetMousePressed(TSceneLayer layer, bool left, bool right) override;
  void SetWheelPressed(TSceneLayer layer, bool wheel_up) override;
  void SetMousePos(TSceneLayer layer, int x, int y) override;

private:
  void CreateScene();
  void CreateScreen();
  void Draw();

  IWindow& window_;
  TPlayerHooks& hooks_;
  TCursorMode cursors_;
  int pointer_x_ = 0;
  int pointer_y_ = 0;
  std::unique_ptr<TNovaBaseList> scene_;
  std::unique_ptr<TSceneInputRouter> router_;
  std::unique_ptr<TSceneScreenLink> link_;
  std::unique_ptr<IScreenDisplay> display_;
  std::unique_ptr<TScreenManager> screen_;
};

} // namespace nova
