// SPDX-License-Identifier: MIT
#pragma once
#include <functional>
#include <memory>
#include <optional>

#include "platform/window.h"
#include "scene/scene_host.h"
#include "shell/shell_funcs.h"

namespace nova {

class IDesktop;
class IScreenDisplay;
class IWindow;
class TFormView;
class TNovaBaseList;
class TParamCollection;
class TSceneSystemVars;
class TShellSystemVars;
class TWispCollection;
class TSceneInputRouter;
class TSceneScreenLink;
class TScreenManager;
struct TPlayerHooks;

// Binds the scene (the base list with its two layers) and the screen manager into the shell:
// the base list is made at "NovaInitialize", the screen manager at "MediaInit", the colour tables
// at "NovaInitColor"; each frame runs the scene's input, update and draw steps and presents the
// back surface's changed rectangles in the window.
class TSceneBinding final : public ISceneHost {
public:
  enum class TCursorMode { System, Custom };
  TSceneBinding(TFormView& form, IWindow& window, TPlayerHooks& hooks, TCursorMode cursors);
  ~TSceneBinding() override;
  TSceneBinding(const TSceneBinding&) = delete;
  TSceneBinding& operator=(const TSceneBinding&) = delete;

  // The variable table, whose system variables the scene then serves (mouse, keys, screen).
  void SetVariablesSource(std::function<TParamCollection*()> source) {
    variables_ = std::move(source);
  }

  // The title's identification code, which keys its layered images; read at "MediaInit".
  void SetImageCodeSource(std::function<int32_t()> source) { image_code_ = std::move(source); }

  // The desktop the built-in functions reach (URLs, the text-input state); set before start-up.
  void SetDesktop(std::unique_ptr<IDesktop> desktop);
  // What the file dialogs of the built-in functions answer; set before start-up.
  void SetFileChooser(TFileChooser chooser) { chooser_ = std::move(chooser); }

  // Null until "NovaInitialize" / "MediaInit" ran.
  TNovaBaseList* Scene() const { return scene_.get(); }
  TScreenManager* Screen() const { return screen_.get(); }
  TWispCollection* Images() const { return images_.get(); }

  // ISceneHost
  std::optional<std::vector<uint8_t>> ReadTitleFile(const std::string& name) override;
  // The `@Cursor` text: the cursor shown where the target has none of its own.
  std::string DefaultCursorFile() override;
  void ShowCursor(const TCursorImage* cursor) override;
  void PointerPosition(int32_t& x, int32_t& y) override;

private:
  void CreateScene();
  void CreateScreen();
  void Draw();
  void ServeSystemVariables();
  void ServeFunctions(TParamCollection& vars);
  // The first frame of a title's layered image, or what the window shows for an empty name.
  std::optional<TPicture> PictureOf(const std::string& sjis_file);
  void CreateImageCache();

  TFormView& form_;
  IWindow& window_;
  TPlayerHooks& hooks_;
  TCursorMode cursors_;
  // The image cache outlives the scene: components give their pictures back as they go.
  std::unique_ptr<TWispCollection> images_;
  int back_bits_ = 0; // the back surface's bit count the pictures were made for
  std::unique_ptr<TNovaBaseList> scene_;
  std::unique_ptr<TSceneInputRouter> router_;
  std::unique_ptr<TSceneScreenLink> link_;
  std::unique_ptr<IScreenDisplay> display_;
  std::unique_ptr<TScreenManager> screen_;
  std::function<TParamCollection*()> variables_;
  std::function<int32_t()> image_code_;
  std::unique_ptr<TSceneSystemVars> system_vars_;
  std::unique_ptr<TShellSystemVars> shell_vars_;
  std::unique_ptr<IDesktop> desktop_;
  std::unique_ptr<TShellFuncs> funcs_;
  TFileChooser chooser_;
};

} // namespace nova
