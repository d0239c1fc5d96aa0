// SPDX-License-Identifier: MIT
#include "script/save_funcs.h"

#include "base/sjis.h"
#include "expr/params.h"
#include "script/game_save.h"
#include "script/project.h"
#include "vfs/vr_file_collection.h"

namespace nova {
namespace {

enum : uint8_t {
  kGetSaveCaption = 27,
  kListSaveCaption = 134,
  kSaveScreen = 137,
  kCopyFile = 158,
};

constexpr char kMemPrefix[] = "mem:";

std::string Arg(std::span<TCustomParam* const> args, size_t i) {
  return i < args.size() && args[i] ? args[i]->AsStr() : std::string();
}
int32_t IntArg(std::span<TCustomParam* const> args, size_t i) {
  return i < args.size() && args[i] ? args[i]->AsInt() : 0;
}

bool StartsWith(const std::string& name, const char* prefix) {
  const size_t n = std::char_traits<char>::length(prefix);
  return name.size() >= n && SameTextJ(name.substr(0, n), prefix);
}

bool IsMemoryName(const std::string& name) {
  return StartsWith(name, kMemPrefix) || StartsWith(name, kSaveFilePrefix);
}

} // namespace

bool TSaveFuncs::CallFunc(TCustomParam& dest, uint8_t id, std::span<TCustomParam* const> args) {
  switch (id) {
  case kGetSaveCaption:
    dest.SetStr(ctx_.project.SaveTitle(IntArg(args, 0)));
    return true;
  case kListSaveCaption:
    return ListSaveCaption(dest, args);
  case kCopyFile:
    dest.SetFlag(CopyFile(Arg(args, 0), Arg(args, 1)));
    return true;
  case kSaveScreen:
    dest.SetFlag(SaveScreen(args));
    return true;
  default:
    return next_ && next_->CallFunc(dest, id, args);
  }
}

bool TSaveFuncs::ListSaveCaption(TCustomParam& dest, std::span<TCustomParam* const> args) {
  const auto& titles = ctx_.project.save_titles;
  const auto count = static_cast<int32_t>(titles.size());
  // An empty list raises the element-count error, as SetDims does for any empty array.
  if (!args.empty() && args[0]) {
    args[0]->SetDims({count});
    for (int32_t i = 0; i < count; ++i)
      args[0]->SetStrAt(i, titles[static_cast<size_t>(i)].first);
  }
  if (args.size() > 1 && args[1]) {
    args[1]->SetDims({count});
    for (int32_t i = 0; i < count; ++i)
      args[1]->SetIntAt(i, titles[static_cast<size_t>(i)].second);
  }
  dest.SetInt(count);
  return true;
}

bool TSaveFuncs::CopyFile(const std::string& from, const std::string& to) {
  if (!IsMemoryName(from) || !IsMemoryName(to))
    return false;
  TVrFileCollection& files = ctx_.memory_files;
  const int index = files.IndexOf(from);
  if (index < 0 || !files.Entry(index).data)
    return false;
  // Copied before the target is emptied: the two names may be the same file.
  const std::shared_ptr<TMemoryStream> source = files.Entry(index).data;
  auto copy = std::make_shared<TMemoryStream>();
  copy->Write(source->Memory(), source->Size());
  copy->SetPosition(0);
  files.Delete(to);
  files.AddMemoryEntry(to).data = std::move(copy);
  if (StartsWith(to, kSaveFilePrefix))
    ctx_.save.WriteBackMemoryFile(to);
  return true;
}

bool TSaveFuncs::SaveScreen(std::span<TCustomParam* const>) { return false; }

} // namespace nova
