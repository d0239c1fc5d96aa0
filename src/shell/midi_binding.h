// SPDX-License-Identifier: MIT
#pragma once
#include <functional>
#include <memory>
#include <string>

namespace nova {

class IAudioOutput;
class IMediaItem;
class ISystemVarHost;
class TFormView;
class TMidiManager;
class TMidiSystemVars;
class TParamCollection;
struct TPlayerHooks;

struct TMidiBindingOptions {
  bool headless = false;                // the sequencer follows the virtual clock
  std::string log_path;                 // --midi-log FILE
  std::function<IAudioOutput*()> audio; // the sound output once it exists; may be empty
};

// Binds the MIDI manager into the shell: it is made on first use (the run settings and the
// sound output exist by then), the frame step pumps its sequencer when headless, it pauses and
// resumes with the window, releases its device around a display-mode change, and serves
// @MidiPort and @MidiPorts.
class TMidiBinding {
public:
  TMidiBinding(TFormView& form, TPlayerHooks& hooks, TMidiBindingOptions options);
  ~TMidiBinding();
  TMidiBinding(const TMidiBinding&) = delete;
  TMidiBinding& operator=(const TMidiBinding&) = delete;

  TMidiManager& Manager();
  // What the media library answers for `CreateItem(TMediaManagerKind::Midi, name)`.
  std::unique_ptr<IMediaItem> CreateItem(const std::string& name);
  // Serves @MidiPort and @MidiPorts ahead of the hosts `vars` already has.
  void ServeSystemVariables(TParamCollection* vars);

private:
  TFormView& form_;
  TMidiBindingOptions options_;
  std::shared_ptr<TMidiManager> manager_;
  std::unique_ptr<TMidiSystemVars> vars_;
};

} // namespace nova
