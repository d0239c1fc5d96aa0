// SPDX-License-Identifier: MIT
#include "shell/shell_system_vars.h"

#include "expr/param_system.h"
#include "text/font_pixel_manager.h"

namespace nova {

bool TShellSystemVars::ReadSystem(int index, int32_t element, TSysValue& out) {
  switch (index) {
  case svTitle:
    out.s = sources_.title ? sources_.title() : std::string();
    return true;
  case svFonts:
  case svFixedFonts:
    out.s = FontPixels().FontNamesText(index == svFixedFonts);
    return true;
  case svCGDither:
    out.b = sources_.dither && sources_.dither();
    return true;
  default:
    return next_ && next_->ReadSystem(index, element, out);
  }
}

void TShellSystemVars::WriteSystem(int index, const TSysValue& value) {
  if (index == svCGDither) {
    if (sources_.set_dither)
      sources_.set_dither(value.b);
    return;
  }
  if (next_)
    next_->WriteSystem(index, value);
}

int32_t TShellSystemVars::SystemCount(int index) { return next_ ? next_->SystemCount(index) : -1; }

} // namespace nova
