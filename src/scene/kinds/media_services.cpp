// SPDX-License-Identifier: MIT
#include "scene/kinds/media_services.h"

#include <algorithm>
#include <climits>

#include "base/sjis.h"

namespace nova {
namespace {

std::string LowerExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : LowerCaseJ(name.substr(dot));
}

} // namespace

bool IsMidiSource(const std::string& source) {
  const std::string ext = LowerExtension(source);
  return ext == ".mid" || ext == ".sgt";
}

int32_t ItemVolume(const std::string& source, int32_t volume) {
  if (IsMidiSource(source))
    return static_cast<int32_t>(
        std::clamp<int64_t>(int64_t{volume} * 10 - 10000, INT32_MIN, INT32_MAX));
  if (volume <= 0)
    return -10000;
  if (volume > 1000)
    return 0;
  return 5 * volume - 5000;
}

bool MediaSourceAvailable(IMediaLibrary* lib, const std::string& source) {
  if (source.compare(0, 3, "CD_") == 0)
    return lib != nullptr;
  return lib && lib->FileExists(source);
}

bool ManagerFor(const std::string& source, TMediaManagerKind& kind) {
  const std::string ext = LowerExtension(source);
  if (ext == ".mid" || ext == ".sgt")
    kind = TMediaManagerKind::Midi;
  else if (ext == ".wma" || ext == ".asf" || ext == ".wmv")
    kind = TMediaManagerKind::WindowsMedia;
  else if (ext == ".ogg" || ext == ".wav")
    kind = TMediaManagerKind::Ogg;
  else if (source.compare(0, 3, "CD_") == 0)
    kind = TMediaManagerKind::CdAudio;
  else
    return false;
  return true;
}

} // namespace nova
