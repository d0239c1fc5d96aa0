// SPDX-License-Identifier: MIT
#pragma once

namespace nova {

// The process entry of novaplay: command line, single-instance guard, "/config" or the player
// in a window or headless, then the shutdown. Returns the exit status (2 for a usage error).
int PlayerMain(int argc, const char* const* argv);

} // namespace nova
