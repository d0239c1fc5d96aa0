// SPDX-License-Identifier: MIT
#include "platform/desktop.h"

namespace nova {

namespace {

class THeadlessDesktop final : public IDesktop {
public:
  bool OpenUrl(const std::string&) override { return false; }
  bool TextInputActive() override { return text_input_; }
  void SetTextInputActive(bool on) override { text_input_ = on; }

private:
  bool text_input_ = false;
};

} // namespace

std::unique_ptr<IDesktop> CreateHeadlessDesktop() { return std::make_unique<THeadlessDesktop>(); }

} // namespace nova
