// SPDX-License-Identifier: MIT
#include "shell/mutex_name.h"

#include "base/sjis.h"

namespace nova {

std::string MutexName(const std::string& sjis_folder) {
  std::string name = UpperCaseJ(sjis_folder);
  // Separators are single bytes outside double-byte characters; a trail byte may be '\'.
  for (size_t i = 0; i < name.size(); i += CharBytes(name, i))
    if (name[i] == '/')
      name[i] = '\\';
  if (name.empty() || name.back() != '\\' || IsTrailByteAt(name, name.size() - 1))
    name += '\\';
  for (size_t i = 0; i < name.size(); i += CharBytes(name, i))
    if (name[i] == '\\')
      name[i] = '-';
  return name;
}

} // namespace nova
