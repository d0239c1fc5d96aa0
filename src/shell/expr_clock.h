// SPDX-License-Identifier: MIT
#pragma once
#include "expr/expr_hosts.h"

namespace nova {

// The expression layer's clock (@PCTickCount and the date variables) over the platform's
// clocks, so that headless runs read the virtual clock and a fixed calendar.
class TPlatformExprClock final : public IExprClock {
public:
  TLocalTime LocalNow() override;
  uint32_t TickCountMs() override;
};

} // namespace nova
