// SPDX-License-Identifier: MIT
#include "platform/wall_clock.h"

#include <ctime>
#include <mutex>

#include "platform/clock.h"

namespace nova {

namespace {

struct TFixedStart {
  std::mutex mutex;
  std::optional<std::chrono::system_clock::time_point> start;
  uint32_t clock_at_start = 0;
};

TFixedStart& Fixed() {
  static TFixedStart fixed;
  return fixed;
}

// The moment now, and whether it is a fixed (headless) one.
std::chrono::system_clock::time_point Now(bool& fixed_time) {
  TFixedStart& f = Fixed();
  std::lock_guard lock(f.mutex);
  fixed_time = f.start.has_value();
  if (!fixed_time)
    return std::chrono::system_clock::now();
  return *f.start + std::chrono::milliseconds(PlatformClock().NowMs() - f.clock_at_start);
}

TWallTime Split(std::chrono::system_clock::time_point t, bool local) {
  using namespace std::chrono;
  const time_t seconds = system_clock::to_time_t(t);
  std::tm fields{};
  if (local)
    localtime_r(&seconds, &fields);
  else
    gmtime_r(&seconds, &fields);
  const auto ms = duration_cast<milliseconds>(t.time_since_epoch()).count() % 1000;
  return {fields.tm_year + 1900,
          fields.tm_mon + 1,
          fields.tm_mday,
          fields.tm_hour,
          fields.tm_min,
          fields.tm_sec,
          static_cast<int>(ms < 0 ? ms + 1000 : ms),
          fields.tm_wday};
}

} // namespace

TWallTime UtcNow() {
  bool fixed_time;
  return Split(Now(fixed_time), false);
}

TWallTime LocalNow() {
  bool fixed_time;
  const auto t = Now(fixed_time);
  return Split(t, !fixed_time);
}

void SetWallClockStart(std::optional<std::chrono::system_clock::time_point> start) {
  TFixedStart& f = Fixed();
  std::lock_guard lock(f.mutex);
  f.start = start;
  f.clock_at_start = PlatformClock().NowMs();
}

std::chrono::system_clock::time_point HeadlessWallClockStart() {
  return std::chrono::system_clock::time_point(std::chrono::seconds(946684800));
}

} // namespace nova
