// SPDX-License-Identifier: MIT
// `novatool midi build`: turns a written score (docs/sound-tools.md) into a Standard MIDI File.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "audio/midi_score.h"
#include "base/nova_error.h"
#include "tool_args.h"

using namespace nova;

namespace {

int MidiUsage() {
  std::fputs("usage: novatool midi build SCORE.txt -o OUT.mid\n", stderr);
  return 2;
}

int Build(const ToolArgs& args) {
  std::string source, out;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size())
      out = args[++i];
    else if (args[i].starts_with("-") || !source.empty())
      return MidiUsage();
    else
      source = args[i];
  }
  if (source.empty() || out.empty())
    return MidiUsage();
  std::ifstream in(source, std::ios::binary);
  if (!in)
    throw ENovaError("cannot read \"" + source + "\"");
  std::stringstream text;
  text << in.rdbuf();
  const std::vector<uint8_t> bytes = tool::WriteSmf(tool::ParseMidiScore(text.str(), source));
  std::ofstream file(out, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  if (!file.flush())
    throw ENovaError("cannot write \"" + out + "\"");
  return 0;
}

} // namespace

int Tool_midi(const ToolArgs& args) {
  if (!args.empty() && args[0] == "build")
    return Build(args);
  return MidiUsage();
}
