// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "vfs/stream.h"

namespace nova {

// The name of the extra entry that follows the real ones in memory; it carries the end offset.
inline constexpr char kEofEntryName[] = "\\EOF\\";

// No entry is read whole beyond this; readers that need less ask for less, so that a small
// entry claiming a huge content fails at once.
inline constexpr int64_t kMaxEntryBytes = int64_t{1} << 30;

// One archive entry.
struct TVrFile {
  std::string name;      // Shift-JIS, `\` separators, relative to the archive root
  int64_t position = 0;  // absolute position of the data in the archive's data stream
  int64_t size = 0;      // bytes as stored
  uint8_t stored = 0;    // 1: data as is; 0: a zlib stream
  int32_t timestamp = 0; // DOS date-time of the source file, 0 for data from memory
  uint32_t checksum = 0; // CRC-32 of the stored bytes, or of the uncompressed bytes (next flag)
  uint8_t crc_uncompressed = 0;
  // Data that replaces the archive data (entries added at run time, e.g. the save file's).
  std::shared_ptr<TMemoryStream> data;
  // A loose file that the writer packs for this entry (native path); empty otherwise.
  std::string source_path;
};

} // namespace nova
