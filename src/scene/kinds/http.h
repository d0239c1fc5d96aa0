// SPDX-License-Identifier: MIT
// The HTTP fetcher: a GET of a URL on a thread of its own, its body read back as text. The GET
// is the scene's network client; without one a request ends at once with an empty body.
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "scene/nova_object.h"
#include "scene/scene_services.h"

namespace nova {

// The body as scripts read it: EUC-JP converted to Shift-JIS, lines joined with byte 0x01.
std::string HttpBodyText(const std::string& body);

class TNovaHttp : public TNovaComponent {
public:
  explicit TNovaHttp(TNovaBaseList* owner) : TNovaComponent(owner) {}
  ~TNovaHttp() override;
  uint8_t GetKind() const override { return LT_HTTP; }
  bool Update() override;
  // From the request until its end has been delivered by an update.
  bool Running() const { return done_ != nullptr; }
  std::string Proxy() const;
  // "host:port", split at the first colon.
  void SetProxy(const std::string& proxy);
  // The component's data stream.
  const std::string& Body() const { return body_; }
  // Waits for a running request to end.
  void WaitForRequest();

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();

private:
  void SetSource(const std::string& source);

  std::string source_;
  std::string play_end_handler_;
  std::string proxy_host_, proxy_port_;
  std::string body_;
  // Filled by the request thread; read by the main thread only after `done_`.
  std::shared_ptr<std::string> pending_body_;
  std::shared_ptr<std::atomic<bool>> done_;
  std::thread thread_;
};

} // namespace nova
