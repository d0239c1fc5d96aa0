// SPDX-License-Identifier: MIT
#include "vfs/private/cdrom_roots.h"

#include <fstream>
#include <sstream>

namespace nova {

namespace {

std::string DecodeMountField(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3' &&
        field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0' && field[i + 3] <= '7') {
      out.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0')));
      i += 3;
    } else {
      out.push_back(field[i]);
    }
  }
  return out;
}

} // namespace

std::vector<std::string> DiscRootsFromMountTable(std::string_view mounts) {
  std::vector<std::string> roots;
  std::istringstream lines{std::string(mounts)};
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device, mount_point, type;
    if (!(fields >> device >> mount_point >> type))
      continue;
    if (type != "iso9660" && type != "udf")
      continue;
    std::string root = DecodeMountField(mount_point);
    if (root.empty() || root.back() != '/')
      root.push_back('/');
    roots.push_back(root);
  }
  return roots;
}

std::vector<std::string> MountedDiscRoots() {
  std::ifstream in("/proc/self/mounts");
  if (!in)
    return {};
  std::stringstream text;
  text << in.rdbuf();
  return DiscRootsFromMountTable(text.str());
}

} // namespace nova
