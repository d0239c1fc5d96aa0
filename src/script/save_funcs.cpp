// SPDX-License-Identifier: MIT
#include "script/save_funcs.h"

#include <filesystem>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "expr/params.h"
#include "graphics/dibx_custom.h"
#include "graphics/image_cache.h"
#include "graphics/wisp_frame_list.h"
#include "scene/nova_base.h"
#include "scene/nova_base_list.h"
#include "script/game_save.h"
#include "script/project.h"
#include "vfs/durable_file.h"
#include "vfs/native_names.h"
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
// A capture larger than this is refused rather than allocated (scripts choose the size).
constexpr int64_t kMaxCapturePixels = 8192 * 8192;

// The extension with its dot, "" without one.
std::string ExtensionOf(const std::string& name) {
  const size_t dot = name.rfind('.');
  const size_t slash = name.rfind('\\');
  if (dot == std::string::npos || (slash != std::string::npos && slash > dot))
    return {};
  return name.substr(dot);
}

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

namespace {

// The surface as a one-frame 24-bit layered image of `width` x `height` (nearest pixels when
// the size differs).
TWispFrameList CaptureFrame(TCustomDIBX& surface, int32_t width, int32_t height) {
  TWispFrame frame;
  TWispBitmap& picture = frame.picture.color;
  picture.SetSize(width, height, 24);
  const int32_t sw = surface.Width(), sh = surface.Height();
  for (int32_t y = 0; y < height; ++y) {
    const int sy = static_cast<int>(static_cast<int64_t>(y) * sh / height);
    for (int32_t x = 0; x < width; ++x) {
      const int sx = static_cast<int>(static_cast<int64_t>(x) * sw / width);
      picture.SetRaw(x, y, picture.ColorToRaw(surface.PixelToColor(surface.GetPixel(sx, sy))));
    }
  }
  TWispFrameList list;
  list.AddFrame(std::move(frame));
  return list;
}

} // namespace

bool TSaveFuncs::SaveScreen(std::span<TCustomParam* const> args) {
  const std::string name = Arg(args, 0);
  const std::filesystem::path folder =
      std::filesystem::path(ctx_.project.save_file_path).parent_path();
  std::error_code error;
  if (!ctx_.scene || ctx_.project.save_file_path.empty() ||
      !std::filesystem::is_directory(folder, error) || !SameTextJ(ExtensionOf(name), ".wsp"))
    return false;
  TNovaBase* base =
      args.size() > 3 && args[3] && args[3]->AsFlag() ? ctx_.scene->Back() : ctx_.scene->Front();
  TCustomDIBX* surface = base ? base->GetTargetSurface() : nullptr;
  if (!surface || surface->IsEmpty())
    return false;
  const int32_t width = IntArg(args, 1) != 0 ? IntArg(args, 1) : surface->Width();
  const int32_t height = IntArg(args, 2) != 0 ? IntArg(args, 2) : surface->Height();
  if (width < 1 || height < 1 || int64_t{width} * height > kMaxCapturePixels)
    return false;
  WispWriteOptions options;
  options.compression = 1;
  options.jpeg_quality = 70;
  const std::vector<uint8_t> bytes = CaptureFrame(*surface, width, height).SaveToBytes(options);
  if (IsMemoryName(name)) {
    ctx_.memory_files.Delete(name);
    TVrFile& entry = ctx_.memory_files.AddMemoryEntry(name);
    entry.data->Write(bytes.data(), static_cast<int64_t>(bytes.size()));
    entry.data->SetPosition(0);
    if (StartsWith(name, kSaveFilePrefix))
      ctx_.save.WriteBackMemoryFile(name);
  } else {
    // Names that would leave the save folder are refused.
    if (!IsContainedName(name))
      return false;
    try {
      WriteFileDurably((folder / NativeRelativeName(name)).string(), bytes, TBackup::Keep);
    } catch (const ENovaError&) {
      return false;
    }
  }
  if (ctx_.images)
    ctx_.images->Purge(name);
  return true;
}

} // namespace nova
