// SPDX-License-Identifier: MIT
#include "script/page.h"

#include "base/binary_reader.h"
#include "base/nova_error.h"
#include "base/nova_error_english.h"
#include "base/run_state.h"
#include "platform/user_message.h"
#include "script/command_factory.h"
#include "script/script_host.h"
#include "script/script_texts.h"

namespace nova {
namespace {

// Smallest command record: kind byte and header.
constexpr size_t kMinCommandBytes = 1 + 4 + 1 + 1 + 4;

std::string KindLabel(uint8_t kind_byte) {
  uint8_t id = kind_byte & 0x7F;
  if (id < kCommandKindCount)
    return CommandKindInfo(static_cast<TCommandId>(id)).name;
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", kind_byte);
  return std::string("kind byte ") + hex;
}

// The reader's messages begin with the page name; the command context goes in between.
std::string WithoutPrefix(const std::string& message, const std::string& name) {
  std::string prefix = name + ": ";
  return message.compare(0, prefix.size(), prefix) == 0 ? message.substr(prefix.size()) : message;
}

} // namespace

const TMaskTable& TComList::masks() const { return page_->masks(); }

int32_t TComList::FindLabel(std::string_view name) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i]->MatchesLabel(name))
      return static_cast<int32_t>(i);
  }
  return -1;
}

TPageReadResult TPage::Read(std::span<const uint8_t> bytes, const std::string& name) {
  commands_.Clear();
  name_ = name;
  BinaryReader r(bytes, name);
  version_ = r.I32();
  if (version_ > kNewestPageVersion)
    return TPageReadResult::TooNew;
  if (version_ < kOldestPageVersion)
    return TPageReadResult::NeedsRebuild;
  result_type_ = r.U8();
  masks_.Read(r);
  int32_t count = r.I32();
  r.CheckCount(count, kMinCommandBytes, "command count");
  for (int32_t i = 0; i < count; ++i) {
    uint8_t kind_byte = r.U8();
    try {
      std::unique_ptr<TCommand> command = CreateCommand(&commands_, kind_byte);
      command->LoadRecord(r, version_);
      commands_.Add(std::move(command));
    } catch (const ENovaError& e) {
      commands_.Clear();
      const std::string where =
          " (" + name + ", command " + std::to_string(i) + ", " + KindLabel(kind_byte) + ")";
      const std::string english = EnglishLineOf(e);
      if (english.empty())
        throw ENovaError(WithoutPrefix(e.what(), name) + where);
      throw ENovaErrorWithEnglish(WithoutPrefix(e.what(), name) + where, english + where);
    }
  }
  return TPageReadResult::Loaded;
}

void TPage::Write(BinaryWriter& w) {
  w.I32(version_);
  if (version_ > kNewestPageVersion || version_ < kOldestPageVersion)
    return;
  w.U8(result_type_);
  masks_.Write(w);
  w.I32(commands_.Count());
  for (int32_t i = 0; i < commands_.Count(); ++i)
    commands_[i].SaveRecord(w, version_);
}

void TPage::Load(const std::string& name, IScriptFiles& files, IScriptDialogs& dialogs) {
  commands_.Clear();
  name_ = name;
  std::vector<uint8_t> bytes = files.Load(name);
  if (Read(bytes, name) == TPageReadResult::NeedsRebuild) {
    RunState().Terminating = true;
    dialogs.MessageBox(WithEnglishLine(name + "\r\n" + ScriptText(TScriptText::Rebuild),
                                       "The page " + name + " has version " +
                                           std::to_string(version_) + ", older than " +
                                           std::to_string(kOldestPageVersion) +
                                           ": the title must be rebuilt."),
                       ScriptText(TScriptText::CaptionWarning), TMsgButtons::Ok, TMsgIcon::Warning);
    dialogs.CloseMainWindow();
  }
}

} // namespace nova
