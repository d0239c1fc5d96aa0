// SPDX-License-Identifier: MIT
#include "shell/media_library_adapter.h"

#include "media/media_source.h"

namespace nova {

namespace {

class TMediaItemAdapter final : public IMediaItem {
public:
  explicit TMediaItemAdapter(std::unique_ptr<TDMediaItem> item) : item_(std::move(item)) {}
  void SetAutoRepeat(bool on) override { item_->SetAutoRepeat(on); }
  void SetRepeatPos(int32_t ms) override { item_->SetRepeatPos(ms); }
  void SetPan(int32_t pan) override { item_->SetPan(pan); }
  void SetVolume(int32_t volume) override { item_->SetVolume(volume); }
  int32_t GetVolume() const override { return item_->GetVolume(); }
  int32_t GetPosition() const override { return item_->GetPosition(); }
  void SetPosition(int32_t ms) override {
    reported_end_ = false;
    item_->SetPosition(ms);
  }
  int32_t GetLength() const override { return item_->GetLength(); }
  // The scene acts on an end once: it reports the latched end the first time only, and again
  // after the item was moved or started anew.
  bool IsEnd() override {
    if (!item_->IsEnd()) {
      reported_end_ = false;
      return false;
    }
    if (reported_end_)
      return false;
    reported_end_ = true;
    return true;
  }
  bool IsPlaying() const override { return item_->IsPlaying(); }
  bool IsPaused() const override { return item_->IsPaused(); }
  void Play() override {
    reported_end_ = false;
    item_->Play();
  }
  void Pause() override { item_->Pause(); }
  int32_t GetSourceWidth() const override { return item_->GetSourceWidth(); }
  int32_t GetSourceHeight() const override { return item_->GetSourceHeight(); }
  bool WindowVisible() const override { return item_->GetVisible(); }
  void SetVisible(bool on) override { item_->SetVisible(on); }
  bool NeedPaint() override { return item_->NeedPaint(); }
  void SetRect(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f, int32_t g,
               int32_t h) override {
    item_->SetRect(a, b, c, d, e, f, g, h);
  }
  bool CopyPicture(TCustomDIBX& frame) override { return item_->CopyPicture(frame); }

private:
  std::unique_ptr<TDMediaItem> item_;
  bool reported_end_ = false;
};

TMediaKind KindOf(TMediaManagerKind kind) {
  switch (kind) {
  case TMediaManagerKind::Midi:
    return TMediaKind::Midi;
  case TMediaManagerKind::WindowsMedia:
    return TMediaKind::WindowsMedia;
  case TMediaManagerKind::Ogg:
    return TMediaKind::Ogg;
  case TMediaManagerKind::CdAudio:
    return TMediaKind::CdAudio;
  case TMediaManagerKind::Video:
    break;
  }
  return TMediaKind::Video;
}

std::unique_ptr<IMediaItem> Wrap(std::unique_ptr<TDMediaItem> item) {
  if (!item)
    return nullptr;
  return std::make_unique<TMediaItemAdapter>(std::move(item));
}

} // namespace

bool TMediaLibraryAdapter::FileExists(const std::string& name) { return MediaFileExists(name); }

std::unique_ptr<IMediaItem> TMediaLibraryAdapter::CreateItem(TMediaManagerKind kind,
                                                             const std::string& name) {
  return Wrap(media_.CreateItem(KindOf(kind), name));
}

std::unique_ptr<IMediaItem> TMediaLibraryAdapter::CreateVideo(const std::string& name, bool) {
  return Wrap(media_.CreateItem(TMediaKind::Video, name));
}

} // namespace nova
