// SPDX-License-Identifier: MIT
// A game controller on the SDL window, played by SDL's virtual joystick on the dummy video
// driver.
#include <SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/virtual_keys.h"
#include "platform/window.h"

namespace nova {
namespace {

// Input events of the window until `want` of them came or `ms` passed.
std::vector<TWindowEvent> Drain(IWindow& window, size_t want, Uint32 ms = 1000) {
  std::vector<TWindowEvent> out;
  const Uint32 start = SDL_GetTicks();
  while (out.size() < want && SDL_GetTicks() - start < ms) {
    TWindowEvent e;
    if (window.WaitEvent(e, 20) && e.kind != TWindowEventKind::Wake &&
        e.kind != TWindowEventKind::Activate && e.kind != TWindowEventKind::MouseMove)
      out.push_back(e);
  }
  return out;
}

TEST(SdlGamepad, VirtualPadClicksAndPressesEnter) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  // The dummy driver's window never has the focus, which would keep pad events away.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  std::unique_ptr<IWindow> window = CreateSdlWindow({});
  window->WarpMouse(0, 0);
  const int device = SDL_JoystickAttachVirtual(
      SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
  ASSERT_GE(device, 0) << SDL_GetError();
  EXPECT_TRUE(Drain(*window, 1, 100).empty()); // the window opens the pad as it arrives
  SDL_Joystick* stick = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(device));
  ASSERT_NE(stick, nullptr);

  SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_A, 1);
  SDL_JoystickUpdate();
  std::vector<TWindowEvent> got = Drain(*window, 2);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].kind, TWindowEventKind::MouseDown);
  EXPECT_EQ(got[0].button, TMouseButton::Left);
  EXPECT_TRUE(got[0].in_scene);
  EXPECT_EQ(got[1].kind, TWindowEventKind::KeyDown);
  EXPECT_EQ(got[1].key, vk::kReturn);

  SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_A, 0);
  SDL_JoystickUpdate();
  got = Drain(*window, 2);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].kind, TWindowEventKind::MouseUp);
  EXPECT_EQ(got[1].kind, TWindowEventKind::KeyUp);

  // The stick pushed right moves the pointer right, without other events to carry it.
  SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTX, 32767);
  SDL_JoystickUpdate();
  int last_x = -1;
  for (const Uint32 start = SDL_GetTicks(); SDL_GetTicks() - start < 1000 && last_x < 400;) {
    TWindowEvent e;
    if (window->WaitEvent(e, 50) && e.kind == TWindowEventKind::MouseMove) {
      EXPECT_GE(e.x, last_x); // the warp of the system pointer may repeat a position
      last_x = e.x;
    }
  }
  EXPECT_GE(last_x, 400) << "the pointer starts at 320 and moves 600 pixels a second";
  SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTX, 0);
  SDL_JoystickUpdate();

  // Unplugged while a button is held: the button goes up.
  SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_B, 1);
  SDL_JoystickUpdate();
  EXPECT_EQ(Drain(*window, 2).size(), 2u);
  SDL_JoystickDetachVirtual(device);
  got = Drain(*window, 2);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].kind, TWindowEventKind::MouseUp);
  EXPECT_EQ(got[0].button, TMouseButton::Right);
  EXPECT_EQ(got[1].key, vk::kEscape);
}

} // namespace
} // namespace nova
