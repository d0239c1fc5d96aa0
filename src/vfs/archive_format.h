// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "vfs/big_stream.h"
#include "vfs/vr_file.h"

namespace nova {

inline constexpr int32_t kArchiveVersion = 102;
// Entries larger than this are written as they are.
inline constexpr int64_t kMaxCompressedEntry = 0x4FFFFF;

// The generator that scrambles names and offsets: s = s * 5 + K.
class TZpRandom {
public:
  static constexpr uint32_t kSeed = 0x3C9A51E7;
  int32_t Next() {
    state_ = state_ * 5u + kSeed;
    return static_cast<int32_t>(state_);
  }

private:
  uint32_t state_ = 0;
};

struct TArchiveDirectory {
  int32_t version = 0;
  // The real entries followed by kEofEntryName; positions are absolute (start + offset).
  std::vector<TVrFile> entries;
};

// Reads an archive directory from `stream` at its current position p (the archive start);
// offsets become absolute by adding p. Damaged input throws ENovaError naming `what` and, where it
// applies, the entry. Nothing is allocated beyond what the stream's bytes can hold.
TArchiveDirectory ReadArchiveDirectory(TZpBigStream& stream, const std::string& what);

// Reads the inflated data of an entry that comes from the archive being rewritten.
using TArchiveEntryReader = std::function<void(const TVrFile& entry, TMemoryStream& out)>;
// Receives "エラー:" + the entry name when packing that entry fails (the error is re-thrown).
using TArchiveEntryError = std::function<void(const std::string& sjis_message)>;
// Asked whether a ".wsp" layered image is worth compressing (registered by the image code).
using TWorthCompressing = std::function<bool(std::span<const uint8_t> file_bytes)>;
void SetLayeredImageCompressionQuery(TWorthCompressing query);

// Writes a version-102 archive of `entries` (the "\EOF\" entry is skipped) at the stream's
// position, which becomes the archive start. Entries come from memory, from loose files or
// (through `read_archived`) from the archive that is being rewritten.
void WriteArchive(TZpBigStream& out, const std::vector<TVrFile>& entries,
                  const TArchiveEntryReader& read_archived, const TArchiveEntryError& on_error,
                  const std::string& what);

// CRC-32 (reflected 0xEDB88320) continuing from `crc` (0 to start).
uint32_t Crc32(uint32_t crc, std::span<const uint8_t> bytes);

} // namespace nova
