// SPDX-License-Identifier: MIT
#include "shell/http_binding.h"

#include <cstdio>

namespace nova {

THttpGet THttpBinding::Get() {
  return [this](const std::string& url, const std::string& proxy) {
    THttpResult r = HttpGet(url, proxy, limits_, &cancel_);
    if (!r.ok && !cancel_.load())
      std::fprintf(stderr, "novaplay: the fetch failed: %s\n", r.error.c_str());
    return std::move(r.body);
  };
}

} // namespace nova
