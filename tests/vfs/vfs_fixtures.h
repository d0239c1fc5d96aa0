// SPDX-License-Identifier: MIT
// Shared helpers of the vfs tests: a scratch folder, files, and archives built byte by byte.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace nova::test {

using Bytes = std::vector<uint8_t>;

Bytes ToBytes(const std::string& s);
std::string ToString(const Bytes& b);
// Bytes that deflate well, and bytes that do not (a fixed pseudo-random sequence).
Bytes TextBytes(size_t size);
Bytes NoiseBytes(size_t size, uint32_t seed = 1);
Bytes Zlib(const Bytes& data);
// A zlib stream of `mib` MiB of zero bytes, made in a few milliseconds whatever its size: a
// compression bomb of about 1:1000.
Bytes ZerosZlib(size_t mib);

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchDir {
public:
  ScratchDir();
  ~ScratchDir();
  const std::string& path() const { return path_; } // ends in '/'
  std::string Write(const std::string& relative, const Bytes& data) const;
  std::string Write(const std::string& relative, const std::string& text) const {
    return Write(relative, ToBytes(text));
  }

private:
  std::string path_;
};

Bytes ReadFile(const std::string& path);
bool FileExists(const std::string& path);

// One entry of a hand-built archive.
struct RawEntry {
  std::string name; // Shift-JIS
  Bytes data;       // as stored
  uint8_t stored = 1;
};

// An archive of `version` (0 = no magic) laid out field by field from the format description.
Bytes BuildArchive(int version, const std::vector<RawEntry>& entries);

// A minimal 32-bit PE executable whose resource directory holds `data` as resource `name` of
// type `type` (both ASCII).
Bytes BuildPeWithResource(const std::string& type, const std::string& name, const Bytes& data);

} // namespace nova::test
