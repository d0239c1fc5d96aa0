// SPDX-License-Identifier: MIT
#include "shell/screenshot.h"

#include <cstdio>
#include <string_view>
#include <system_error>

#include "base/sjis.h"
#include "platform/png_writer.h"
#include "platform/user_folders.h"
#include "platform/wall_clock.h"

namespace nova {

namespace {

// Beyond this many shots in one second something is wrong with the folder.
constexpr int kMaxShotsPerSecond = 10000;

} // namespace

std::string ScreenshotFileName(const std::string& utf8_title, const TWallTime& local_time, int n) {
  std::string name;
  for (const char c : utf8_title) {
    static constexpr std::string_view kRefused = "\\/:*?\"<>|";
    const bool control = static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    name += control || kRefused.find(c) != std::string_view::npos ? '_' : c;
  }
  if (name.empty())
    name = "novaplay";
  char stamp[48];
  const TWallTime& t = local_time;
  std::snprintf(stamp, sizeof stamp, "-%04d%02d%02d-%02d%02d%02d-%d.png", t.year, t.month, t.day,
                t.hour, t.minute, t.second, n);
  return name + stamp;
}

std::filesystem::path ScreenshotFolder() {
  return std::filesystem::path(UserFolder(TUserFolder::Pictures)) / "novaplay";
}

std::string SaveScreenshot(const TPicture& picture, const std::filesystem::path& folder,
                           const std::string& utf8_title, const TWallTime& local_time) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error)
    return "Screenshot failed: cannot create " + folder.string() + ": " + error.message();
  for (int n = 1; n <= kMaxShotsPerSecond; ++n) {
    const std::filesystem::path path = folder / ScreenshotFileName(utf8_title, local_time, n);
    const bool taken = std::filesystem::exists(path, error);
    if (error)
      return "Screenshot failed: " + path.string() + ": " + error.message();
    if (taken)
      continue;
    try {
      WritePicturePng(picture, path);
    } catch (const std::exception& e) {
      std::filesystem::remove(path, error);
      return "Screenshot failed: " + SjisToUtf8(e.what());
    }
    return "Screenshot saved: " + path.string();
  }
  return "Screenshot failed: no free file name in " + folder.string();
}

} // namespace nova
