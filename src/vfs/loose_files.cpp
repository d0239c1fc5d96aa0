// SPDX-License-Identifier: MIT
#include "vfs/private/loose_files.h"

#include <dirent.h>
#include <sys/stat.h>

#include "vfs/native_names.h"

namespace nova {

std::string FoldNativeName(std::string_view utf8_name) {
  std::string out(utf8_name);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string TLooseFiles::Match(const std::string& native_dir, const std::string& component) {
  const std::string dir = native_dir.empty() ? "." : native_dir;
  struct stat st;
  if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return "";
  Listing& listing = cache_[dir];
  if (listing.inode != st.st_ino || listing.mtime.tv_sec != st.st_mtim.tv_sec ||
      listing.mtime.tv_nsec != st.st_mtim.tv_nsec) {
    listing.by_folded_name.clear();
    listing.inode = st.st_ino;
    listing.mtime = st.st_mtim;
    if (DIR* d = ::opendir(dir.c_str())) {
      while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..")
          continue;
        listing.by_folded_name.emplace(FoldNativeName(name), name);
      }
      ::closedir(d);
    }
  }
  auto it = listing.by_folded_name.find(FoldNativeName(component));
  return it == listing.by_folded_name.end() ? "" : it->second;
}

std::string TLooseFiles::Find(const std::string& native_root, std::string_view sjis_name) {
  const std::string relative = NativeRelativeName(sjis_name);
  if (relative.empty())
    return "";
  std::string exact = native_root + relative;
  struct stat st;
  if (::stat(exact.c_str(), &st) == 0)
    return exact;
  std::string path = native_root;
  size_t begin = 0;
  while (begin <= relative.size()) {
    size_t end = relative.find('/', begin);
    if (end == std::string::npos)
      end = relative.size();
    std::string component = relative.substr(begin, end - begin);
    std::string candidate = path + component;
    if (component == "." || component == ".." || ::lstat(candidate.c_str(), &st) == 0) {
      path = candidate;
    } else {
      std::string actual = Match(path, component);
      if (actual.empty())
        return "";
      path += actual;
    }
    if (end == relative.size())
      break;
    path.push_back('/');
    begin = end + 1;
  }
  return ::stat(path.c_str(), &st) == 0 ? path : "";
}

std::string TLooseFiles::FindFile(const std::string& native_root, std::string_view sjis_name) {
  std::string path = Find(native_root, sjis_name);
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    return "";
  return path;
}

} // namespace nova
