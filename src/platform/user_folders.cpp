// SPDX-License-Identifier: MIT
#include "platform/user_folders.h"

#include <cstdlib>
#include <fstream>

namespace nova {

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// The value of `key` in user-dirs.dirs ("$HOME" expanded), or empty.
std::string XdgUserDir(const std::string& home, const std::string& key) {
  std::string config = Env("XDG_CONFIG_HOME");
  if (config.empty())
    config = home + "/.config";
  std::ifstream in(config + "/user-dirs.dirs");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key + "=\"", 0) != 0 || line.size() < key.size() + 3 || line.back() != '"')
      continue;
    std::string value = line.substr(key.size() + 2, line.size() - key.size() - 3);
    if (value.rfind("$HOME", 0) == 0)
      value = home + value.substr(5);
    return value.empty() || value.front() != '/' ? std::string() : value;
  }
  return {};
}

} // namespace

std::string UserFolder(TUserFolder folder) {
  struct TNames {
    const char* key;
    const char* fallback;
  };
  static constexpr TNames kNames[] = {{"XDG_DESKTOP_DIR", "/Desktop"},
                                      {"XDG_DOCUMENTS_DIR", "/Documents"},
                                      {"XDG_PICTURES_DIR", "/Pictures"}};
  const TNames& names = kNames[static_cast<size_t>(folder)];
  const std::string home = Env("HOME");
  std::string dir = Env(names.key);
  if (dir.empty() || dir.front() != '/')
    dir = XdgUserDir(home, names.key);
  if (dir.empty())
    dir = home + names.fallback;
  while (dir.size() > 1 && dir.back() == '/')
    dir.pop_back();
  return dir;
}

} // namespace nova
