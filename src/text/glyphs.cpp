// SPDX-License-Identifier: MIT
#include "text/glyphs.h"

#include <algorithm>

#include "text/zpword.h"

namespace nova {

namespace {
const std::string kEmpty;
}

const std::string& TWdGlyph::Ruby() const { return kEmpty; }
const std::string& TWdGlyph::Link() const { return kEmpty; }

TWdChar::~TWdChar() {
  if (decorate)
    owner()->decorations().Release(decorate);
}

const std::string& TWdChar::Ruby() const { return decorate ? decorate->ruby : kEmpty; }

std::string TWdChar::CharText() const {
  if (code > 0xFF)
    return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  return std::string(1, static_cast<char>(code));
}

void TWdChar::SetDecoration(const TDecorate& values) {
  decorate = owner()->decorations().Change(decorate, values);
}

TWdOpeVar::~TWdOpeVar() {
  if (decorate)
    owner()->decorations().Release(decorate);
}

void TWdOpeVar::SetDecoration(const TDecorate& values) {
  decorate = owner()->decorations().Change(decorate, values);
}

std::unique_ptr<TWdGlyph> CreateGlyphOfKind(TZpWord* owner, uint8_t kind) {
  switch (kind & 0x7F) {
  case kKindChar:
    return std::make_unique<TWdChar>(owner);
  case kKindAlign:
    return std::make_unique<TWdOpeAlign>(owner);
  case kKindReturn:
    return std::make_unique<TWdOpeReturn>(owner);
  case kKindIndent:
    return std::make_unique<TWdOpeIndent>(owner);
  case kKindUndent:
    return std::make_unique<TWdOpeUndent>(owner);
  case kKindEvent:
    return std::make_unique<TWdOpeEvent>(owner);
  case kKindVar:
    return std::make_unique<TWdOpeVar>(owner);
  case kKindImg:
    return std::make_unique<TWdImg>(owner);
  case kKindHistChar:
    return std::make_unique<TWdOpeHistChar>(owner);
  default:
    return nullptr;
  }
}

void TWdImg::StartAnimation() {
  frame = 0;
  countdown_ms = frame_times.empty() ? 0 : frame_times[0];
}

bool TWdImg::AnimationStep(int elapsed_ms) {
  if (!IsAnimated())
    return false;
  const int before = frame;
  countdown_ms -= std::max(0, elapsed_ms);
  // Frames of no time are passed over; one round at most, so a picture of zero times ends.
  const size_t n = frame_times.size();
  for (size_t i = 0; i < n && countdown_ms < 1; ++i) {
    frame = static_cast<int>((static_cast<size_t>(frame) + 1) % n);
    countdown_ms += frame_times[static_cast<size_t>(frame)];
  }
  if (countdown_ms < 1)
    countdown_ms = 1;
  return frame != before;
}

} // namespace nova
