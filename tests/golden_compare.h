// SPDX-License-Identifier: MIT
// Pictures compared with the reviewed references in tests/golden/.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/dibx.h"
#include "graphics/png_writer.h"

namespace nova::test {

// Compares with tests/golden/NAME.png pixel for pixel (colour only); NOVA_UPDATE_GOLDEN=1
// (`make golden`) rewrites the reference instead, to be looked at before it is committed.
inline void CompareWithGolden(TDIBX& shot, const std::string& name) {
  const std::string path = std::string(NOVA_SOURCE_DIR) + "/tests/golden/" + name + ".png";
  if (std::getenv("NOVA_UPDATE_GOLDEN")) {
    WritePng(shot, path);
    return;
  }
  std::ifstream file(path, std::ios::binary);
  ASSERT_TRUE(file) << "missing " << path << " (make golden)";
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
  TDIBX golden(1, 1, 32);
  golden.LoadFromStream(bytes, path);
  ASSERT_EQ(golden.Width(), shot.Width()) << name;
  ASSERT_EQ(golden.Height(), shot.Height()) << name;
  int differing = 0;
  for (int y = 0; y < shot.Height(); ++y)
    for (int x = 0; x < shot.Width(); ++x)
      differing += (golden.GetPixel(x, y) & 0xFFFFFF) != (shot.GetPixel(x, y) & 0xFFFFFF);
  EXPECT_EQ(differing, 0) << name << ": pixels differ from the reference";
}

} // namespace nova::test
