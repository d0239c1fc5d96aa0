// SPDX-License-Identifier: MIT
#include "shell/named_steps.h"

#include <stdexcept>

namespace nova {

TNamedSteps::TNamedSteps(std::vector<std::string> names)
    : names_(std::move(names)), runs_(names_.size()) {}

void TNamedSteps::Set(const std::string& name, std::function<void()> run) {
  for (size_t i = 0; i < names_.size(); ++i) {
    if (names_[i] == name) {
      runs_[i] = std::move(run);
      return;
    }
  }
  throw std::logic_error("no step named " + name);
}

void TNamedSteps::Append(const std::string& name, std::function<void()> run) {
  for (size_t i = 0; i < names_.size(); ++i) {
    if (names_[i] != name)
      continue;
    if (!runs_[i]) {
      runs_[i] = std::move(run);
    } else {
      runs_[i] = [first = std::move(runs_[i]), second = std::move(run)] {
        first();
        second();
      };
    }
    return;
  }
  throw std::logic_error("no step named " + name);
}

void TNamedSteps::Run(const std::function<void(const std::string&)>& trace) const {
  for (size_t i = 0; i < names_.size(); ++i) {
    if (trace)
      trace(names_[i]);
    if (runs_[i])
      runs_[i]();
  }
}

} // namespace nova
