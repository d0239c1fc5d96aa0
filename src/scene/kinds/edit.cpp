// SPDX-License-Identifier: MIT
#include "scene/kinds/edit.h"

#include <climits>
#include <cstdlib>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/serializer.h"
#include "graphics/dibx_custom.h"
#include "scene/nova_base_list.h"

namespace nova {
namespace {

// Every IM_ mode: the hit test that decides whether anything covers the field.
constexpr uint32_t kAnyMouseMode = 31;

// The window kept in memory when the platform offers none.
class TMemoryEditWindow final : public IEditWindow {
public:
  void SetText(const std::string& text) override { text_ = text; }
  std::string Text() const override { return text_; }
  void SelectAll() override {}
  void SetFont(const std::string&, int32_t, uint8_t, int32_t) override {}
  void SetBackground(int32_t) override {}
  void SetReadOnly(bool) override {}
  void SetEnabled(bool on) override { enabled_ = on; }
  bool Enabled() const override { return enabled_; }
  void SetImeMode(int32_t) override {}
  void SetAlignment(uint8_t) override {}
  void SetBounds(int32_t, int32_t, int32_t, int32_t) override {}
  void SetVisible(bool on) override { visible_ = on; }
  bool Visible() const override { return visible_; }
  void TakeFocus() override {}
  bool ImeOpened() const override { return false; }
  void SetImeOpened(bool) override {}

private:
  std::string text_;
  bool enabled_ = true, visible_ = false;
};

} // namespace

TNovaEdit::TNovaEdit(TNovaBaseList* owner, bool multi_line) : TNovaControl(owner) {
  if (const TEditWindowFactory& make = ServicesOf(owner).edit_windows)
    window_ = make(multi_line, *this);
  if (!window_)
    window_ = std::make_unique<TMemoryEditWindow>();
  window_->SetVisible(false);
  // An edit starts hidden; a memo is visible like every control.
  visible_ = multi_line ? 1 : 0;
}

TNovaMemo::TNovaMemo(TNovaBaseList* owner) : TNovaEdit(owner, true) {}

TNovaEdit::~TNovaEdit() = default;

void TNovaEdit::ApplyFont() {
  window_->SetFont(font_name_, font_height_, font_style_, font_color_);
}

bool TNovaEdit::WindowWanted() {
  if (!Visible() || !parent_ || !parent_->Visible() || !owner_)
    return false;
  TNovaBase* layer = GetBase();
  if (!layer || layer != owner_->Front())
    return false;
  const int32_t cx = ScreenLeft() + width_ / 2, cy = ScreenTop() + height_ / 2;
  return layer->HitTest(cx, cy, kAnyMouseMode) == this;
}

void TNovaEdit::PlaceWindow() {
  window_->SetBounds(ScreenLeft(), ScreenTop(), width_, height_);
  const bool shown = WindowWanted();
  window_->SetVisible(shown);
  if (shown && owner_ && owner_->Focus() == this)
    FocusGained();
}

void TNovaEdit::FocusGained() {
  if (window_->Visible() && window_->Enabled())
    window_->TakeFocus();
}

void TNovaEdit::Draw() {
  if (window_->Visible())
    if (TCustomDIBX* target = GetTargetSurface())
      window_->Paint(*target, ScreenLeft(), ScreenTop());
  DrawChildren();
}

void TNovaEdit::WindowKeyDown(int code) {
  if (!notify_handler_.empty())
    QueueEvent(PR_ONNOTIFY, notify_handler_, {std::to_string(code), window_->Text()});
}

void TNovaEdit::WindowFocused() {
  if (!owner_)
    return;
  // Keys typed into the field are not game keys.
  owner_->SetFocus(this);
  owner_->ReleaseKeys();
}

bool TNovaEdit::Update() {
  const bool done = TNovaControl::Update();
  if (WindowWanted() != window_->Visible())
    PlaceWindow();
  return done;
}

void TNovaEdit::PositionChanged() {
  TNovaControl::PositionChanged();
  PlaceWindow();
}

void TNovaEdit::SetWidth(int32_t v) {
  TNovaControl::SetWidth(v);
  PlaceWindow();
}

void TNovaEdit::SetHeight(int32_t v) {
  TNovaControl::SetHeight(v);
  PlaceWindow();
}

void TNovaEdit::SetColor(int32_t color) {
  TNovaControl::SetColor(color);
  window_->SetBackground(color);
}

const TPropTable& TNovaEdit::Props() {
  using T = TNovaEdit;
  using namespace props;
  static constexpr std::array kRows{
      Custom<T>(
          PR_TEXT, peNone, [](const T& o) { return TPropValue::Str(o.window_->Text()); },
          [](T& o, const TPropValue& v) {
            o.window_->SetText(v.s);
            // Typing into an edit replaces what a script put there.
            if (!o.MultiLine())
              o.window_->SelectAll();
          }),
      Custom<T>(
          PR_FONTNAME, peNone, [](const T& o) { return TPropValue::Str(o.font_name_); },
          [](T& o, const TPropValue& v) {
            o.font_name_ = v.s;
            o.ApplyFont();
          }),
      Custom<T>(
          PR_FONTHEIGHT, peNone,
          [](const T& o) {
            return TPropValue::Int(o.font_height_ == INT32_MIN ? INT32_MAX
                                                               : std::abs(o.font_height_));
          },
          [](T& o, const TPropValue& v) {
            o.font_height_ = v.i;
            o.ApplyFont();
          }),
      Custom<T>(
          PR_FONTSTYLE, peNone, [](const T& o) { return TPropValue::Int(o.font_style_); },
          [](T& o, const TPropValue& v) {
            o.font_style_ = static_cast<uint8_t>(v.i & 0x0F);
            o.ApplyFont();
          }),
      Custom<T>(
          PR_FONTCOLOR, peNone, [](const T& o) { return TPropValue::Int(o.font_color_); },
          [](T& o, const TPropValue& v) {
            o.font_color_ = v.i;
            o.ApplyFont();
          }),
      Custom<T>(
          PR_READONLY, peNone, [](const T& o) { return TPropValue::Flag(o.read_only_ != 0); },
          [](T& o, const TPropValue& v) {
            o.read_only_ = v.f ? 1 : 0;
            o.window_->SetReadOnly(v.f);
          }),
      Custom<T>(
          PR_IMEMODE, peNone, [](const T& o) { return TPropValue::Int(o.ime_mode_); },
          [](T& o, const TPropValue& v) {
            o.ime_mode_ = v.i;
            o.window_->SetImeMode(v.i);
          }),
      Custom<T>(
          PR_PAUSED, peNone, [](const T& o) { return TPropValue::Flag(o.paused_ != 0); },
          [](T& o, const TPropValue& v) {
            o.paused_ = v.f ? 1 : 0;
            o.window_->SetEnabled(!v.f);
          }),
      Custom<T>(
          PR_HALIGN, peNone, [](const T& o) { return TPropValue::Int(o.align_); },
          [](T& o, const TPropValue& v) {
            o.align_ = static_cast<uint8_t>(v.i);
            o.window_->SetAlignment(o.align_);
          }),
      Field<&T::notify_handler_>(PR_ONNOTIFY),
      // Edits always take keys.
      Custom<T>(
          PR_HANDLEKEY, peNone, [](const T&) { return TPropValue::Flag(true); }, nullptr),
      // The platform window follows the control's visibility and place.
      Custom<T>(PR_VISIBLE, pePicture, nullptr,
                [](T& o, const TPropValue& v) {
                  o.window_->SetVisible(v.f && o.WindowWanted());
                  TNovaControl::Props().FindSet(PR_VISIBLE)->set(o, v);
                  o.PlaceWindow();
                }),
      WriteThen<T, &TNovaControl::Props, PR_PARENT>(peGeometry, [](T& o) { o.PlaceWindow(); }),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaControl::Props, kRows);
  return kTable;
}

void TNovaEdit::SyncKind(TSerializer& s) {
  s.Flag(paused_);
  std::string text = s.Saving() ? window_->Text() : std::string();
  s.String(text);
  s.String(font_name_);
  s.I32(font_height_);
  s.U8(font_style_);
  s.I32(font_color_);
  s.I32(color_);
  s.Flag(read_only_);
  if (MultiLine())
    s.U8(align_);
  s.String(notify_handler_);
  s.I32(ime_mode_, Since{142});
  if (s.Saving())
    return;
  font_style_ &= 0x0F;
  window_->SetText(text);
  window_->SetEnabled(!paused_);
  ApplyFont();
  window_->SetBackground(color_);
  window_->SetReadOnly(read_only_ != 0);
  window_->SetAlignment(align_);
  window_->SetImeMode(ime_mode_);
  window_->SetVisible(Visible());
  PlaceWindow();
}

} // namespace nova
