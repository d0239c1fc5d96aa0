// SPDX-License-Identifier: MIT
#include "shell/stop_signals.h"

#include <signal.h>

#include <atomic>

namespace nova {

namespace {

std::atomic<bool> g_stop{false};

void OnStopSignal(int) { g_stop.store(true); }

} // namespace

void InstallStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a wait for window events returns early and the loop sees the flag.
  action.sa_flags = 0;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool StopRequested() { return g_stop.load(); }

} // namespace nova
