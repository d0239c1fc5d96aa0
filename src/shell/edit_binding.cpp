// SPDX-License-Identifier: MIT
#include "shell/edit_binding.h"

#include <algorithm>
#include <cstdlib>

#include "graphics/dibx_custom.h"
#include "platform/clock.h"
#include "platform/text_entry.h"
#include "platform/virtual_keys.h"
#include "scene/kinds/edit.h"

namespace nova {

// An edit's or memo's window: the platform's text entry, drawn into the scene at the field's
// rectangle, taking input while it has the focus.
class TTextEntryWindow final : public IEditWindow {
public:
  TTextEntryWindow(TEditBinding& binding, bool multi_line, IEditWindowListener& listener)
      : binding_(binding), entry_(multi_line), listener_(listener) {
    binding_.Add(this);
  }
  ~TTextEntryWindow() override { binding_.Remove(this); }

  void SetText(const std::string& text) override {
    entry_.SetText(text);
    Changed();
  }
  std::string Text() const override { return entry_.Text(); }
  void SelectAll() override {
    entry_.SelectAll();
    Changed();
  }
  void SetFont(const std::string&, int32_t height, uint8_t style, int32_t color) override {
    // The platform's Japanese face draws every field; the height and style are the title's.
    TTextEntryStyle s = entry_.Style();
    const int64_t h = std::llabs(static_cast<int64_t>(height));
    s.font_height = h == 0 ? 12 : static_cast<int>(std::min<int64_t>(h, 512));
    s.bold = style & 1;
    s.italic = style & 2;
    s.text_color = color;
    entry_.SetStyle(s);
    Changed();
  }
  void SetBackground(int32_t color) override {
    TTextEntryStyle s = entry_.Style();
    s.back_color = color;
    entry_.SetStyle(s);
    Changed();
  }
  void SetReadOnly(bool on) override { entry_.SetReadOnly(on); }
  void SetEnabled(bool on) override {
    enabled_ = on;
    if (!on && binding_.Focused(this))
      binding_.Focus(nullptr);
    Changed();
  }
  bool Enabled() const override { return enabled_; }
  // The desktop's input method cannot be switched on or off, nor to a kana or alphabet mode,
  // through SDL; what a field can do is take or refuse its work. Open, the field shows the
  // compositions and takes whatever is committed; closed (or disabled), it takes only what the
  // keyboard types directly, printable ASCII, as a field with a closed input method would.
  // The modes that open it in a kana, alphabet, Chinese or Korean mode open it, and the desktop's
  // input method keeps the mode its user chose. Text input itself stays on while the field has
  // the focus, or no key would type anything.
  void SetImeMode(int32_t mode) override {
    ime_mode_ = mode;
    if (mode == IM_DISABLE || mode == IM_CLOSE)
      SetOpen(false);
    else if (mode != IM_DONTCARE)
      SetOpen(true);
  }
  void SetAlignment(uint8_t align) override {
    TTextEntryStyle s = entry_.Style();
    s.align = align;
    entry_.SetStyle(s);
    Changed();
  }
  void SetBounds(int32_t x, int32_t y, int32_t w, int32_t h) override {
    bounds_ = {x, y, x + std::clamp(w, 0, 4096), y + std::clamp(h, 0, 4096)};
    entry_.SetSize(bounds_.Width(), bounds_.Height());
    if (binding_.Focused(this))
      binding_.CaretMoved();
  }
  void SetVisible(bool on) override {
    visible_ = on;
    if (!on && binding_.Focused(this))
      binding_.Focus(nullptr);
  }
  bool Visible() const override { return visible_; }
  void TakeFocus() override {
    if (visible_ && enabled_ && !binding_.Focused(this))
      binding_.Focus(this);
  }
  bool ImeOpened() const override { return ime_opened_; }
  void SetImeOpened(bool on) override { SetOpen(on && ime_mode_ != IM_DISABLE); }

  void Paint(TCustomDIBX& target, int32_t x, int32_t y) override {
    entry_.Render(picture_, binding_.Focused(this));
    const TRect clip = target.ClipRect();
    for (int row = 0; row < picture_.height; ++row) {
      const int ty = y + row;
      if (ty < clip.Top || ty >= clip.Bottom)
        continue;
      for (int col = 0; col < picture_.width; ++col) {
        const int tx = x + col;
        if (tx < clip.Left || tx >= clip.Right)
          continue;
        uint32_t rgb = picture_.pixels[static_cast<size_t>(row) * picture_.width + col];
        if (!enabled_) // a disabled field shows greyed
          rgb = (rgb >> 1 & 0x7F7F7F) + 0x404040;
        const int32_t bgr =
            static_cast<int32_t>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
        target.SetPixel(tx, ty, static_cast<TPixel>(target.ColorToPixel(bgr)));
      }
    }
  }

  // --- From the binding ---
  const TWindowRect& Bounds() const { return bounds_; }
  bool TakesInput() const { return visible_ && enabled_; }
  void Focused() {
    listener_.WindowFocused();
    Changed();
  }
  void Blurred() {
    entry_.SetComposition("");
    Changed();
  }
  TWindowRect CaretOnScene() {
    const TWindowRect c = entry_.CaretRect();
    return {bounds_.left + c.left, bounds_.top + c.top, bounds_.left + c.right,
            bounds_.top + c.bottom};
  }
  // A key went down while the field has the focus: the component hears of it first; a
  // one-line field swallows Enter, Escape and Tab.
  void Key(int vk, bool shift, bool ctrl) {
    listener_.WindowKeyDown(vk);
    if (!binding_.Focused(this))
      return; // the handler may have moved the focus
    if (ctrl && (vk == kCopyKey || vk == kCutKey || vk == kPasteKey)) {
      UseClipboard(vk);
      return;
    }
    if (entry_.Key(vk, shift, ctrl))
      Changed();
  }
  // `extend`: Shift is held, or the pointer is dragged with the button down.
  void Click(int scene_x, int scene_y, bool extend) {
    entry_.PlaceCaret(scene_x - bounds_.left, scene_y - bounds_.top, extend);
    Changed();
  }
  void SelectWord() {
    entry_.SelectWord();
    Changed();
  }
  void Type(const std::string& utf8) {
    std::string typed;
    if (!ime_opened_) {
      for (char c : utf8)
        if (c >= 0x20 && c < 0x7F)
          typed.push_back(c);
      if (typed.empty())
        return;
    }
    if (entry_.Insert(ime_opened_ ? utf8 : typed))
      Changed();
  }
  void Compose(const std::string& utf8) {
    if (!ime_opened_)
      return;
    entry_.SetComposition(utf8);
    Changed();
  }

private:
  static constexpr int kCopyKey = vk::kA + ('C' - 'A');
  static constexpr int kCutKey = vk::kA + ('X' - 'A');
  static constexpr int kPasteKey = vk::kA + ('V' - 'A');

  void UseClipboard(int vk) {
    if (vk == kPasteKey) {
      if (!entry_.ReadOnly())
        Type(binding_.Clipboard().ClipboardText());
      return;
    }
    const std::string text = entry_.SelectedUtf8();
    if (text.empty())
      return;
    binding_.Clipboard().SetClipboardText(text);
    if (vk == kCutKey && entry_.CutSelection())
      Changed();
  }

  void SetOpen(bool on) {
    ime_opened_ = on;
    if (!on && !entry_.Composition().empty()) {
      entry_.SetComposition("");
      Changed();
    }
  }

  void Changed() {
    listener_.WindowChanged();
    if (binding_.Focused(this))
      binding_.CaretMoved();
  }

  TEditBinding& binding_;
  TTextEntry entry_;
  IEditWindowListener& listener_;
  TPicture picture_;
  TWindowRect bounds_;
  bool visible_ = false;
  bool enabled_ = true;
  int32_t ime_mode_ = IM_DONTCARE;
  bool ime_opened_ = true; // until a mode or the title closes it, the desktop's method decides
};

// The scene, and with it every field's window, goes before the binding.
TEditBinding::~TEditBinding() {
  if (focus_)
    window_.SetTextInput(false, {});
}

TEditWindowFactory TEditBinding::Factory() {
  return [this](bool multi_line, IEditWindowListener& listener) -> std::unique_ptr<IEditWindow> {
    return std::make_unique<TTextEntryWindow>(*this, multi_line, listener);
  };
}

void TEditBinding::Remove(TTextEntryWindow* w) {
  windows_.erase(std::remove(windows_.begin(), windows_.end(), w), windows_.end());
  if (focus_ == w) {
    focus_ = nullptr;
    window_.SetTextInput(false, {});
  }
  if (dragging_ == w)
    dragging_ = nullptr;
  if (last_click_window_ == w) {
    last_click_window_ = nullptr;
    last_click_ = false;
  }
}

void TEditBinding::Focus(TTextEntryWindow* w) {
  if (focus_ == w)
    return;
  TTextEntryWindow* old = focus_;
  focus_ = w;
  if (old)
    old->Blurred();
  if (!w) {
    window_.SetTextInput(false, {});
    return;
  }
  window_.SetTextInput(true, w->CaretOnScene());
  w->Focused();
}

void TEditBinding::CaretMoved() {
  if (focus_)
    window_.SetTextInput(true, focus_->CaretOnScene());
}

bool TEditBinding::HandleEvent(const TWindowEvent& e) {
  switch (e.kind) {
  case TWindowEventKind::MouseDown: {
    if (!e.in_scene)
      return false;
    // The last field made lies on top, as the last child window does.
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
      const TWindowRect& b = (*it)->Bounds();
      if ((*it)->TakesInput() && e.x >= b.left && e.x < b.right && e.y >= b.top && e.y < b.bottom) {
        Focus(*it);
        if (e.button != TMouseButton::Left)
          return true;
        const uint32_t now = PlatformClock().NowMs();
        const bool twice = last_click_ && last_click_window_ == *it &&
                           now - last_click_ms_ <= kDoubleClickMs &&
                           std::abs(e.x - last_click_x_) <= kDoubleClickSlop &&
                           std::abs(e.y - last_click_y_) <= kDoubleClickSlop;
        last_click_ = !twice; // a third click starts a new pair
        last_click_window_ = *it;
        last_click_ms_ = now;
        last_click_x_ = e.x;
        last_click_y_ = e.y;
        (*it)->Click(e.x, e.y, shift_);
        if (twice) {
          (*it)->SelectWord();
        } else {
          dragging_ = *it;
        }
        return true;
      }
    }
    Focus(nullptr);
    return false;
  }
  case TWindowEventKind::MouseMove:
    // The scene sees the pointer too; the field only follows it with its selection.
    if (dragging_ && dragging_ == focus_)
      dragging_->Click(e.x, e.y, true);
    return false;
  case TWindowEventKind::MouseUp:
    if (e.button == TMouseButton::Left)
      dragging_ = nullptr;
    return false;
  case TWindowEventKind::KeyDown:
  case TWindowEventKind::KeyUp: {
    const bool down = e.kind == TWindowEventKind::KeyDown;
    if (e.key == vk::kShift || e.key == 0xA0 || e.key == 0xA1)
      shift_ = down;
    if (e.key == vk::kControl || e.key == 0xA2 || e.key == 0xA3)
      ctrl_ = down;
    if (!focus_ || !down)
      return false;
    focus_->Key(e.key, shift_, ctrl_);
    return true;
  }
  case TWindowEventKind::TextInput:
    if (focus_)
      focus_->Type(e.text);
    return focus_ != nullptr;
  case TWindowEventKind::Composition:
    if (focus_)
      focus_->Compose(e.text);
    return focus_ != nullptr;
  case TWindowEventKind::Deactivate:
    shift_ = ctrl_ = false;
    dragging_ = nullptr;
    return false;
  default:
    return false;
  }
}

} // namespace nova
