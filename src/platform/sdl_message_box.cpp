// SPDX-License-Identifier: MIT
#include "platform/private/sdl_message_box.h"

#include <SDL.h>

#include <cstdio>
#include <vector>

#include "base/sjis.h"

namespace nova {

namespace {

Uint32 IconFlags(TMsgIcon icon) {
  switch (icon) {
  case TMsgIcon::Warning:
    return SDL_MESSAGEBOX_WARNING;
  case TMsgIcon::Information:
  case TMsgIcon::Question:
    return SDL_MESSAGEBOX_INFORMATION;
  case TMsgIcon::None:
    break;
  }
  return 0;
}

} // namespace

TMsgResult ShowSdlMessageBox(const std::string& sjis_text, const std::string& sjis_caption,
                             TMsgButtons buttons, TMsgIcon icon) {
  const std::string text = SjisToUtf8(sjis_text);
  const std::string caption = SjisToUtf8(sjis_caption);
  std::vector<SDL_MessageBoxButtonData> data;
  const int kReturn = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
  const int kEscape = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
  switch (buttons) {
  case TMsgButtons::Ok:
    data.push_back({kReturn | kEscape, static_cast<int>(TMsgResult::Ok), "OK"});
    break;
  case TMsgButtons::OkCancel:
    data.push_back({kReturn, static_cast<int>(TMsgResult::Ok), "OK"});
    data.push_back({kEscape, static_cast<int>(TMsgResult::Cancel), "キャンセル"});
    break;
  case TMsgButtons::YesNo:
    data.push_back({kReturn, static_cast<int>(TMsgResult::Yes), "はい"});
    data.push_back({kEscape, static_cast<int>(TMsgResult::No), "いいえ"});
    break;
  case TMsgButtons::YesNoAllCancel:
    data.push_back({kReturn, static_cast<int>(TMsgResult::Yes), "はい"});
    data.push_back({0, static_cast<int>(TMsgResult::No), "いいえ"});
    data.push_back({0, static_cast<int>(TMsgResult::YesToAll), "すべてはい"});
    data.push_back({0, static_cast<int>(TMsgResult::NoToAll), "すべていいえ"});
    data.push_back({kEscape, static_cast<int>(TMsgResult::Cancel), "キャンセル"});
    break;
  }
  SDL_MessageBoxData box{
      IconFlags(icon), nullptr, caption.c_str(), text.c_str(), static_cast<int>(data.size()),
      data.data(),     nullptr};
  int pressed = -1;
  if (SDL_ShowMessageBox(&box, &pressed) != 0 || pressed < 0) {
    // No way to ask: say what happened and take the safe answer (Escape's button).
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return buttons == TMsgButtons::Ok ? TMsgResult::Ok
           : buttons == TMsgButtons::OkCancel || buttons == TMsgButtons::YesNoAllCancel
               ? TMsgResult::Cancel
               : TMsgResult::No;
  }
  return static_cast<TMsgResult>(pressed);
}

} // namespace nova
