// SPDX-License-Identifier: MIT
#include "media/cdda_manager.h"

#include <algorithm>
#include <filesystem>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "media/cd_tracks.h"
#include "vfs/range_stream.h"

namespace nova {

namespace {

std::unique_ptr<TDecodeStream> OpenTrack(const std::string& path) {
  auto data = std::make_unique<TFileRangeStream>(path, 0, 0);
  const std::string ext = LowerCaseJ(std::filesystem::path(path).extension().string());
  if (ext == ".ogg")
    return OpenOggDecodeStream(std::move(data));
  if (ext == ".mp3")
    return OpenFfmpegDecodeStream(std::move(data));
  return OpenWaveDecodeStream(std::move(data)); // wave and FLAC
}

} // namespace

std::unique_ptr<TDMediaItem> TCddaManager::Add(const std::string& name) {
  const int track = CdTrackNumber(name);
  if (track < 0)
    return nullptr;
  return std::make_unique<TCddaItem>(*this, context_.output,
                                     FindCdTrackFile(context_.settings.cd_tracks_folder, track));
}

void TCddaManager::SetCurrent(TCddaItem* item) {
  if (current_ && current_ != item)
    current_->Pause();
  current_ = item;
}

void TCddaManager::Forget(TCddaItem* item) {
  if (current_ == item)
    current_ = nullptr;
}

TCddaItem::TCddaItem(TCddaManager& manager, IAudioOutput& output, const std::string& track_file)
    : TDMediaItem(manager), cd_(manager) {
  if (track_file.empty())
    return;
  try {
    sound_ = std::make_unique<TLibrarySound>(output, OpenTrack(track_file));
  } catch (const ENovaError&) {
    // A damaged rip is a missing track.
  }
}

TCddaItem::~TCddaItem() { ReleaseBackEnd(); }

void TCddaItem::ReleaseBackEnd() {
  if (!Detached())
    cd_.Forget(this);
  sound_.reset();
}

void TCddaItem::SetAutoRepeat(bool on) {
  repeat_ = on;
  if (sound_)
    sound_->SetAutoRepeat(on);
}

void TCddaItem::SetVolume(int32_t volume) {
  volume_ = volume;
  if (sound_)
    sound_->SetVolume(std::max(volume, -5000));
}

int32_t TCddaItem::GetPosition() const {
  // The drive counts whole seconds.
  return sound_ ? sound_->GetPosition() / 1000 * 1000 : 0;
}

void TCddaItem::SetPosition(int32_t ms) {
  if (sound_)
    sound_->SetPosition(std::max(ms, 0) / 1000 * 1000);
}

void TCddaItem::Play() {
  if (Detached() || DeferPlay())
    return;
  played_ = true;
  if (!sound_)
    return;
  cd_.SetCurrent(this);
  sound_->Play();
}

bool TCddaItem::IsEnd() {
  // A missing track ends as soon as it is played, so nothing waits on it for ever.
  return sound_ ? sound_->IsEnd() : played_;
}

void TCddaItem::Pause() {
  if (sound_)
    sound_->Pause();
}

} // namespace nova
