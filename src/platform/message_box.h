// SPDX-License-Identifier: MIT
#pragma once
#include <memory>
#include <string>
#include <vector>

namespace nova {

// YesNoAllCancel adds "yes to all", "no to all" and "cancel" to yes and no.
enum class TMsgButtons : uint8_t { Ok, OkCancel, YesNo, YesNoAllCancel };
enum class TMsgIcon : uint8_t { None, Warning, Information, Question };
enum class TMsgResult : uint8_t { Ok, Cancel, Yes, No, YesToAll, NoToAll };

// A modal message box. Texts are Shift-JIS; the implementation converts them for people.
class IMessageBox {
public:
  virtual ~IMessageBox() = default;
  virtual TMsgResult Show(const std::string& sjis_text, const std::string& sjis_caption,
                          TMsgButtons buttons, TMsgIcon icon) = 0;
};

// Shows a message box through the one installed for the process (SDL's by default).
TMsgResult ShowMessageBox(const std::string& sjis_text, const std::string& sjis_caption,
                          TMsgButtons buttons, TMsgIcon icon);
// Installs `box` (not owned) or, with nullptr, the SDL message box again.
void SetMessageBox(IMessageBox* box);

// Answers message boxes from a list ("yes", "no", "ok", "cancel", "yesall", "noall"), one per
// box in order, the
// last answer repeating; with an empty list the first button. Each box and its answer are
// printed to stderr so that headless runs show what they answered.
class TScriptedMessageBox final : public IMessageBox {
public:
  explicit TScriptedMessageBox(std::vector<TMsgResult> answers);
  TMsgResult Show(const std::string& sjis_text, const std::string& sjis_caption,
                  TMsgButtons buttons, TMsgIcon icon) override;

private:
  std::vector<TMsgResult> answers_;
  size_t next_ = 0;
};

// "yes" / "no" / "ok" / "cancel" / "yesall" / "noall" (any case); false for anything else.
bool ParseMsgResult(const std::string& text, TMsgResult& result);

} // namespace nova
