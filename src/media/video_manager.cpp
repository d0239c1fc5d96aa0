// SPDX-License-Identifier: MIT
#include "media/video_manager.h"

#include "base/sjis.h"
#include "media/media_source.h"
#include "media/media_system.h"
#include "vfs/range_stream.h"
#include "vfs/vr_file_manager.h"

namespace nova {
namespace {

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

bool IsWindowsMedia(const std::string& name) {
  const size_t dot = name.rfind('.');
  const std::string ext = dot == std::string::npos ? "" : LowerCaseJ(name.substr(dot));
  return ext == ".wmv" || ext == ".asf";
}

} // namespace

std::unique_ptr<TStream> OpenVideoResource(const std::string& name) {
  if (IsRealFileName(name) || !IsWindowsMedia(name) || !FileManager().Exists(name))
    return OpenMediaStream(name);
  TVrFileManager& files = FileManager();
  const std::string path = files.GetFilePath(name);
  try {
    return std::make_unique<TWorkFileStream>(path);
  } catch (...) {
    files.ReleaseFilePath(path);
    throw;
  }
}

TVideoManager::TVideoManager(TVideoContext context) : context_(std::move(context)) {}

TVideoManager::~TVideoManager() { DetachAll(); }

std::unique_ptr<TDMediaItem> TVideoManager::Add(const std::string& name) {
  return std::make_unique<TVideoItem>(*this, context_, name,
                                      [&name] { return OpenVideoResource(name); });
}

std::unique_ptr<TMediaManager> MakeVideoManager(TMediaContext& media) {
  TVideoContext context;
  context.audio = &media.output;
  return std::make_unique<TVideoManager>(std::move(context));
}

} // namespace nova
