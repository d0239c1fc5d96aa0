// SPDX-License-Identifier: MIT
// What the component, property, cabinet and flip commands do when the interpreter steps on
// them. The owner of the scene builds one set and registers it with the call manager.
#pragma once
#include <memory>
#include <vector>

#include "script/command_behaviour.h"

namespace nova {

class TNovaBaseList;
class TNovaObject;
class TParamCollection;
class TComponentCommand;
class TPropExprs;

// Creates the component of a creating command (BoxNew … PrevMenuNew) in `scene`, applies the
// command's property expressions in the fixed order and completes the kind's start.
TNovaObject* CreateFromCommand(TComponentCommand& cmd, TNovaBaseList& scene,
                               TParamCollection& vars);
// Applies carried property expressions to `obj` in the fixed order with the creation rules.
void ApplyPropExprs(TPropExprs& props, TNovaObject& obj, TNovaBaseList& scene,
                    TParamCollection& vars);

class TComponentBehaviours {
public:
  explicit TComponentBehaviours(TNovaBaseList& scene);
  ~TComponentBehaviours();
  // Installs every behaviour of this set; the set must outlive the call manager's use of it.
  void Register(TCallMan& cm) const;
  const ICommandBehaviour* Of(TCommandId id) const;

private:
  std::vector<std::pair<TCommandId, std::unique_ptr<ICommandBehaviour>>> behaviours_;
};

} // namespace nova
