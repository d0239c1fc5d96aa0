// SPDX-License-Identifier: MIT
// Game controllers as mouse and keyboard: what each pad button does, how the stick and the
// D-pad move the pointer, and the events that come out. Free of SDL, so the rules are tested
// without a controller; sdl_gamepad.cpp feeds it from SDL's game-controller events.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window_event.h"

namespace nova {

// The pad buttons the player maps, in the order of TGamepadSettings::buttons.
enum class TPadButton : uint8_t {
  A,
  B,
  X,
  Y,
  Back,
  Start,
  LeftShoulder,
  RightShoulder,
  LeftStick, // pressing the stick
  RightStick,
  DPadUp,
  DPadDown,
  DPadLeft,
  DPadRight,
};
inline constexpr size_t kPadButtonCount = 14;

// What a button does; a button may do several (A: click and Enter).
struct TPadAction {
  enum class TKind : uint8_t { Mouse, Key, WheelUp, WheelDown };
  TKind kind = TKind::Key;
  TMouseButton mouse = TMouseButton::Left;
  int key = 0; // virtual-key code
  bool operator==(const TPadAction&) const = default;
};
using TPadActions = std::vector<TPadAction>;

// Whether the D-pad moves the pointer, sends arrow keys, or both.
enum class TDPadMode : uint8_t { Keys, Pointer, Both };

// game.ini [Gamepad], with the defaults of a pad that works out of the box.
struct TGamepadSettings {
  bool enabled = true;
  std::array<TPadActions, kPadButtonCount> buttons = DefaultButtons();
  TDPadMode dpad = TDPadMode::Both;
  int pointer_speed = 600; // scene pixels per second at full deflection (and for the D-pad)
  int dead_zone = 20;      // percent of the stick's travel that does nothing

  static std::array<TPadActions, kPadButtonCount> DefaultButtons();
};

// The key of a button in game.ini ("A", "LeftShoulder", ...); the D-pad keys are not
// configured one by one (DPad= decides).
std::string_view PadButtonName(TPadButton button);
// "click+enter", "rightclick", "wheelup", "key:32", "none" (nothing): the actions, or nothing
// when a word is unknown.
std::optional<TPadActions> ParsePadActions(std::string_view text);
std::optional<TDPadMode> ParseDPadMode(std::string_view text);

// Turns pad input into window events at the pointer it keeps. The pointer goes on from where
// the mouse last was (SetPointer), keeps fractions of a pixel between ticks, and stays within
// the scene.
class TGamepadMapper {
public:
  explicit TGamepadMapper(TGamepadSettings settings = {}) : settings_(std::move(settings)) {}
  void SetSettings(TGamepadSettings settings) { settings_ = std::move(settings); }
  const TGamepadSettings& Settings() const { return settings_; }
  void SetSceneSize(int width, int height);
  // The real mouse moved: the pad's pointer continues from there.
  void SetPointer(int x, int y);
  int PointerX() const { return static_cast<int>(x_); }
  int PointerY() const { return static_cast<int>(y_); }

  // A button went down or up: the events it stands for.
  std::vector<TWindowEvent> Button(TPadButton button, bool down);
  // The left stick's position, each axis -32768 ... 32767.
  void Stick(int x, int y);
  // Time passed: a MouseMove when the stick or the D-pad moved the pointer.
  std::vector<TWindowEvent> Tick(int elapsed_ms);
  // True while something moves the pointer, so the window keeps ticking.
  bool Moving() const;
  // Every held button is let go (a pad was removed or the window lost the focus).
  std::vector<TWindowEvent> ReleaseAll();

private:
  TWindowEvent At(TWindowEventKind kind) const;
  double Deflection(int value) const;

  TGamepadSettings settings_;
  int width_ = 640, height_ = 480;
  // Until the mouse shows where it is, the pointer starts in the middle.
  double x_ = 320, y_ = 240;
  int stick_x_ = 0, stick_y_ = 0;
  std::array<bool, kPadButtonCount> held_{};
};

} // namespace nova
