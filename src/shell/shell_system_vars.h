// SPDX-License-Identifier: MIT
#pragma once
#include <functional>
#include <string>

#include "expr/expr_hosts.h"

namespace nova {

// What the shell's system variables read and change.
struct TShellVarSources {
  std::function<std::string()> title;      // the project's title (Shift-JIS)
  std::function<bool()> dither;            // the layered images' dithering switch
  std::function<void(bool on)> set_dither; // changes it and draws the whole scene again
};

// Serves @Title, @Fonts, @FixedFonts and @CGDither; other indices go to `next`.
class TShellSystemVars final : public ISystemVarHost {
public:
  TShellSystemVars(TShellVarSources sources, ISystemVarHost* next)
      : sources_(std::move(sources)), next_(next) {}
  bool ReadSystem(int index, int32_t element, TSysValue& out) override;
  void WriteSystem(int index, const TSysValue& value) override;
  int32_t SystemCount(int index) override;

private:
  TShellVarSources sources_;
  ISystemVarHost* next_;
};

} // namespace nova
