// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "base/binary_writer.h"

namespace nova {

// The install settings file "install.dat" (`TNovaInstallSet`). The player uses the disk
// number, the title and the fully-installed mark; the other fields belong to the installer and
// are read only to reach the later ones.
struct TNovaInstallSet {
  int32_t version = 0; // from the "isNNN" magic; 0 without one
  int32_t disk = 0;
  std::string title;
  std::string install_folder;
  bool fully_installed = false; // version > 102

  // Raises a message naming `file` and the field on damage.
  void Read(std::span<const uint8_t> bytes, const std::string& file);
  // Writes the settings of an installed title in the newest layout ("is108"); the installer's
  // own fields are written empty.
  void Write(BinaryWriter& w) const;
};

} // namespace nova
