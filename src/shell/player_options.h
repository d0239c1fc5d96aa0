// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace nova {

// The command line of novaplay.
struct TPlayerOptions {
  bool headless = false;          // --headless: dummy drivers, virtual clock, no window
  std::optional<uint32_t> frames; // --frames N: stop after N frames
  uint32_t frame_ms = 16;         // --frame-ms MS: virtual time per headless frame
  std::string screenshot;         // --screenshot FILE.png: the presented picture at the end
  uint32_t screenshot_every = 0;  // --screenshot-every K DIR
  std::string screenshot_dir;
  std::string input_file;          // --input FILE: replayed input
  std::vector<TMsgResult> answers; // --answer yes|no|ok|cancel|yesall|noall[,...]
  // --answer file:PATH: what the file dialogs answer, in order (an empty path cancels).
  std::vector<std::string> file_answers;
  std::string record_file;    // --record FILE
  std::string trace_file;     // --trace FILE: the command trace
  std::string dump_vars_file; // --dump-vars FILE: every variable at exit
  std::string midi_log_file;  // --midi-log FILE: every MIDI message sent
  std::string audio_out;      // --audio-out FILE.wav: headless sound, sample-exact
  bool help = false;          // --help
  bool version = false;       // --version
  bool allow_network = false; // --allow-network: headless fetches may leave the machine
  bool text_log = false;      // --text-log: every revealed message page on standard output
  bool turbo = false;         // --turbo: headless runs fast-forward while Tab is held
  // Everything else, in order: "/config", title folders and archives (raw, as given).
  std::vector<std::string> params;
};

// Parses argv; false with `error` set for an unknown option or a bad value.
bool ParsePlayerOptions(int argc, const char* const* argv, TPlayerOptions& options,
                        std::string& error);
void PrintUsage(std::FILE* out);

} // namespace nova
