// SPDX-License-Identifier: MIT
#include "script/commands/component_commands.h"

#include "script/prop_names.h"

namespace nova {

TComponentCommand::TComponentCommand(TComList* owner, const TPropMask& mask) : TCommand(owner) {
  // Bits above the last property id exist in the entry but name no property; the player
  // reads no expression for them.
  for (int id = 0; id < kPropCount; ++id) {
    if (mask.Has(id))
      props.entries_.emplace_back(id, TCommandExpr{});
  }
}

} // namespace nova
