// SPDX-License-Identifier: MIT
#include "platform/gamepad_mapping.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "platform/virtual_keys.h"

namespace nova {

namespace {

constexpr std::array<std::string_view, kPadButtonCount> kButtonNames = {"A",
                                                                        "B",
                                                                        "X",
                                                                        "Y",
                                                                        "Back",
                                                                        "Start",
                                                                        "LeftShoulder",
                                                                        "RightShoulder",
                                                                        "LeftStick",
                                                                        "RightStick",
                                                                        "DPadUp",
                                                                        "DPadDown",
                                                                        "DPadLeft",
                                                                        "DPadRight"};

TPadAction Mouse(TMouseButton b) { return {TPadAction::TKind::Mouse, b, 0}; }
TPadAction Key(int vk) { return {TPadAction::TKind::Key, TMouseButton::Left, vk}; }

bool SameWord(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

std::optional<TPadAction> ParseAction(std::string_view word) {
  struct TNamed {
    std::string_view name;
    TPadAction action;
  };
  static const TNamed kNamed[] = {
      {"click", Mouse(TMouseButton::Left)},
      {"rightclick", Mouse(TMouseButton::Right)},
      {"middleclick", Mouse(TMouseButton::Middle)},
      {"enter", Key(vk::kReturn)},
      {"escape", Key(vk::kEscape)},
      {"space", Key(vk::kSpace)},
      {"tab", Key(vk::kTab)},
      {"wheelup", {TPadAction::TKind::WheelUp, TMouseButton::Left, 0}},
      {"wheeldown", {TPadAction::TKind::WheelDown, TMouseButton::Left, 0}},
  };
  for (const TNamed& n : kNamed)
    if (SameWord(word, n.name))
      return n.action;
  if (word.size() > 4 && SameWord(word.substr(0, 4), "key:")) {
    int code = 0;
    const std::string_view digits = word.substr(4);
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), code);
    if (ec == std::errc() && end == digits.data() + digits.size() && code > 0 && code < 256)
      return Key(code);
  }
  return std::nullopt;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
    s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
    s.remove_suffix(1);
  return s;
}

int DPadKey(TPadButton b) {
  switch (b) {
  case TPadButton::DPadUp:
    return vk::kUp;
  case TPadButton::DPadDown:
    return vk::kDown;
  case TPadButton::DPadLeft:
    return vk::kLeft;
  case TPadButton::DPadRight:
    return vk::kRight;
  default:
    return 0;
  }
}

} // namespace

std::array<TPadActions, kPadButtonCount> TGamepadSettings::DefaultButtons() {
  std::array<TPadActions, kPadButtonCount> b;
  b[size_t(TPadButton::A)] = {Mouse(TMouseButton::Left), Key(vk::kReturn)};
  b[size_t(TPadButton::B)] = {Mouse(TMouseButton::Right), Key(vk::kEscape)};
  // Held, Tab runs the game fast.
  b[size_t(TPadButton::X)] = {Key(vk::kTab)};
  b[size_t(TPadButton::LeftShoulder)] = {{TPadAction::TKind::WheelUp, TMouseButton::Left, 0}};
  b[size_t(TPadButton::RightShoulder)] = {{TPadAction::TKind::WheelDown, TMouseButton::Left, 0}};
  return b;
}

std::string_view PadButtonName(TPadButton button) { return kButtonNames[size_t(button)]; }

std::optional<TPadActions> ParsePadActions(std::string_view text) {
  text = Trim(text);
  TPadActions actions;
  if (SameWord(text, "none"))
    return actions;
  while (!text.empty()) {
    const size_t plus = text.find('+');
    const std::optional<TPadAction> action = ParseAction(Trim(text.substr(0, plus)));
    if (!action)
      return std::nullopt;
    actions.push_back(*action);
    if (plus == std::string_view::npos)
      break;
    text.remove_prefix(plus + 1);
    if (text.empty())
      return std::nullopt;
  }
  if (actions.empty())
    return std::nullopt;
  return actions;
}

std::optional<TDPadMode> ParseDPadMode(std::string_view text) {
  text = Trim(text);
  if (SameWord(text, "keys"))
    return TDPadMode::Keys;
  if (SameWord(text, "pointer"))
    return TDPadMode::Pointer;
  if (SameWord(text, "keys|pointer") || SameWord(text, "pointer|keys") || SameWord(text, "both"))
    return TDPadMode::Both;
  return std::nullopt;
}

void TGamepadMapper::SetSceneSize(int width, int height) {
  width = std::max(1, width);
  height = std::max(1, height);
  if (width == width_ && height == height_)
    return;
  width_ = width;
  height_ = height;
  x_ = std::clamp(x_, 0.0, width_ - 1.0);
  y_ = std::clamp(y_, 0.0, height_ - 1.0);
}

void TGamepadMapper::SetPointer(int x, int y) {
  x_ = std::clamp(x, 0, width_ - 1);
  y_ = std::clamp(y, 0, height_ - 1);
}

TWindowEvent TGamepadMapper::At(TWindowEventKind kind) const {
  TWindowEvent e;
  e.kind = kind;
  e.x = PointerX();
  e.y = PointerY();
  return e;
}

std::vector<TWindowEvent> TGamepadMapper::Button(TPadButton button, bool down) {
  std::vector<TWindowEvent> out;
  bool& held = held_[size_t(button)];
  if (!settings_.enabled || held == down)
    return out;
  held = down;
  if (const int arrow = DPadKey(button)) {
    if (settings_.dpad != TDPadMode::Pointer) {
      TWindowEvent e = At(down ? TWindowEventKind::KeyDown : TWindowEventKind::KeyUp);
      e.key = arrow;
      out.push_back(e);
    }
    return out;
  }
  for (const TPadAction& a : settings_.buttons[size_t(button)]) {
    switch (a.kind) {
    case TPadAction::TKind::Mouse: {
      TWindowEvent e = At(down ? TWindowEventKind::MouseDown : TWindowEventKind::MouseUp);
      e.button = a.mouse;
      out.push_back(e);
      break;
    }
    case TPadAction::TKind::Key: {
      TWindowEvent e = At(down ? TWindowEventKind::KeyDown : TWindowEventKind::KeyUp);
      e.key = a.key;
      out.push_back(e);
      break;
    }
    case TPadAction::TKind::WheelUp:
    case TPadAction::TKind::WheelDown:
      if (down) {
        TWindowEvent e = At(TWindowEventKind::Wheel);
        e.wheel_up = a.kind == TPadAction::TKind::WheelUp;
        out.push_back(e);
      }
      break;
    }
  }
  return out;
}

void TGamepadMapper::Stick(int x, int y) {
  stick_x_ = x;
  stick_y_ = y;
}

// -1 ... 1 beyond the dead zone, rescaled so that movement starts slowly at its edge.
double TGamepadMapper::Deflection(int value) const {
  const double v = std::clamp(value / 32767.0, -1.0, 1.0);
  const double dead = std::clamp(settings_.dead_zone, 0, 99) / 100.0;
  if (std::abs(v) <= dead)
    return 0;
  return (std::abs(v) - dead) / (1 - dead) * (v < 0 ? -1 : 1);
}

bool TGamepadMapper::Moving() const {
  if (!settings_.enabled)
    return false;
  if (Deflection(stick_x_) != 0 || Deflection(stick_y_) != 0)
    return true;
  return settings_.dpad != TDPadMode::Keys &&
         (held_[size_t(TPadButton::DPadUp)] || held_[size_t(TPadButton::DPadDown)] ||
          held_[size_t(TPadButton::DPadLeft)] || held_[size_t(TPadButton::DPadRight)]);
}

std::vector<TWindowEvent> TGamepadMapper::Tick(int elapsed_ms) {
  if (!Moving() || elapsed_ms <= 0)
    return {};
  double dx = Deflection(stick_x_), dy = Deflection(stick_y_);
  if (settings_.dpad != TDPadMode::Keys) {
    dx += (held_[size_t(TPadButton::DPadRight)] ? 1 : 0) -
          (held_[size_t(TPadButton::DPadLeft)] ? 1 : 0);
    dy +=
        (held_[size_t(TPadButton::DPadDown)] ? 1 : 0) - (held_[size_t(TPadButton::DPadUp)] ? 1 : 0);
  }
  // A long stall moves no further than a tenth of a second would.
  const double step = std::max(0, settings_.pointer_speed) * std::min(elapsed_ms, 100) / 1000.0;
  const int old_x = PointerX(), old_y = PointerY();
  x_ = std::clamp(x_ + std::clamp(dx, -1.0, 1.0) * step, 0.0, width_ - 1.0);
  y_ = std::clamp(y_ + std::clamp(dy, -1.0, 1.0) * step, 0.0, height_ - 1.0);
  if (PointerX() == old_x && PointerY() == old_y)
    return {};
  return {At(TWindowEventKind::MouseMove)};
}

std::vector<TWindowEvent> TGamepadMapper::ReleaseAll() {
  std::vector<TWindowEvent> out;
  for (size_t i = 0; i < kPadButtonCount; ++i)
    if (held_[i])
      for (const TWindowEvent& e : Button(static_cast<TPadButton>(i), false))
        out.push_back(e);
  stick_x_ = stick_y_ = 0;
  return out;
}

} // namespace nova
