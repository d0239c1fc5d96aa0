// SPDX-License-Identifier: MIT
#include "shell/wildcard.h"

#include <string>

#include "base/sjis.h"

namespace nova {

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  const std::string p = UpperCaseJ(pattern), n = UpperCaseJ(name);
  size_t pi = 0, ni = 0, star = std::string::npos, mark = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
      ++pi;
      ++ni;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      mark = ni;
    } else if (star != std::string::npos) {
      pi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*')
    ++pi;
  return pi == p.size();
}

} // namespace nova
