// SPDX-License-Identifier: MIT
#pragma once
#include <functional>

#include "expr/expr_hosts.h"

namespace nova {

class TMidiManager;

// Serves @MidiPort (the selected output's name; writing a name selects it) and @MidiPorts (the
// output names, the mapper first); other indices go to `next`. Without a manager both read as
// "no MIDI": empty, and no elements.
class TMidiSystemVars final : public ISystemVarHost {
public:
  TMidiSystemVars(std::function<TMidiManager*()> manager, ISystemVarHost* next)
      : manager_(std::move(manager)), next_(next) {}
  bool ReadSystem(int index, int32_t element, TSysValue& out) override;
  void WriteSystem(int index, const TSysValue& value) override;
  int32_t SystemCount(int index) override;

private:
  std::function<TMidiManager*()> manager_;
  ISystemVarHost* next_;
};

} // namespace nova
