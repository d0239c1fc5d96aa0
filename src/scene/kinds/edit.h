// SPDX-License-Identifier: MIT
// Text entry: the one-line edit and the multi-line memo. The scene does not draw them; each
// keeps a text-entry window of the platform placed over its rectangle in step with the scene.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "scene/nova_control.h"

namespace nova {

class TCustomDIBX;

// Input-method modes of edit fields (PR_IMEMODE).
enum TImeMode : int32_t {
  IM_DISABLE = 0,
  IM_CLOSE = 1,
  IM_OPEN = 2,
  IM_DONTCARE = 3,
  IM_SALPHA = 4,
  IM_ALPHA = 5,
  IM_HIRA = 6,
  IM_SKATA = 7,
  IM_KATA = 8,
  IM_CHINESE = 9,
  IM_SHANGUEL = 10,
  IM_HANGUEL = 11
};

// What the window tells its component; called on the main thread.
class IEditWindowListener {
public:
  virtual ~IEditWindowListener() = default;
  // A key went down in the window (platform key code).
  virtual void WindowKeyDown(int code) = 0;
  // The window received the platform's input focus.
  virtual void WindowFocused() = 0;
  // What the window shows changed (text, caret, selection, composition): redraw it.
  virtual void WindowChanged() {}
};

// A platform text-entry window over the scene panel. Font heights are pixels.
class IEditWindow {
public:
  virtual ~IEditWindow() = default;
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
  virtual void SelectAll() = 0;
  virtual void SetFont(const std::string& name, int32_t height, uint8_t style, int32_t color) = 0;
  virtual void SetBackground(int32_t color) = 0;
  virtual void SetReadOnly(bool on) = 0;
  virtual void SetEnabled(bool on) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetImeMode(int32_t mode) = 0;
  // Memo only: 0 left, 1 right, 2 centre.
  virtual void SetAlignment(uint8_t align) = 0;
  virtual void SetBounds(int32_t x, int32_t y, int32_t w, int32_t h) = 0;
  virtual void SetVisible(bool on) = 0;
  virtual bool Visible() const = 0;
  virtual void TakeFocus() = 0;
  virtual bool ImeOpened() const = 0;
  virtual void SetImeOpened(bool on) = 0;
  // Draws the field into the scene with its top-left at (x, y), within the target's clip.
  // Windows that the platform paints itself draw nothing here.
  virtual void Paint(TCustomDIBX& target, int32_t x, int32_t y) {}
};

// The window of an edit or memo comes from the scene's edit window factory; without one the
// fields keep their state in a window that exists only in memory.
class TNovaEdit : public TNovaControl, public IEditWindowListener {
public:
  explicit TNovaEdit(TNovaBaseList* owner) : TNovaEdit(owner, false) {}
  ~TNovaEdit() override;
  uint8_t GetKind() const override { return LT_EDIT; }
  bool IsPaused() const override { return paused_ != 0; }
  void Draw() override;
  bool Update() override;
  void PositionChanged() override;
  void SetWidth(int32_t v) override;
  void SetHeight(int32_t v) override;
  void SetColor(int32_t color) override;
  void FocusGained() override;
  void WindowKeyDown(int code) override;
  void WindowFocused() override;
  void WindowChanged() override { Invalidate(); }
  // Moves the window over the component and shows it only where it can be seen.
  void PlaceWindow();
  // The window should be shown: visible with a visible parent on the front layer, and nothing
  // covers the centre of the rectangle.
  bool WindowWanted();
  IEditWindow& Window() { return *window_; }

protected:
  TNovaEdit(TNovaBaseList* owner, bool multi_line);
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;
  virtual bool MultiLine() const { return false; }
  void ApplyFont();

  std::unique_ptr<IEditWindow> window_;
  uint8_t paused_ = 0;
  std::string font_name_;
  int32_t font_height_ = 12;
  uint8_t font_style_ = 0;
  int32_t font_color_ = 0;
  uint8_t read_only_ = 0;
  uint8_t align_ = 0;
  int32_t ime_mode_ = IM_DONTCARE;
  std::string notify_handler_;
};

class TNovaMemo : public TNovaEdit {
public:
  explicit TNovaMemo(TNovaBaseList* owner);
  uint8_t GetKind() const override { return LT_MEMO; }

protected:
  bool MultiLine() const override { return true; }
};

} // namespace nova
