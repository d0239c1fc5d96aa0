// SPDX-License-Identifier: MIT
#include "platform/gamepad_mapping.h"

#include <gtest/gtest.h>

#include "platform/virtual_keys.h"

namespace nova {
namespace {

using K = TWindowEventKind;

// An event reduced to what a case checks: kind, key or button, position.
struct TSeen {
  K kind;
  int code; // key, mouse button, or wheel_up
  int x, y;
  bool operator==(const TSeen&) const = default;
};

std::vector<TSeen> Seen(const std::vector<TWindowEvent>& events) {
  std::vector<TSeen> out;
  for (const TWindowEvent& e : events) {
    const int code = e.kind == K::KeyDown || e.kind == K::KeyUp ? e.key
                     : e.kind == K::Wheel                       ? e.wheel_up
                                                                : static_cast<int>(e.button);
    out.push_back({e.kind, code, e.x, e.y});
  }
  return out;
}

constexpr int kLeft = static_cast<int>(TMouseButton::Left);
constexpr int kRight = static_cast<int>(TMouseButton::Right);

TEST(GamepadMapping, ParsesActionLists) {
  using TKind = TPadAction::TKind;
  const struct {
    const char* text;
    std::optional<TPadActions> want;
  } cases[] = {
      {"click", TPadActions{{TKind::Mouse, TMouseButton::Left, 0}}},
      {" Click + ENTER ", TPadActions{{TKind::Mouse, TMouseButton::Left, 0},
                                      {TKind::Key, TMouseButton::Left, vk::kReturn}}},
      {"rightclick+escape", TPadActions{{TKind::Mouse, TMouseButton::Right, 0},
                                        {TKind::Key, TMouseButton::Left, vk::kEscape}}},
      {"wheeldown", TPadActions{{TKind::WheelDown, TMouseButton::Left, 0}}},
      {"key:32", TPadActions{{TKind::Key, TMouseButton::Left, 32}}},
      {"none", TPadActions{}},
      {"", std::nullopt},
      {"click+", std::nullopt},
      {"jump", std::nullopt},
      {"key:0", std::nullopt},
      {"key:256", std::nullopt},
      {"key:3x", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParsePadActions(c.text), c.want) << c.text;
  EXPECT_EQ(ParseDPadMode("keys|pointer"), TDPadMode::Both);
  EXPECT_EQ(ParseDPadMode("Pointer"), TDPadMode::Pointer);
  EXPECT_EQ(ParseDPadMode("mouse"), std::nullopt);
}

TEST(GamepadMapping, DefaultButtonsAreMouseAndKeysAtThePointer) {
  TGamepadMapper pad;
  pad.SetSceneSize(640, 480);
  pad.SetPointer(100, 50);
  const struct {
    TPadButton button;
    bool down;
    std::vector<TSeen> want;
  } cases[] = {
      {TPadButton::A, true, {{K::MouseDown, kLeft, 100, 50}, {K::KeyDown, vk::kReturn, 100, 50}}},
      {TPadButton::A, true, {}}, // still held: nothing new
      {TPadButton::A, false, {{K::MouseUp, kLeft, 100, 50}, {K::KeyUp, vk::kReturn, 100, 50}}},
      {TPadButton::B, true, {{K::MouseDown, kRight, 100, 50}, {K::KeyDown, vk::kEscape, 100, 50}}},
      {TPadButton::B, false, {{K::MouseUp, kRight, 100, 50}, {K::KeyUp, vk::kEscape, 100, 50}}},
      {TPadButton::LeftShoulder, true, {{K::Wheel, 1, 100, 50}}},
      {TPadButton::LeftShoulder, false, {}},
      {TPadButton::RightShoulder, true, {{K::Wheel, 0, 100, 50}}},
      {TPadButton::X, true, {{K::KeyDown, vk::kTab, 100, 50}}},
      {TPadButton::Y, true, {}},
      {TPadButton::DPadLeft, true, {{K::KeyDown, vk::kLeft, 100, 50}}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Seen(pad.Button(c.button, c.down)), c.want)
        << PadButtonName(c.button) << (c.down ? " down" : " up");
  // Held buttons go up together, and the pointer-moving D-pad stops.
  EXPECT_EQ(Seen(pad.ReleaseAll()),
            (std::vector<TSeen>{{K::KeyUp, vk::kTab, 100, 50}, {K::KeyUp, vk::kLeft, 100, 50}}));
  EXPECT_FALSE(pad.Moving());
}

TEST(GamepadMapping, StickMovesByDeflectionBeyondTheDeadZone) {
  TGamepadSettings settings; // 600 pixels a second, 20% dead zone
  settings.dpad = TDPadMode::Keys;
  TGamepadMapper pad(settings);
  pad.SetSceneSize(640, 480);
  pad.SetPointer(300, 200);
  const struct {
    int x, y, ms;
    int want_x, want_y; // where the pointer is after the tick
  } cases[] = {
      {6000, -6000, 100, 300, 200},   // inside the dead zone
      {32767, 0, 100, 360, 200},      // full right for 0.1 s: 60 pixels
      {-32768, 0, 50, 330, 200},      // full left for 0.05 s
      {0, 19661, 100, 330, 230},      // 60% down: halfway beyond the dead zone
      {32767, 32767, 5000, 390, 290}, // a stall moves no more than 0.1 s would
      {-32768, -32768, 100000, 330, 230},
  };
  for (const auto& c : cases) {
    pad.Stick(c.x, c.y);
    pad.Tick(c.ms);
    EXPECT_EQ(pad.PointerX(), c.want_x) << c.x << "," << c.y;
    EXPECT_EQ(pad.PointerY(), c.want_y) << c.x << "," << c.y;
  }
  // A slight push moves less than a pixel a tick; the fractions add up.
  pad.SetPointer(100, 100);
  pad.Stick(8192, 0); // a quarter: 1/16 of full speed beyond the dead zone
  for (int tick = 0; tick < 16; ++tick) {
    pad.SetSceneSize(640, 480);
    pad.Tick(15);
  }
  EXPECT_EQ(pad.PointerX(), 109);
  // The scene's edge stops it; a tick that moves nothing reports nothing.
  pad.SetPointer(639, 479);
  pad.Stick(32767, 32767);
  EXPECT_TRUE(pad.Tick(100).empty());
  pad.Stick(-32768, 0);
  EXPECT_EQ(Seen(pad.Tick(100)), (std::vector<TSeen>{{K::MouseMove, 0, 579, 479}}));
}

TEST(GamepadMapping, DPadModesAndDisabling) {
  const struct {
    TDPadMode mode;
    bool key;
    int moved_x; // after 0.1 s held right
  } cases[] = {
      {TDPadMode::Keys, true, 10},
      {TDPadMode::Pointer, false, 70},
      {TDPadMode::Both, true, 70},
  };
  for (const auto& c : cases) {
    TGamepadSettings settings;
    settings.dpad = c.mode;
    TGamepadMapper pad(settings);
    pad.SetPointer(10, 10);
    EXPECT_EQ(!pad.Button(TPadButton::DPadRight, true).empty(), c.key);
    pad.Tick(100);
    EXPECT_EQ(pad.PointerX(), c.moved_x);
  }
  TGamepadSettings off;
  off.enabled = false;
  TGamepadMapper pad(off);
  pad.Stick(32767, 0);
  EXPECT_TRUE(pad.Button(TPadButton::A, true).empty());
  EXPECT_TRUE(pad.Tick(100).empty());
}

} // namespace
} // namespace nova
