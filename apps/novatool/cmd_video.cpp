// SPDX-License-Identifier: MIT
#include <cstdio>
#include <string>

#include "media/video_pattern.h"
#include "tool_args.h"

namespace {

int Usage() {
  std::fputs("usage: novatool video pattern OUT.(wmv|asf|mpg|avi) [WIDTH HEIGHT FRAMES]\n", stderr);
  return 2;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

// `novatool video pattern`: writes a pattern movie (a red square moving over blue, a
// 440 Hz tone), the codec chosen by the extension.
int Tool_video(const ToolArgs& args) {
  if (args.size() < 2 || args[0] != "pattern" || (args.size() != 2 && args.size() != 5))
    return Usage();
  const std::string& out = args[1];
  nova::TVideoPattern p;
  if (EndsWith(out, ".wmv") || EndsWith(out, ".asf"))
    p.codec = nova::TVideoPatternCodec::Wmv2;
  else if (EndsWith(out, ".mpg") || EndsWith(out, ".mpeg"))
    p.codec = nova::TVideoPatternCodec::Mpeg1;
  else if (EndsWith(out, ".avi"))
    p.codec = nova::TVideoPatternCodec::Mpeg4;
  else
    return Usage();
  if (args.size() == 5) {
    try {
      p.width = std::stoi(args[2]);
      p.height = std::stoi(args[3]);
      p.frames = std::stoi(args[4]);
    } catch (const std::exception&) {
      return Usage();
    }
    if (p.width < 32 || p.height < 32 || p.width > 4096 || p.height > 4096 || p.width % 2 ||
        p.height % 2 || p.frames < 1 || p.frames > 100000)
      return Usage();
  }
  nova::WriteVideoPattern(out, p);
  return 0;
}
