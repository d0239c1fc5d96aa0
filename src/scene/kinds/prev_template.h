// SPDX-License-Identifier: MIT
// Preview-menu templates: the menu's size and its picture buttons with their pictures for each
// state and transition.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace nova {

constexpr int kPrevPictures = 19;

// One picture button of a template; picture paths are already resolved against the template's
// folder.
struct TPrevButton {
  int32_t x = 0, y = 0;
  std::array<std::string, kPrevPictures> pictures;
  uint8_t capture_mask = 0;
  std::string name;
  int32_t overlay_x = 0, overlay_y = 0;
  std::string cursor;
  int32_t group = 0; // 0 none, > 0 radio group, < 0 toggle group
};

struct TPrevTemplate {
  int version = 106;
  int32_t width = 0, height = 0;
  std::vector<TPrevButton> buttons;
};

// Reads a template named `file` (its folder prefixes relative picture paths). A wrong magic or
// an unknown version throws the system's own messages; damaged data throws ENovaError naming
// the file.
TPrevTemplate ReadPrevTemplate(std::span<const uint8_t> bytes, const std::string& file);
// Writes the template in the form of its version, paths as they stand (tools and tests).
std::vector<uint8_t> WritePrevTemplate(const TPrevTemplate& t);
// `name` taken relative to the folder of `file` ("..\" climbs one folder).
std::string ResolveTemplatePath(const std::string& file, const std::string& name);

} // namespace nova
