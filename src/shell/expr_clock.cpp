// SPDX-License-Identifier: MIT
#include "shell/expr_clock.h"

#include "platform/clock.h"
#include "platform/wall_clock.h"

namespace nova {

TLocalTime TPlatformExprClock::LocalNow() {
  const TWallTime t = nova::LocalNow();
  // Scripts count the days of the week from 1 (Sunday).
  return TLocalTime{t.year,   t.month,  t.day,         t.hour,
                    t.minute, t.second, t.millisecond, t.day_of_week + 1};
}

uint32_t TPlatformExprClock::TickCountMs() { return PlatformClock().NowMs(); }

} // namespace nova
