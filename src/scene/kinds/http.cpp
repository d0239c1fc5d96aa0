// SPDX-License-Identifier: MIT
#include "scene/kinds/http.h"

#include "base/run_state.h"
#include "scene/nova_base_list.h"

namespace nova {
namespace {

// JIS X 0208 row and cell (both 0x21-0x7E) as a Shift-JIS pair.
void AppendJis(std::string& out, uint8_t j1, uint8_t j2) {
  const uint8_t s1 = static_cast<uint8_t>(((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0));
  uint8_t s2;
  if (j1 & 1)
    s2 = static_cast<uint8_t>(j2 + (j2 >= 0x60 ? 0x20 : 0x1F));
  else
    s2 = static_cast<uint8_t>(j2 + 0x7E);
  out.push_back(static_cast<char>(s1));
  out.push_back(static_cast<char>(s2));
}

std::string EucToSjis(const std::string& in) {
  std::string out;
  out.reserve(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    const uint8_t c = static_cast<uint8_t>(in[i]);
    if (c == 0) {
      out.push_back(' ');
    } else if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c == 0x8E) {
      // A half-width katakana byte follows.
      if (i + 1 < in.size())
        out.push_back(in[++i]);
    } else if (i + 1 < in.size()) {
      const uint8_t j1 = c & 0x7F, j2 = static_cast<uint8_t>(in[++i]) & 0x7F;
      if (j1 >= 0x21 && j1 <= 0x7E && j2 >= 0x21 && j2 <= 0x7E)
        AppendJis(out, j1, j2);
    }
  }
  return out;
}

} // namespace

std::string HttpBodyText(const std::string& body) {
  const std::string text = EucToSjis(body);
  std::string out;
  size_t start = 0;
  bool first = true;
  // Lines end at CR LF, LF or CR; a final line break adds no empty line.
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos)
      end = text.size();
    if (!first)
      out.push_back('\x01');
    out.append(text, start, end - start);
    first = false;
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
      start = end + 2;
    else
      start = end + 1;
  }
  return out;
}

TNovaHttp::~TNovaHttp() { WaitForRequest(); }

void TNovaHttp::WaitForRequest() {
  if (thread_.joinable())
    thread_.join();
}

std::string TNovaHttp::Proxy() const { return proxy_host_ + ":" + proxy_port_; }

void TNovaHttp::SetProxy(const std::string& proxy) {
  const size_t colon = proxy.find(':');
  proxy_host_ = proxy.substr(0, colon);
  proxy_port_ = colon == std::string::npos ? std::string() : proxy.substr(colon + 1);
}

void TNovaHttp::SetSource(const std::string& source) {
  if (Running())
    return;
  source_ = source;
  body_.clear();
  std::string url = source;
  if (!source.empty() && source[0] == '!') {
    url.clear();
    TNovaObject* other = owner_ ? owner_->FindByName(source.substr(1)) : nullptr;
    if (auto* http = dynamic_cast<TNovaHttp*>(other))
      url = http->Body();
  }
  auto body = std::make_shared<std::string>();
  auto done = std::make_shared<std::atomic<bool>>(false);
  pending_body_ = body;
  done_ = done;
  // The thread keeps its own copy: the scene may install another client meanwhile.
  const THttpGet get = ServicesOf(owner_).http_get;
  const std::string proxy = proxy_host_.empty() ? std::string() : Proxy();
  thread_ = std::thread([get, url, proxy, body, done] {
    if (get) {
      try {
        *body = get(url, proxy);
      } catch (...) {
        body->clear();
      }
    }
    done->store(true, std::memory_order_release);
  });
}

bool TNovaHttp::Update() {
  if (done_ && done_->load(std::memory_order_acquire)) {
    WaitForRequest();
    body_ = std::move(*pending_body_);
    pending_body_.reset();
    done_.reset();
    if (!RunState().Terminating && !play_end_handler_.empty())
      QueueEvent(PR_ONPLAYEND, play_end_handler_);
  }
  return false;
}

const TPropTable& TNovaHttp::Props() {
  using T = TNovaHttp;
  using namespace props;
  static constexpr std::array kRows{
      Stored<&T::source_, &T::SetSource>(PR_SOURCE, peNone),
      Field<&T::play_end_handler_>(PR_ONPLAYEND),
      Custom<T>(
          PR_TEXT, peNone, [](const T& h) { return TPropValue::Str(HttpBodyText(h.body_)); },
          nullptr),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaComponent::Props, kRows);
  return kTable;
}

} // namespace nova
