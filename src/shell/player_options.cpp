// SPDX-License-Identifier: MIT
#include "shell/player_options.h"

#include <charconv>
#include <cstring>
#include <sstream>

namespace nova {

namespace {

bool ParseCount(const char* text, uint32_t lo, uint32_t& value) {
  const char* end = text + std::strlen(text);
  auto [ptr, ec] = std::from_chars(text, end, value);
  return ec == std::errc() && ptr == end && value >= lo;
}

} // namespace

bool ParsePlayerOptions(int argc, const char* const* argv, TPlayerOptions& options,
                        std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](const char*& out) {
      if (i + 1 >= argc) {
        error = arg + " needs a value";
        return false;
      }
      out = argv[++i];
      return true;
    };
    const char* v = nullptr;
    if (arg == "--") {
      for (++i; i < argc; ++i)
        options.params.push_back(argv[i]);
    } else if (arg == "--headless") {
      options.headless = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--allow-network") {
      options.allow_network = true;
    } else if (arg == "--text-log") {
      options.text_log = true;
    } else if (arg == "--turbo") {
      options.turbo = true;
    } else if (arg == "--frames" || arg == "--frame-ms") {
      if (!value(v))
        return false;
      uint32_t n = 0;
      if (!ParseCount(v, arg == "--frames" ? 0 : 1, n)) {
        error = arg + ": bad number \"" + v + "\"";
        return false;
      }
      if (arg == "--frames")
        options.frames = n;
      else
        options.frame_ms = n;
    } else if (arg == "--screenshot") {
      if (!value(v))
        return false;
      options.screenshot = v;
    } else if (arg == "--screenshot-every") {
      const char* dir = nullptr;
      if (!value(v) || !value(dir))
        return false;
      if (!ParseCount(v, 1, options.screenshot_every)) {
        error = arg + ": bad number \"" + v + "\"";
        return false;
      }
      options.screenshot_dir = dir;
    } else if (arg == "--input") {
      if (!value(v))
        return false;
      options.input_file = v;
    } else if (arg == "--record") {
      if (!value(v))
        return false;
      options.record_file = v;
    } else if (arg == "--trace" || arg == "--dump-vars") {
      if (!value(v))
        return false;
      (arg == "--trace" ? options.trace_file : options.dump_vars_file) = v;
    } else if (arg == "--midi-log") {
      if (!value(v))
        return false;
      options.midi_log_file = v;
    } else if (arg == "--audio-out") {
      if (!value(v))
        return false;
      options.audio_out = v;
    } else if (arg == "--answer") {
      if (!value(v))
        return false;
      std::istringstream list(v);
      for (std::string word; std::getline(list, word, ',');) {
        if (word.starts_with("file:")) {
          options.file_answers.push_back(word.substr(5));
          continue;
        }
        TMsgResult answer;
        if (!ParseMsgResult(word, answer)) {
          error = "--answer: expected yes, no, ok, cancel, yesall, noall or file:PATH, not \"" +
                  word + "\"";
          return false;
        }
        options.answers.push_back(answer);
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return false;
    } else {
      options.params.push_back(arg);
    }
  }
  return true;
}

void PrintUsage(std::FILE* out) {
  std::fputs(
      "usage: novaplay [OPTIONS] [TITLE_FOLDER_OR_ARCHIVE ...]\n"
      "       novaplay /config [TITLE_FOLDER]\n"
      "\n"
      "Plays the title in TITLE_FOLDER (its game.dat) or in the archive files given.\n"
      "/config shows the run settings dialog for the title's game.ini instead.\n"
      "\n"
      "options:\n"
      "  --headless              no window: dummy drivers and a virtual clock, as fast as "
      "possible\n"
      "  --frames N              stop after N frames\n"
      "  --frame-ms MS           virtual milliseconds per headless frame (default 16)\n"
      "  --screenshot FILE.png   write the presented picture at the end\n"
      "  --screenshot-every K DIR  write DIR/frame_NNNNNN.png after every K-th frame\n"
      "  --input FILE            replay frame-stamped input (the format --record writes)\n"
      "  --answer A[,A...]       answer message boxes (yes, no, ok, cancel, yesall, noall)\n"
      "                          and file dialogs (file:PATH; file: alone cancels)\n"
      "  --record FILE           write what the user does, for replaying with --input\n"
      "  --trace FILE            write every command and event the script runs\n"
      "  --dump-vars FILE        write every variable at exit\n"
      "  --midi-log FILE         write every MIDI message sent: position in ms, bytes\n"
      "  --audio-out FILE.wav    headless: write all sound played, sample-exact\n"
      "  --allow-network         let a headless run fetch from other machines than this one\n"
      "  --text-log              write the text of every message page shown, a line each\n"
      "  --turbo                 headless: holding Tab fast-forwards, as in a window\n"
      "  --help                  show this text\n"
      "  --version               show the player's version\n",
      out);
}

} // namespace nova
