// SPDX-License-Identifier: MIT
#include "script/game_save.h"

#include <charconv>
#include <cstdio>
#include <filesystem>

#include "base/nova_error.h"
#include "base/run_state.h"
#include "base/sjis.h"
#include "platform/user_message.h"
#include "script/project.h"
#include "script/script_host.h"
#include "script/script_texts.h"
#include "vfs/vr_file_collection.h"

namespace nova {
namespace {

void PutEntry(TVrFileCollection& archive, const std::string& name, std::span<const uint8_t> bytes) {
  archive.Delete(name);
  TVrFile& entry = archive.AddMemoryEntry(name);
  entry.data->Write(bytes.data(), static_cast<int64_t>(bytes.size()));
}

std::vector<uint8_t> EntryBytes(TVrFileCollection& archive, int index) {
  TMemoryStream data;
  archive.ReadEntry(data, archive.Entry(index).name);
  return {data.Bytes().begin(), data.Bytes().end()};
}

// The slot of a "GAMESAVEDATA" entry; -1 when the remainder is no non-negative number.
int32_t SlotOf(const std::string& name) {
  const size_t prefix = std::char_traits<char>::length(kGameEntryPrefix);
  if (name.size() <= prefix || !SameTextJ(name.substr(0, prefix), kGameEntryPrefix))
    return -1;
  int32_t slot = -1;
  const char* end = name.data() + name.size();
  auto [p, ec] = std::from_chars(name.data() + prefix, end, slot);
  return ec == std::errc() && p == end && slot >= 0 ? slot : -1;
}

bool IsSaveFileName(const std::string& name) {
  const size_t n = std::char_traits<char>::length(kSaveFilePrefix);
  return name.size() >= n && SameTextJ(name.substr(0, n), kSaveFilePrefix);
}

} // namespace

std::string GameEntryName(int32_t slot) { return kGameEntryPrefix + std::to_string(slot); }

TGameSave::TGameSave(Context context, std::function<TSavedParts()> parts)
    : ctx_(context), parts_(std::move(parts)) {}

void TGameSave::SaveGame(int32_t slot, const std::string& title, const TResumePoint& resume) {
  if (title.empty() || slot < 0)
    return;
  const TSavedParts parts = parts_();
  if (!parts.calls)
    return;
  auto archive = ctx_.file.Open();
  PutEntry(*archive, GameEntryName(slot), WriteSavedGame(parts, title, resume));
  // The status data goes along in the same write; the project may keep it off the disk.
  if (parts.images && ctx_.project.setting().write_save_file)
    AddStatusEntry(*archive, parts);
  // The title shows in the save menus even when the disk refused it: the game is still
  // running and the next save may succeed.
  ctx_.project.SetSaveTitle(slot, title);
  ctx_.file.Write(*archive);
}

void TGameSave::LoadGame(int32_t slot) {
  if (slot < 0 || !ctx_.file.Exists())
    return;
  auto archive = ctx_.file.Open();
  const int index = archive->IndexOf(GameEntryName(slot));
  if (index < 0)
    return;
  try {
    const std::vector<uint8_t> bytes = EntryBytes(*archive, index);
    ReadSavedGame(parts_(), bytes, GameEntryName(slot));
  } catch (const std::exception& e) {
    RunState().Terminating = true;
    std::fprintf(stderr, "novaplay: %s: %s\n", SjisToUtf8(GameEntryName(slot)).c_str(),
                 SjisToUtf8(e.what()).c_str());
    ctx_.dialogs.MessageBox(
        WithEnglishLine(ScriptText(TScriptText::SaveDataUnusable),
                        "The saved game " + GameEntryName(slot) + " in " +
                            Utf8ToSjis(ctx_.file.path()) + " cannot be read: " + e.what()),
        ScriptText(TScriptText::CaptionWarning), TMsgButtons::Ok, TMsgIcon::Warning);
  }
}

void TGameSave::AddStatusEntry(TVrFileCollection& archive, const TSavedParts& parts) {
  PutEntry(archive, kStatusEntryName, nova::WriteStatusData(parts));
}

void TGameSave::WriteStatusData() {
  const TSavedParts parts = parts_();
  if (!parts.images)
    return;
  auto archive = ctx_.file.Open();
  AddStatusEntry(*archive, parts);
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::path(ctx_.file.path()).parent_path();
  if (ctx_.project.setting().write_save_file && std::filesystem::is_directory(folder, error))
    ctx_.file.Write(*archive);
}

void TGameSave::RestoreStatusData() {
  if (!ctx_.file.Exists())
    return;
  auto archive = ctx_.file.Open();
  if (const int index = archive->IndexOf(kStatusEntryName); index >= 0) {
    try {
      ReadStatusData(parts_(), EntryBytes(*archive, index), kStatusEntryName);
    } catch (const ENovaError& e) {
      // The title starts as if it had never run; the next write replaces the damaged entry.
      std::fprintf(stderr, "novaplay: the status data is ignored: %s\n",
                   SjisToUtf8(e.what()).c_str());
    }
  }
  for (int i = 0; i < archive->Count(); ++i) {
    const std::string name = archive->Entry(i).name;
    if (!IsSaveFileName(name))
      continue;
    try {
      PutEntry(ctx_.memory_files, name, EntryBytes(*archive, i));
    } catch (const ENovaError&) {
      ctx_.memory_files.Delete(name);
    }
  }
}

void TGameSave::ReadSaveTitles() {
  ctx_.project.save_titles.clear();
  if (!ctx_.file.Exists())
    return;
  auto archive = ctx_.file.Open();
  for (int i = 0; i < archive->Count(); ++i) {
    const int32_t slot = SlotOf(archive->Entry(i).name);
    if (slot < 0)
      continue;
    try {
      const std::vector<uint8_t> bytes = EntryBytes(*archive, i);
      ctx_.project.save_titles.emplace_back(ReadSavedGameTitle(bytes, archive->Entry(i).name),
                                            slot);
    } catch (const ENovaError&) {
      // A damaged game still loads with its message; it just has no title to show.
    }
  }
}

void TGameSave::WriteBackMemoryFile(const std::string& name) {
  const int index = ctx_.memory_files.IndexOf(name);
  if (index < 0)
    return;
  const std::vector<uint8_t> bytes = EntryBytes(ctx_.memory_files, index);
  auto archive = ctx_.file.Open();
  PutEntry(*archive, name, bytes);
  ctx_.file.Write(*archive);
}

} // namespace nova
