// SPDX-License-Identifier: MIT
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "media/media_system.h"

namespace nova {

class IAudioOutput;
class IHeadlessAudioOutput;
class TFormView;
class TNovaBaseList;
class TMediaLibraryAdapter;
struct TPlayerHooks;

struct TMediaBindingOptions {
  bool headless = false;
  std::string audio_out; // --audio-out FILE.wav (headless only)
  // Managers built elsewhere (video, MIDI); empty ones stay absent.
  TMediaPlugins plugins;
};

// Binds the media into the shell: the audio output is opened at "DXSound.Initialize", the media
// managers start at "MediaInit" after the screen manager and are installed as the scene's media
// library, and they shut down at "MediaFinal" after it. Deactivation pauses them, the scene's
// sound switch turns them off and on, and every frame renders headless sound up to the game
// clock.
class TMediaBinding {
public:
  TMediaBinding(TFormView& form, TPlayerHooks& hooks, TMediaBindingOptions options);
  ~TMediaBinding();
  TMediaBinding(const TMediaBinding&) = delete;
  TMediaBinding& operator=(const TMediaBinding&) = delete;

  void SetSceneSource(std::function<TNovaBaseList*()> source) { scene_ = std::move(source); }
  // Null before "MediaInit" and after "MediaFinal".
  TMediaSystem* Media() const { return media_.get(); }

private:
  void OpenOutput();
  void Start();
  void Stop();
  void Step();

  TFormView& form_;
  TPlayerHooks& hooks_;
  TMediaBindingOptions options_;
  std::function<TNovaBaseList*()> scene_;
  std::unique_ptr<IAudioOutput> output_;
  IHeadlessAudioOutput* headless_ = nullptr;
  std::unique_ptr<TMediaSystem> media_;
  std::unique_ptr<TMediaLibraryAdapter> library_;
};

} // namespace nova
