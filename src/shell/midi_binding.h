// SPDX-License-Identifier: MIT
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "media/media_system.h"

namespace nova {

class TFormView;
class TMidiManager;
class TMidiSystemVars;
class TParamCollection;
struct TPlayerHooks;

struct TMidiBindingOptions {
  bool headless = false; // the sequencer follows the virtual clock, no machine ports are listed
  std::string log_path;  // --midi-log FILE
};

// Binds the MIDI manager into the shell: the media system makes it through `Factory()` at
// "MediaInit" (with the soundfont of game.ini), it releases its device around a display-mode
// change, and it serves @MidiPort and @MidiPorts (as "no MIDI" while there is no manager).
class TMidiBinding {
public:
  TMidiBinding(TFormView& form, TPlayerHooks& hooks, TMidiBindingOptions options);
  ~TMidiBinding();
  TMidiBinding(const TMidiBinding&) = delete;
  TMidiBinding& operator=(const TMidiBinding&) = delete;

  // Where the running manager is found (the media system's, null before and after it).
  void SetMediaSource(std::function<TMediaSystem*()> source) { media_ = std::move(source); }
  // The MIDI plug-in of the media system.
  TMediaManagerFactory Factory();
  // Serves @MidiPort and @MidiPorts ahead of the hosts `vars` already has.
  void ServeSystemVariables(TParamCollection* vars);

private:
  TMidiManager* Manager() const;

  TFormView& form_;
  TMidiBindingOptions options_;
  std::function<TMediaSystem*()> media_;
  std::unique_ptr<TMidiSystemVars> vars_;
};

} // namespace nova
