// SPDX-License-Identifier: MIT
#include "base/run_state.h"

namespace nova {

namespace {
TRunState g_run_state;
}

TRunState& RunState() { return g_run_state; }

void ResetRunState() {
  g_run_state.Terminating = false;
  g_run_state.GameClock = 0;
  g_run_state.FrameDelta = 0;
  g_run_state.FrameTick = 16;
  g_run_state.FpsDivisor = 1;
  g_run_state.FrameCounter = 0;
  g_run_state.SwitchingScreen = false;
  g_run_state.SkipDrawCount = 0;
}

}  // namespace nova
