// SPDX-License-Identifier: MIT
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace nova {

// A fixed, ordered list of named steps (start-up, shutdown) into which the subsystems bind
// their work as they are attached. The order lives in one place; a step nobody bound yet runs
// nothing but still passes its name to the trace.
class TNamedSteps {
public:
  explicit TNamedSteps(std::vector<std::string> names);
  // Binds `run` to step `name`, replacing what was bound. A name outside the list is a
  // programming error: std::logic_error.
  void Set(const std::string& name, std::function<void()> run);
  // Binds `run` to step `name` after what is bound there already (two subsystems sharing a
  // step, in the order they were attached).
  void Append(const std::string& name, std::function<void()> run);
  // Runs the steps in order, each name passed to `trace` first. Exceptions pass through.
  void Run(const std::function<void(const std::string&)>& trace) const;
  const std::vector<std::string>& Names() const { return names_; }

private:
  std::vector<std::string> names_;
  std::vector<std::function<void()>> runs_;
};

} // namespace nova
