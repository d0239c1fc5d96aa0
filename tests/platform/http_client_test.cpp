// SPDX-License-Identifier: MIT
// The HTTP client against a tiny server on 127.0.0.1 that the test runs itself.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "platform/http_client.h"

namespace nova {
namespace {

// Serves each connection with `answer`(request, socket) on a thread until destroyed.
class TTinyServer {
public:
  using TAnswer = std::function<void(const std::string& request, int socket)>;
  explicit TTinyServer(TAnswer answer) : answer_(std::move(answer)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t size = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    ::listen(listener_, 16);
    thread_ = std::thread([this] { Serve(); });
  }
  ~TTinyServer() {
    stop_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    ::close(listener_);
    thread_.join();
  }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

private:
  void Serve() {
    while (!stop_) {
      const int s = ::accept(listener_, nullptr, nullptr);
      if (s < 0)
        return;
      std::string request;
      char buffer[4096];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = ::recv(s, buffer, sizeof buffer, 0);
        if (n <= 0)
          break;
        request.append(buffer, static_cast<size_t>(n));
      }
      answer_(request, s);
      ::close(s);
    }
  }

  TAnswer answer_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

void Send(int s, const std::string& text) { ::send(s, text.data(), text.size(), MSG_NOSIGNAL); }

std::string Path(const std::string& request) {
  const size_t start = request.find(' ') + 1;
  return request.substr(start, request.find(' ', start) - start);
}

// One server for every case: each path behaves differently.
void Answer(const std::string& request, int s) {
  const std::string path = Path(request);
  if (path == "/hello") {
    Send(s, "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\nhello");
  } else if (path == "/moved") {
    Send(s, "HTTP/1.1 302 Found\r\nLocation: /hello\r\nContent-Length: 0\r\n\r\n");
  } else if (path == "/loop") {
    Send(s, "HTTP/1.1 302 Found\r\nLocation: /loop\r\nContent-Length: 0\r\n\r\n");
  } else if (path == "/missing") {
    Send(s, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
  } else if (path == "/huge") {
    // Claims 10 GB and sends until the client hangs up.
    Send(s, "HTTP/1.1 200 OK\r\nContent-Length: 10000000000\r\n\r\n");
    const std::string chunk(65536, 'x');
    while (::send(s, chunk.data(), chunk.size(), MSG_NOSIGNAL) > 0) {
    }
  } else if (path == "/endless") {
    // No length: the body ends when the connection does, which it never does by itself.
    Send(s, "HTTP/1.1 200 OK\r\n\r\n");
    const std::string chunk(65536, 'y');
    while (::send(s, chunk.data(), chunk.size(), MSG_NOSIGNAL) > 0) {
    }
  } else if (path == "/silent") {
    Send(s, "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nab");
    char c;
    ::recv(s, &c, 1, 0); // waits until the client gives up
  }
}

TEST(HttpClient, FetchesWithinItsLimits) {
  TTinyServer server(Answer);
  THttpLimits limits;
  limits.loopback_only = true;
  limits.max_body_bytes = 1 << 20;
  limits.timeout_ms = 2000;
  const struct {
    const char* what;
    std::string url;
    bool ok;
    const char* body_or_error;
  } cases[] = {
      {"a body", server.Url("/hello"), true, "hello"},
      {"a redirect", server.Url("/moved"), true, "hello"},
      {"redirects without end", server.Url("/loop"), false, "redirect"},
      {"an error status", server.Url("/missing"), false, "status 404"},
      {"10 GB announced", server.Url("/huge"), false, "larger than 1048576 bytes"},
      {"a body without end", server.Url("/endless"), false, "larger than 1048576 bytes"},
      {"a server that stops sending", server.Url("/silent"), false, "imeout"},
      {"another scheme", "file:///etc/passwd", false, "file:///etc/passwd: "},
      {"another machine while loopback only", "http://192.0.2.1:9/", false, "--allow-network"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto start = std::chrono::steady_clock::now();
    const THttpResult r = HttpGet(c.url, "", limits);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(r.ok, c.ok) << r.error;
    if (c.ok)
      EXPECT_EQ(r.body, c.body_or_error);
    else
      EXPECT_NE(r.error.find(c.body_or_error), std::string::npos) << r.error;
    if (!c.ok)
      EXPECT_TRUE(r.body.empty());
    EXPECT_LT(took, std::chrono::milliseconds(limits.timeout_ms + 1000));
  }
}

// Closing the player ends a fetch that would otherwise wait for its time-out.
TEST(HttpClient, CancelEndsAHangingFetch) {
  TTinyServer server(Answer);
  std::atomic<bool> cancel{false};
  THttpLimits limits;
  limits.timeout_ms = 60'000;
  std::thread stopper([&cancel] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    cancel = true;
  });
  const auto start = std::chrono::steady_clock::now();
  const THttpResult r = HttpGet(server.Url("/silent"), "", limits, &cancel);
  stopper.join();
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("cancelled"), std::string::npos) << r.error;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

} // namespace
} // namespace nova
