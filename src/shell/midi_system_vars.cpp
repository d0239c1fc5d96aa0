// SPDX-License-Identifier: MIT
#include "shell/midi_system_vars.h"

#include "expr/param_system.h"
#include "media/midi_manager.h"

namespace nova {

bool TMidiSystemVars::ReadSystem(int index, int32_t element, TSysValue& out) {
  if (index != svMidiPort && index != svMidiPorts)
    return next_ && next_->ReadSystem(index, element, out);
  TMidiManager* manager = manager_();
  if (!manager)
    out.s.clear();
  else if (index == svMidiPort)
    out.s = manager->DeviceName(manager->SelectedDevice());
  else if (element >= 0 && element < manager->DeviceCount())
    out.s = manager->DeviceName(element);
  else
    out.s.clear();
  return true;
}

void TMidiSystemVars::WriteSystem(int index, const TSysValue& value) {
  if (index != svMidiPort) {
    if (next_)
      next_->WriteSystem(index, value);
    return;
  }
  if (TMidiManager* manager = manager_())
    manager->SelectDevice(value.s);
}

int32_t TMidiSystemVars::SystemCount(int index) {
  if (index == svMidiPorts) {
    TMidiManager* manager = manager_();
    return manager ? manager->DeviceCount() : 0;
  }
  return next_ ? next_->SystemCount(index) : -1;
}

} // namespace nova
