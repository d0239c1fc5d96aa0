// SPDX-License-Identifier: MIT
#pragma once
#include <chrono>
#include <cstdint>
#include <optional>

namespace nova {

// A calendar moment broken into its fields.
struct TWallTime {
  int year = 0;
  int month = 0; // 1-12
  int day = 0;   // 1-31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  int day_of_week = 0; // 0 = Sunday
};

// Date and time of day for dates shown to scripts and for seeding the random generator. Reads
// the machine's calendar clock, unless a fixed start was set (headless runs): then the time is
// that start plus what the platform clock has advanced since, so every run sees the same
// moments, and local time equals UTC.
TWallTime UtcNow();
TWallTime LocalNow();
// Fixes the start (nullopt: the machine's clock again).
void SetWallClockStart(std::optional<std::chrono::system_clock::time_point> start);

// The start of headless runs: 2000-01-01 00:00:00 UTC.
std::chrono::system_clock::time_point HeadlessWallClockStart();

} // namespace nova
