// SPDX-License-Identifier: MIT
#include "platform/message_box.h"

#include <atomic>
#include <cstdio>

#include "base/sjis.h"
#include "platform/private/sdl_message_box.h"

namespace nova {

namespace {

std::atomic<IMessageBox*> g_message_box{nullptr};

const char* ResultName(TMsgResult r) {
  switch (r) {
  case TMsgResult::Ok:
    return "ok";
  case TMsgResult::Cancel:
    return "cancel";
  case TMsgResult::Yes:
    return "yes";
  case TMsgResult::No:
    return "no";
  case TMsgResult::YesToAll:
    return "yesall";
  case TMsgResult::NoToAll:
    return "noall";
  }
  return "?";
}

// An answer given for another kind of box means the same thing in its terms.
TMsgResult Fit(TMsgResult answer, TMsgButtons buttons) {
  const bool positive =
      answer == TMsgResult::Ok || answer == TMsgResult::Yes || answer == TMsgResult::YesToAll;
  switch (buttons) {
  case TMsgButtons::Ok:
    return TMsgResult::Ok;
  case TMsgButtons::OkCancel:
    return positive ? TMsgResult::Ok : TMsgResult::Cancel;
  case TMsgButtons::YesNo:
    return positive ? TMsgResult::Yes : TMsgResult::No;
  case TMsgButtons::YesNoAllCancel:
    return answer == TMsgResult::Ok ? TMsgResult::Yes : answer;
  }
  return answer;
}

} // namespace

TMsgResult ShowMessageBox(const std::string& sjis_text, const std::string& sjis_caption,
                          TMsgButtons buttons, TMsgIcon icon) {
  IMessageBox* box = g_message_box.load();
  if (box)
    return box->Show(sjis_text, sjis_caption, buttons, icon);
  return ShowSdlMessageBox(sjis_text, sjis_caption, buttons, icon);
}

void SetMessageBox(IMessageBox* box) { g_message_box.store(box); }

TScriptedMessageBox::TScriptedMessageBox(std::vector<TMsgResult> answers)
    : answers_(std::move(answers)) {}

TMsgResult TScriptedMessageBox::Show(const std::string& sjis_text, const std::string& sjis_caption,
                                     TMsgButtons buttons, TMsgIcon) {
  TMsgResult answer = TMsgResult::Ok;
  if (!answers_.empty()) {
    answer = answers_[std::min(next_, answers_.size() - 1)];
    ++next_;
  } else if (buttons == TMsgButtons::YesNo || buttons == TMsgButtons::YesNoAllCancel) {
    answer = TMsgResult::Yes;
  }
  answer = Fit(answer, buttons);
  std::fprintf(stderr, "[message box] %s: %s -> %s\n", SjisToUtf8(sjis_caption).c_str(),
               SjisToUtf8(sjis_text).c_str(), ResultName(answer));
  return answer;
}

bool ParseMsgResult(const std::string& text, TMsgResult& result) {
  for (TMsgResult r : {TMsgResult::Ok, TMsgResult::Cancel, TMsgResult::Yes, TMsgResult::No,
                       TMsgResult::YesToAll, TMsgResult::NoToAll}) {
    if (SameTextJ(text, ResultName(r))) {
      result = r;
      return true;
    }
  }
  return false;
}

} // namespace nova
