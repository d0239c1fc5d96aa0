// SPDX-License-Identifier: MIT
#include "shell/shell_funcs.h"

#include <filesystem>

#include "base/sjis.h"
#include "expr/params.h"
#include "graphics/screen_manager.h"
#include "platform/desktop.h"
#include "platform/user_folders.h"
#include "scene/kinds/edit.h"
#include "scene/nova_base_list.h"
#include "shell/extract_file.h"
#include "vfs/vr_file_manager.h"

namespace nova {

namespace {

enum : uint8_t {
  kGetDisplayMode = 65,
  kSetWallPaper = 125,
  kOpenUrl = 135,
  kSelectOpenFile = 148,
  kSelectSaveFile = 149,
  kSelectDirectory = 150,
  kExtractFile = 151,
  kGetImeOpened = 166,
  kSetImeOpened = 167,
};

std::string Arg(std::span<TCustomParam* const> args, size_t i) {
  return i < args.size() && args[i] ? args[i]->AsStr() : std::string();
}

// A Shift-JIS title path as a native one: UTF-8 with "/".
std::string NativePath(const std::string& sjis) {
  std::string out = SjisToUtf8(sjis);
  for (char& c : out) {
    if (c == '\\')
      c = '/';
  }
  return out;
}

bool GetDisplayMode(TScreenManager* screen, std::span<TCustomParam* const> args) {
  const int32_t index = args[0]->AsInt();
  if (!screen || index < 0 || index >= screen->ModeCount())
    return false;
  const TScreenMode m = screen->Mode(index);
  const int32_t values[] = {m.width, m.height, m.bit_count, m.refresh};
  for (size_t i = 0; i < 4; ++i)
    args[i + 1]->SetInt(values[i]);
  return true;
}

} // namespace

bool TShellFuncs::OpenUrl(const std::string& sjis_url) {
  if (!sources_.desktop)
    return false;
  const std::string lower = LowerCaseJ(sjis_url);
  if (lower.starts_with("http") || lower.starts_with("ftp"))
    return sources_.desktop->OpenUrl(SjisToUtf8(sjis_url));
  std::error_code ec;
  const std::string path = NativePath(sjis_url);
  if (!path.empty() && std::filesystem::is_directory(path, ec))
    return sources_.desktop->OpenUrl("file://" + std::filesystem::absolute(path, ec).string());
  return false;
}

bool TShellFuncs::ExtractFile(std::span<TCustomParam* const> args) {
  TExtractRequest request;
  const TCustomParam& files = *args[0];
  for (int32_t i = 0; i < files.Count(); ++i)
    request.files.push_back(files.StrAt(i));
  request.confirm = args.size() < 2 || !args[1] || args[1]->AsFlag();
  if (args.size() > 2 && args[2])
    request.destination = args[2]->AsStr();
  TExtractContext context;
  context.title_folder = FileManager().BaseFolder();
  context.desktop_folder = UserFolder(TUserFolder::Desktop);
  context.documents_folder = UserFolder(TUserFolder::Documents);
  if (sources_.choose) {
    context.choose_folder = [this] { return sources_.choose(TFileDialogKind::Directory, {}); };
  }
  const std::string caption = sources_.caption ? sources_.caption() : std::string();
  context.ask = [caption](const std::string& text, TMsgButtons buttons) {
    return ShowMessageBox(text, caption, buttons, TMsgIcon::Question);
  };
  return ExtractFiles(request, context);
}

bool TShellFuncs::SelectFile(TFileDialogKind kind, std::span<TCustomParam* const> args) {
  if (!sources_.choose)
    return false;
  std::optional<std::string> chosen = sources_.choose(kind, Arg(args, 1));
  if (!chosen)
    return false;
  std::string path = Utf8ToSjis(*chosen);
  for (char& c : path) {
    if (c == '/')
      c = '\\';
  }
  if (kind == TFileDialogKind::Directory && (path.empty() || path.back() != '\\'))
    path += '\\';
  args[0]->SetStr(path);
  return true;
}

bool TShellFuncs::CallFunc(TCustomParam& dest, uint8_t id, std::span<TCustomParam* const> args) {
  switch (id) {
  case kGetDisplayMode:
    dest.SetFlag(args.size() >= 5 &&
                 GetDisplayMode(sources_.screen ? sources_.screen() : nullptr, args));
    return true;
  case kSetWallPaper: {
    std::optional<TPicture> picture;
    if (sources_.picture && sources_.set_wallpaper)
      picture = sources_.picture(Arg(args, 0));
    dest.SetFlag(picture &&
                 sources_.set_wallpaper(*picture, args.size() > 1 ? args[1]->AsInt() : 0));
    return true;
  }
  case kOpenUrl:
    OpenUrl(Arg(args, 0));
    return true;
  case kSelectOpenFile:
  case kSelectSaveFile:
  case kSelectDirectory:
    dest.SetFlag(!args.empty() && SelectFile(id == kSelectOpenFile   ? TFileDialogKind::Open
                                             : id == kSelectSaveFile ? TFileDialogKind::Save
                                                                     : TFileDialogKind::Directory,
                                             args));
    return true;
  case kExtractFile:
    dest.SetFlag(!args.empty() && ExtractFile(args));
    return true;
  case kGetImeOpened:
  case kSetImeOpened: {
    // The input method belongs to a field's window; other components have none.
    TNovaBaseList* scene = sources_.scene ? sources_.scene() : nullptr;
    auto* field = scene ? dynamic_cast<TNovaEdit*>(scene->FindByName(Arg(args, 0))) : nullptr;
    if (!field)
      return true;
    if (id == kSetImeOpened) {
      const bool open = args.size() > 1 && args[1]->AsFlag();
      field->Window().SetImeOpened(open);
      dest.SetFlag(field->Window().ImeOpened() == open);
    } else {
      dest.SetFlag(field->Window().ImeOpened());
    }
    return true;
  }
  default:
    return next_ && next_->CallFunc(dest, id, args);
  }
}

} // namespace nova
