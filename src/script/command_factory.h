// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>

#include "script/command.h"

namespace nova {

// Builds the record class for a kind byte (id = byte & 0x7F) with `owner` as its list; the
// component-creating kinds take their property set from the owner's mask table. Any other id
// raises "不正なコマンド".
std::unique_ptr<TCommand> CreateCommand(TComList* owner, uint8_t kind_byte);

} // namespace nova
