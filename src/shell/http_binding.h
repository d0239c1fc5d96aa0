// SPDX-License-Identifier: MIT
#pragma once
#include <atomic>

#include "platform/http_client.h"
#include "scene/scene_services.h"

namespace nova {

// The scene's network fetch: HTTP fetcher components get their bodies through the platform's
// HTTP client, within its limits. A headless run reaches only loopback addresses unless the
// user allowed the network. Failures end the fetch with an empty body and say why on stderr.
class THttpBinding {
public:
  explicit THttpBinding(bool loopback_only) { limits_.loopback_only = loopback_only; }
  // Ends every fetch still running; the binding must outlive the scene's components.
  ~THttpBinding() { Cancel(); }
  THttpBinding(const THttpBinding&) = delete;
  THttpBinding& operator=(const THttpBinding&) = delete;

  THttpGet Get();
  // The player closes: running fetches end at once.
  void Cancel() { cancel_.store(true); }

private:
  THttpLimits limits_;
  std::atomic<bool> cancel_{false};
};

} // namespace nova
