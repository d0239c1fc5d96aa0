// SPDX-License-Identifier: MIT
// `novatool sound synth`: renders a sound description (docs/sound-tools.md) into a wave or an
// Ogg Vorbis file.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "audio/sound_desc.h"
#include "audio/sound_file_out.h"
#include "audio/sound_render.h"
#include "base/nova_error.h"
#include "tool_args.h"

using namespace nova;

namespace {

int SoundUsage() {
  std::fputs("usage: novatool sound synth DESCRIPTION.txt -o OUT.wav|OUT.ogg [--levels]\n", stderr);
  return 2;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw ENovaError("cannot read \"" + path + "\"");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int Synth(const ToolArgs& args) {
  std::string source, out;
  bool levels = false;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size())
      out = args[++i];
    else if (args[i] == "--levels")
      levels = true;
    else if (args[i].starts_with("-") || !source.empty())
      return SoundUsage();
    else
      source = args[i];
  }
  if (source.empty() || out.empty())
    return SoundUsage();
  const tool::TSoundDesc desc = tool::ParseSoundDesc(ReadText(source), source);
  const std::vector<float> samples = tool::RenderSound(desc);
  tool::WriteSoundFile(out, samples, desc.channels, desc.rate);
  if (levels) {
    double peak = 0, sum = 0;
    for (float s : samples) {
      peak = std::max(peak, static_cast<double>(std::abs(s)));
      sum += static_cast<double>(s) * s;
    }
    const double rms = samples.empty() ? 0 : std::sqrt(sum / samples.size());
    std::printf("%s: %.3f s, peak %.3f (%.1f dBFS), RMS %.3f (%.1f dBFS)\n", out.c_str(),
                static_cast<double>(samples.size()) / desc.channels / desc.rate, peak,
                20 * std::log10(std::max(peak, 1e-9)), rms, 20 * std::log10(std::max(rms, 1e-9)));
  }
  return 0;
}

} // namespace

int Tool_sound(const ToolArgs& args) {
  if (!args.empty() && args[0] == "synth")
    return Synth(args);
  return SoundUsage();
}
