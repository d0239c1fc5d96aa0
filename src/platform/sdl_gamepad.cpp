// SPDX-License-Identifier: MIT
#include "platform/private/sdl_gamepad.h"

#include <SDL.h>

#include <algorithm>
#include <optional>

namespace nova {

namespace {

std::optional<TPadButton> PadButton(uint8_t button) {
  switch (button) {
  case SDL_CONTROLLER_BUTTON_A:
    return TPadButton::A;
  case SDL_CONTROLLER_BUTTON_B:
    return TPadButton::B;
  case SDL_CONTROLLER_BUTTON_X:
    return TPadButton::X;
  case SDL_CONTROLLER_BUTTON_Y:
    return TPadButton::Y;
  case SDL_CONTROLLER_BUTTON_BACK:
    return TPadButton::Back;
  case SDL_CONTROLLER_BUTTON_START:
    return TPadButton::Start;
  case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
    return TPadButton::LeftShoulder;
  case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
    return TPadButton::RightShoulder;
  case SDL_CONTROLLER_BUTTON_LEFTSTICK:
    return TPadButton::LeftStick;
  case SDL_CONTROLLER_BUTTON_RIGHTSTICK:
    return TPadButton::RightStick;
  case SDL_CONTROLLER_BUTTON_DPAD_UP:
    return TPadButton::DPadUp;
  case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
    return TPadButton::DPadDown;
  case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
    return TPadButton::DPadLeft;
  case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
    return TPadButton::DPadRight;
  default:
    return std::nullopt;
  }
}

} // namespace

TSdlGamepads::TSdlGamepads() {
  // Without controller support the player still runs, on mouse and keyboard.
  started_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
  last_tick_ms_ = SDL_GetTicks();
}

TSdlGamepads::~TSdlGamepads() {
  for (auto& [id, pad] : pads_)
    SDL_GameControllerClose(pad);
  if (started_)
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void TSdlGamepads::Queue(const std::vector<TWindowEvent>& events) {
  pending_.insert(pending_.end(), events.begin(), events.end());
}

bool TSdlGamepads::Take(const SDL_Event& e) {
  switch (e.type) {
  case SDL_CONTROLLERDEVICEADDED:
    // Devices present at start-up are announced this way too.
    if (SDL_GameController* pad = SDL_GameControllerOpen(e.cdevice.which)) {
      const int32_t id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
      if (pads_.contains(id))
        SDL_GameControllerClose(pad);
      else
        pads_[id] = pad;
    }
    return true;
  case SDL_CONTROLLERDEVICEREMOVED:
    if (auto it = pads_.find(e.cdevice.which); it != pads_.end()) {
      SDL_GameControllerClose(it->second);
      pads_.erase(it);
      ReleaseAll();
    }
    return true;
  case SDL_CONTROLLERDEVICEREMAPPED:
    return true;
  case SDL_CONTROLLERBUTTONDOWN:
  case SDL_CONTROLLERBUTTONUP:
    if (const std::optional<TPadButton> b = PadButton(e.cbutton.button))
      Queue(mapper_.Button(*b, e.type == SDL_CONTROLLERBUTTONDOWN));
    return true;
  case SDL_CONTROLLERAXISMOTION:
    if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
      stick_x_ = e.caxis.value;
    else if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)
      stick_y_ = e.caxis.value;
    else
      return true;
    // A stick that starts moving measures its time from now, not from its last rest.
    if (!mapper_.Moving())
      last_tick_ms_ = SDL_GetTicks();
    mapper_.Stick(stick_x_, stick_y_);
    return true;
  default:
    // Joystick events of the same devices: the controller events stand for them.
    return e.type >= SDL_JOYAXISMOTION && e.type < SDL_FINGERDOWN;
  }
}

void TSdlGamepads::Tick(uint32_t now_ms) {
  const uint32_t elapsed = now_ms - last_tick_ms_;
  if (elapsed == 0)
    return;
  last_tick_ms_ = now_ms;
  Queue(mapper_.Tick(static_cast<int>(std::min<uint32_t>(elapsed, 1000))));
}

void TSdlGamepads::ReleaseAll() {
  stick_x_ = stick_y_ = 0;
  Queue(mapper_.ReleaseAll());
}

bool TSdlGamepads::Next(TWindowEvent& out) {
  if (pending_.empty())
    return false;
  out = pending_.front();
  pending_.pop_front();
  return true;
}

} // namespace nova
