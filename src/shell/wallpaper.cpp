// SPDX-License-Identifier: MIT
#include "shell/wallpaper.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <vector>

#include "platform/png_writer.h"

extern char** environ;

namespace nova {

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

bool GnomeFamily() {
  const std::string desktop = Env("XDG_CURRENT_DESKTOP");
  for (const char* name : {"GNOME", "Unity", "Budgie", "Pantheon"}) {
    if (desktop.find(name) != std::string::npos)
      return true;
  }
  return false;
}

// Runs gsettings with `args`; true when it ends with status 0.
bool Gsettings(std::vector<std::string> args) {
  args.insert(args.begin(), "gsettings");
  std::vector<char*> argv;
  for (std::string& a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, "gsettings", nullptr, nullptr, argv.data(), environ) != 0)
    return false;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid)
    return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

std::string WallpaperPath() {
  std::string data = Env("XDG_DATA_HOME");
  if (data.empty())
    data = Env("HOME") + "/.local/share";
  return data + "/novaplay/novawall.png";
}

bool SetDesktopWallpaper(const std::string& picture_path, int32_t style) {
  if (!GnomeFamily())
    return false;
  const std::string schema = "org.gnome.desktop.background";
  const std::string uri = "file://" + picture_path;
  const char* options = style == 0 ? "centered" : style == 1 ? "wallpaper" : "stretched";
  if (!Gsettings({"set", schema, "picture-uri", uri}) ||
      !Gsettings({"set", schema, "picture-options", options}))
    return false;
  // Newer desktops show this one in their dark style; older ones do not know the key.
  Gsettings({"set", schema, "picture-uri-dark", uri});
  return true;
}

bool SetWallpaper(const TPicture& picture, int32_t style) {
  if (picture.width <= 0 || picture.height <= 0 || !GnomeFamily())
    return false;
  const std::string path = WallpaperPath();
  try {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    WritePicturePng(picture, path);
  } catch (const std::exception&) {
    return false;
  }
  return SetDesktopWallpaper(path, style);
}

} // namespace nova
