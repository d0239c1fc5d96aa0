// SPDX-License-Identifier: MIT
#include "platform/desktop.h"

namespace nova {

namespace {

class THeadlessDesktop final : public IDesktop {
public:
  bool OpenUrl(const std::string&) override { return false; }
};

} // namespace

std::unique_ptr<IDesktop> CreateHeadlessDesktop() { return std::make_unique<THeadlessDesktop>(); }

} // namespace nova
