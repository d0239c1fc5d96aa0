// SPDX-License-Identifier: MIT
#include "shell/video_binding.h"

namespace nova {
namespace {

// The scene's view of a movie item; giving it back removes the item from its manager.
class TVideoMediaItem final : public IMediaItem {
public:
  TVideoMediaItem(TVideoManager& manager, TVideoItem& item) : manager_(manager), item_(item) {}
  ~TVideoMediaItem() override { manager_.Remove(item_); }

  void SetAutoRepeat(bool on) override { item_.SetAutoRepeat(on); }
  void SetRepeatPos(int32_t ms) override { item_.SetRepeatPos(ms); }
  void SetPan(int32_t pan) override { item_.SetPan(pan); }
  void SetVolume(int32_t volume) override { item_.SetVolume(volume); }
  int32_t GetVolume() const override { return item_.GetVolume(); }
  int32_t GetPosition() const override { return item_.GetPosition(); }
  void SetPosition(int32_t ms) override { item_.SetPosition(ms); }
  int32_t GetLength() const override { return item_.GetLength(); }
  bool IsEnd() override { return item_.IsEnd(); }
  bool IsPlaying() const override { return item_.IsPlaying(); }
  bool IsPaused() const override { return item_.IsPaused(); }
  void Play() override { item_.Play(); }
  void Pause() override { item_.Pause(); }
  int32_t GetSourceWidth() const override { return item_.GetSourceWidth(); }
  int32_t GetSourceHeight() const override { return item_.GetSourceHeight(); }
  bool WindowVisible() const override { return item_.GetVisible(); }
  void SetVisible(bool on) override { item_.SetVisible(on); }
  bool NeedPaint() override { return item_.NeedPaint(); }
  bool CopyPicture(TCustomDIBX& frame) override { return item_.CopyPicture(frame); }

private:
  TVideoManager& manager_;
  TVideoItem& item_;
};

} // namespace

TVideoBinding::TVideoBinding(TVideoContext context) : manager_(std::move(context)) {}

TVideoBinding::~TVideoBinding() = default;

std::unique_ptr<IMediaItem> TVideoBinding::CreateVideo(const std::string& name, bool overlay) {
  return std::make_unique<TVideoMediaItem>(manager_, manager_.Add(name, !overlay));
}

} // namespace nova
