// SPDX-License-Identifier: MIT
#include "media/video_manager.h"

#include <algorithm>

#include "base/run_state.h"
#include "base/sjis.h"
#include "vfs/range_stream.h"
#include "vfs/vr_file_manager.h"

namespace nova {
namespace {

bool IsRealPath(const std::string& name) {
  return (!name.empty() && (name[0] == '\\' || name[0] == '/')) ||
         (name.size() >= 2 && name[1] == ':');
}

// A file stream over a work file of the file manager, which gives the file back when done.
class TWorkFileStream final : public TStream {
public:
  explicit TWorkFileStream(std::string path) : path_(std::move(path)), file_(path_, 0, 0) {}
  ~TWorkFileStream() override { FileManager().ReleaseFilePath(path_); }
  int64_t Read(void* buffer, int64_t count) override { return file_.Read(buffer, count); }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override { return file_.Seek(offset, origin); }

private:
  std::string path_;
  TFileRangeStream file_;
};

std::string LowerExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : LowerCaseJ(name.substr(dot));
}

} // namespace

std::unique_ptr<TStream> OpenVideoResource(const std::string& name) {
  if (IsRealPath(name)) {
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    return std::make_unique<TFileRangeStream>(path, 0, 0);
  }
  const std::string ext = LowerExtension(name);
  if (ext == ".wmv" || ext == ".asf") {
    TVrFileManager& files = FileManager();
    if (!files.Exists(name))
      return files.GetRangeStream(name); // throws the file manager's "not found" text
    std::string path = files.GetFilePath(name);
    try {
      return std::make_unique<TWorkFileStream>(path);
    } catch (...) {
      files.ReleaseFilePath(path);
      throw;
    }
  }
  return FileManager().GetRangeStream(name);
}

TVideoManager::TVideoManager(TVideoContext context) : context_(std::move(context)) {
  if (!context_.clock_ms)
    context_.clock_ms = [] { return RunState().GameClock; };
}

TVideoManager::~TVideoManager() = default;

TVideoItem& TVideoManager::Add(const std::string& name, bool into_surface) {
  items_.push_back(std::make_unique<TVideoItem>(
      context_, name, [&name] { return OpenVideoResource(name); }, into_surface));
  return *items_.back();
}

void TVideoManager::Remove(TVideoItem& item) {
  std::erase_if(items_, [&item](const auto& p) { return p.get() == &item; });
}

void TVideoManager::Clear() { items_.clear(); }

void TVideoManager::Suspend() {
  if (suspended_)
    return;
  suspended_ = true;
  for (auto& item : items_) {
    item->suspended = item->IsPlaying() && !item->IsPaused();
    if (item->suspended)
      item->Pause();
  }
}

void TVideoManager::Resume() {
  if (!suspended_)
    return;
  suspended_ = false;
  for (auto& item : items_) {
    if (item->suspended)
      item->Play();
    item->suspended = false;
  }
}

void TVideoManager::Update() {
  for (auto& item : items_)
    item->Refresh();
}

} // namespace nova
