// SPDX-License-Identifier: MIT
// What the choosing components share: they join the scene's list of selection components for
// the right-click rule while they exist, and report a choice through @SelStr, @SelIndex and
// their select event.
#pragma once
#include <string>
#include <vector>

#include "expr/param_collection.h"
#include "scene/kinds/image_list.h"
#include "scene/nova_base_list.h"

namespace nova {

// The player's choice as scripts read it (in `owner`'s variables); a cancel writes the empty
// text and -1.
inline void SetSelection(const TNovaBaseList* owner, const std::string& text, int32_t index) {
  if (TParamCollection* vars = ServicesOf(owner).images.vars) {
    vars->sel_str = text;
    vars->sel_index = index;
  }
}

template <class Base> class TSelectionKind : public Base {
protected:
  // The base list forgets the component when it destroys it.
  explicit TSelectionKind(TNovaBaseList* owner) : Base(owner) {
    if (owner)
      owner->AddSelection(this);
  }
  // Queues the event when its handler is set; `once` skips it while one of the type waits.
  void Raise(uint8_t type, const std::string& handler, std::vector<std::string> params = {},
             bool once = false) {
    if (handler.empty() || (once && this->EventQueued(type)))
      return;
    this->QueueEvent(type, handler, std::move(params));
  }
  // The choice: the system variables, then the select event (once).
  void ReportChoice(const std::string& handler, const std::string& text, int32_t index) {
    SetSelection(this->Owner(), text, index);
    Raise(PR_ONSELECT, handler, {text, std::to_string(index)}, true);
  }
};

} // namespace nova
