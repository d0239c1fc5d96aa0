// SPDX-License-Identifier: MIT
#include "shell/window_loop.h"

#include "base/run_state.h"

namespace nova {

TWindowLoop::TWindowLoop(IClock& clock, std::function<void()> frame)
    : clock_(clock), frame_(std::move(frame)) {}

void TWindowLoop::Start() {
  wait_start_ms_ = clock_.NowMs();
  timing_.Start(wait_start_ms_);
  started_ = true;
}

void TWindowLoop::Suspend() { suspended_ = true; }

void TWindowLoop::Resume() {
  if (suspended_)
    wait_start_ms_ = clock_.NowMs();
  suspended_ = false;
}

void TWindowLoop::ResetTimeBase() { timing_.ResetTimeBase(clock_.NowMs()); }

void TWindowLoop::Stop() { started_ = false; }

int TWindowLoop::MsUntilDue() const {
  if (!Running())
    return kIdleWaitMs;
  // Unsigned subtraction: the millisecond clock may wrap.
  const uint32_t waited = clock_.NowMs() - wait_start_ms_;
  const auto wait = static_cast<uint32_t>(timing_.WaitMs());
  return waited >= wait ? 0 : static_cast<int>(wait - waited);
}

bool TWindowLoop::RunDueFrame() {
  if (!Running() || MsUntilDue() > 0)
    return false;
  const std::optional<int32_t> interval = timing_.Tick(clock_.NowMs());
  if (interval) {
    AcceptFrame(RunState(), *interval);
    // The frame step does nothing while the screen mode changes.
    if (!RunState().SwitchingScreen)
      frame_();
  }
  wait_start_ms_ = clock_.NowMs();
  return interval.has_value();
}

} // namespace nova
