// SPDX-License-Identifier: MIT
#pragma once
#include <filesystem>
#include <string>

#include "platform/window.h"

namespace nova {

struct TWallTime;

// The screenshot's file name: "<title>-<YYYYMMDD-HHMMSS>-<n>.png", the title UTF-8 with the
// characters that file systems refuse (and control characters) replaced by "_", and
// "novaplay" for an empty title.
std::string ScreenshotFileName(const std::string& utf8_title, const TWallTime& local_time, int n);

// Where F12 puts screenshots: "novaplay" in the user's pictures folder.
std::filesystem::path ScreenshotFolder();

// Writes `picture` into `folder` (created when missing) under the first file name with
// n = 1, 2, … that is not taken yet. Returns the text for the user: "Screenshot saved: PATH",
// or "Screenshot failed: REASON" when it could not (nothing is left behind then).
std::string SaveScreenshot(const TPicture& picture, const std::filesystem::path& folder,
                           const std::string& utf8_title, const TWallTime& local_time);

} // namespace nova
