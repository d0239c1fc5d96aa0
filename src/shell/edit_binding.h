// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <vector>

#include "platform/window.h"
#include "scene/scene_services.h"

namespace nova {

class TTextEntryWindow;

// The text-entry windows of edit and memo fields over the scene, and which of them has the
// platform's input focus. The form hands it every key, mouse and text event first: a click on
// a shown field focuses it (elsewhere the focus goes back to the scene), and while a field has
// the focus it takes the keys and the typed and composed text. Moving the pointer with the left
// button held after a press in a field selects from the press to the pointer; a second press at
// the same place within the double-click time selects a word. Main thread only.
class TEditBinding {
public:
  explicit TEditBinding(IWindow& window) : window_(window) {}
  ~TEditBinding();
  TEditBinding(const TEditBinding&) = delete;
  TEditBinding& operator=(const TEditBinding&) = delete;

  // The factory the scene makes its fields' windows with.
  TEditWindowFactory Factory();
  // True when a field took the event and the scene must not see it.
  bool HandleEvent(const TWindowEvent& event);

  // For the windows.
  void Add(TTextEntryWindow* w) { windows_.push_back(w); }
  void Remove(TTextEntryWindow* w);
  void Focus(TTextEntryWindow* w);
  bool Focused(const TTextEntryWindow* w) const { return focus_ == w; }
  // Where Ctrl+C, Ctrl+X and Ctrl+V take and put text.
  IWindow& Clipboard() { return window_; }
  // The focused window's caret moved or the window moved: the candidate window follows.
  void CaretMoved();

private:
  IWindow& window_;
  std::vector<TTextEntryWindow*> windows_;
  TTextEntryWindow* focus_ = nullptr;
  TTextEntryWindow* dragging_ = nullptr; // pressed with the left button, not yet released
  // The last left press in a field, which a second one close by in time and place makes a
  // double click.
  static constexpr uint32_t kDoubleClickMs = 500;
  static constexpr int kDoubleClickSlop = 4;
  bool last_click_ = false;
  TTextEntryWindow* last_click_window_ = nullptr;
  uint32_t last_click_ms_ = 0;
  int last_click_x_ = 0;
  int last_click_y_ = 0;
  bool shift_ = false;
  bool ctrl_ = false;
};

} // namespace nova
