// SPDX-License-Identifier: MIT
#include "platform/http_client.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <memory>
#include <mutex>

namespace nova {

namespace {

struct TTransfer {
  std::string body;
  size_t max_bytes = 0;
  bool too_large = false;
  bool loopback_only = false;
  bool refused_address = false;
  const std::atomic<bool>* cancel = nullptr;
};

size_t OnData(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<TTransfer*>(user);
  const size_t n = size * count;
  if (n > t.max_bytes - t.body.size()) {
    t.too_large = true;
    return 0; // ends the transfer with a write error
  }
  t.body.append(data, n);
  return n;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto& t = *static_cast<TTransfer*>(user);
  return t.cancel && t.cancel->load() ? 1 : 0;
}

bool IsLoopback(const curl_sockaddr& address) {
  if (address.family == AF_INET) {
    const auto* in = reinterpret_cast<const sockaddr_in*>(&address.addr);
    return (ntohl(in->sin_addr.s_addr) >> 24) == 127;
  }
  if (address.family == AF_INET6) {
    const auto* in6 = reinterpret_cast<const sockaddr_in6*>(&address.addr);
    return IN6_IS_ADDR_LOOPBACK(&in6->sin6_addr);
  }
  return false;
}

// Every connection, also to proxies and redirect targets, passes here.
curl_socket_t OnOpenSocket(void* user, curlsocktype, curl_sockaddr* address) {
  auto& t = *static_cast<TTransfer*>(user);
  if (t.loopback_only && !IsLoopback(*address)) {
    t.refused_address = true;
    return CURL_SOCKET_BAD;
  }
  return ::socket(address->family, address->socktype, address->protocol);
}

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct TCurlDeleter {
  void operator()(CURL* c) const { curl_easy_cleanup(c); }
};

} // namespace

THttpResult HttpGet(const std::string& url, const std::string& proxy, const THttpLimits& limits,
                    const std::atomic<bool>* cancel) {
  THttpResult result;
  const auto fail = [&](const std::string& what) {
    result.ok = false;
    result.body.clear();
    result.error = url + ": " + what;
    return result;
  };
  GlobalInit();
  std::unique_ptr<CURL, TCurlDeleter> curl(curl_easy_init());
  if (!curl)
    return fail("the HTTP client cannot start");
  TTransfer t;
  t.max_bytes = limits.max_body_bytes;
  t.loopback_only = limits.loopback_only;
  t.cancel = cancel;
  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, limits.max_redirects);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, limits.connect_timeout_ms);
  curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, limits.timeout_ms);
  curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.max_body_bytes));
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, OnData);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &t);
  curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(c, CURLOPT_XFERINFODATA, &t);
  curl_easy_setopt(c, CURLOPT_OPENSOCKETFUNCTION, OnOpenSocket);
  curl_easy_setopt(c, CURLOPT_OPENSOCKETDATA, &t);
  // Servers answer a client that names itself more often than one that does not.
  curl_easy_setopt(c, CURLOPT_USERAGENT, "NovaPlayer");
  if (!proxy.empty())
    curl_easy_setopt(c, CURLOPT_PROXY, proxy.c_str());
  const CURLcode code = curl_easy_perform(c);
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &result.status);
  if (t.too_large || code == CURLE_FILESIZE_EXCEEDED)
    return fail("the answer is larger than " + std::to_string(limits.max_body_bytes) + " bytes");
  if (t.refused_address)
    return fail("only loopback addresses may be fetched (run with --allow-network)");
  if (code == CURLE_ABORTED_BY_CALLBACK)
    return fail("cancelled");
  if (code != CURLE_OK)
    return fail(curl_easy_strerror(code));
  if (result.status >= 400)
    return fail("the server answered status " + std::to_string(result.status));
  result.ok = true;
  result.body = std::move(t.body);
  return result;
}

} // namespace nova
