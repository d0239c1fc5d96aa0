// SPDX-License-Identifier: MIT
// The built-in functions that reach the desktop and the screen: GetDisplayMode, SetWallPaper,
// OpenUrl, SelectOpenFile, SelectSaveFile, SelectDirectory, ExtractFile, GetImeOpened and
// SetImeOpened. Functions it does not serve go to the next host, when one is given.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "expr/expr_hosts.h"
#include "platform/window.h"

namespace nova {

class IDesktop;
class TNovaBaseList;
class TScreenManager;

enum class TFileDialogKind : uint8_t { Open, Save, Directory };

// A file or folder the user picks (native, UTF-8); none when cancelled or unavailable.
using TFileChooser =
    std::function<std::optional<std::string>(TFileDialogKind kind, const std::string& sjis_filter)>;

struct TShellFuncSources {
  std::function<TNovaBaseList*()> scene;
  std::function<TScreenManager*()> screen;
  IDesktop* desktop = nullptr;
  // The caption of questions (the project's title).
  std::function<std::string()> caption;
  TFileChooser choose;
  // The picture of a title's layered image (its first frame), or of the screen for an empty
  // name; none when there is none.
  std::function<std::optional<TPicture>(const std::string& sjis_file)> picture;
  // Makes a picture the desktop's wallpaper in a style; false when that cannot be done.
  std::function<bool(const TPicture& picture, int32_t style)> set_wallpaper;
};

class TShellFuncs final : public IFuncHost {
public:
  explicit TShellFuncs(TShellFuncSources sources, IFuncHost* next = nullptr)
      : sources_(std::move(sources)), next_(next) {}
  bool CallFunc(TCustomParam& dest, uint8_t id, std::span<TCustomParam* const> args) override;
  uint8_t PropertyType(int32_t id) override { return next_ ? next_->PropertyType(id) : 1; }

private:
  bool OpenUrl(const std::string& sjis_url);
  bool ExtractFile(std::span<TCustomParam* const> args);
  bool SelectFile(TFileDialogKind kind, std::span<TCustomParam* const> args);

  TShellFuncSources sources_;
  IFuncHost* next_;
};

} // namespace nova
