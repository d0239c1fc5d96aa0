// SPDX-License-Identifier: MIT
#pragma once
#include <atomic>
#include <cstddef>
#include <string>

namespace nova {

// What one fetch may cost. A server that sends too much, never finishes or redirects without
// end makes the fetch fail instead of holding the player.
struct THttpLimits {
  long max_redirects = 5;
  long connect_timeout_ms = 10'000;
  long timeout_ms = 30'000;
  size_t max_body_bytes = size_t{16} << 20;
  // Connect only to 127.0.0.0/8 and ::1 (headless runs, unless told otherwise).
  bool loopback_only = false;
};

struct THttpResult {
  bool ok = false;
  long status = 0;   // the HTTP status of the last response
  std::string body;  // empty unless ok
  std::string error; // what went wrong, naming the URL
};

// One GET of an http or https URL (other schemes fail), through `proxy` ("host:port") when it
// is not empty. Blocks the calling thread; `cancel` (optional) set from another thread ends the
// fetch within about a second. A status of 400 or above is a failure.
THttpResult HttpGet(const std::string& url, const std::string& proxy, const THttpLimits& limits,
                    const std::atomic<bool>* cancel = nullptr);

} // namespace nova
