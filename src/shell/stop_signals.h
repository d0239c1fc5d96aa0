// SPDX-License-Identifier: MIT
#pragma once

namespace nova {

// SIGINT and SIGTERM ask the player to close as the window's close button does, so that work
// files are removed, status data written and a headless screenshot taken. The frame loops poll
// StopRequested(); the handlers only set a flag.
void InstallStopSignals();
bool StopRequested();

} // namespace nova
