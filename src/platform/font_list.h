// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace nova {

// One face that the machine can rasterise, as the text layer sees it. Names are Shift-JIS.
struct InstalledFace {
  std::string name;   // face name as titles ask for it (Shift-JIS)
  std::string file;   // font file for the rasteriser (file-system path, UTF-8)
  int face_index = 0; // face inside a collection file
  bool fixed_pitch = false;
  uint8_t charset = 0;     // 128 (Shift-JIS) when the face covers Japanese, else 0 (ANSI)
  bool bold_face = false;  // the file holds a bold design (no synthesis needed)
  bool substitute = false; // listed under a Windows name, backed by a free face
  // Part of the cell above the baseline when the em must fill the whole cell, as it does in
  // the Windows faces that the IPA faces stand in for; 0 = the face's own vertical metrics.
  double cell_ascent = 0;
};

// A Windows face name and the free face that stands in for it (both UTF-8).
struct FaceSubstitute {
  std::string windows_name;
  std::string free_family;
  double cell_ascent = 0; // see InstalledFace
};

// The built-in substitution table: Windows Japanese faces to the metric-compatible IPA faces,
// and a few Western faces to DejaVu.
const std::vector<FaceSubstitute>& BuiltinFaceSubstitutes();

// Reads extra substitutes from a settings file: one "Windows name=Free family" per line (UTF-8),
// '#' starts a comment line. A missing file yields nothing; malformed lines are skipped.
std::vector<FaceSubstitute> ReadFaceSubstitutes(const std::string& path);

// Where users keep their own substitutes: $NOVA_FONT_SUBSTITUTES, else
// $XDG_CONFIG_HOME/novaplayer/font-substitutes.conf, else ~/.config/novaplayer/...
std::string UserFaceSubstitutesPath();

// Enumerates the scalable faces of the machine (fontconfig), every family name of each as one
// entry, then every Windows name whose substitute is installed. Sorted by name (byte order),
// each name once. Called once at start-up.
std::vector<InstalledFace> EnumerateInstalledFaces(const std::vector<FaceSubstitute>& substitutes);

} // namespace nova
