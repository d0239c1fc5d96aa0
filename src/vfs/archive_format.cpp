// SPDX-License-Identifier: MIT
// The archive directory reader and the writer, side by side.
#include "vfs/archive_format.h"

#include <libdeflate.h>
#include <sys/stat.h>

#include <array>
#include <cstring>
#include <ctime>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/sjis.h"
#include "vfs/private/file_io.h"
#include "vfs/private/vfs_texts.h"
#include "vfs/private/zlib_codec.h"

namespace nova {

namespace {

constexpr int32_t kFirstScrambledVersion = 100;
constexpr int32_t kFirstWideVersion = 101;
constexpr int64_t kMaxCompressedFile = 0x500000;
constexpr int64_t kCopyChunk = 1 << 20;

// Extensions whose files are always stored (media that are streamed or already compressed).
constexpr std::array<const char*, 10> kStoredExtensions = {
    ".WAV", ".WMA", ".OGG", ".AVI", ".MPG", ".MPEG", ".M1V", ".WMV", ".ASF", ".DAT",
};

TWorthCompressing& LayeredImageQuery() {
  static TWorthCompressing query;
  return query;
}

} // namespace

void SetLayeredImageCompressionQuery(TWorthCompressing query) {
  LayeredImageQuery() = std::move(query);
}

uint32_t Crc32(uint32_t crc, std::span<const uint8_t> bytes) {
  return libdeflate_crc32(crc, bytes.data(), bytes.size());
}

// --- reading ---

TArchiveDirectory ReadArchiveDirectory(TZpBigStream& stream, const std::string& what) {
  TArchiveDirectory dir;
  const int64_t start = stream.GetPosition();
  const int64_t stream_size = stream.GetSize();
  auto fail = [&](const std::string& problem) -> void { throw ENovaError(what + ": " + problem); };
  std::vector<TVrFile>& entries = dir.entries;
  int32_t count = 0;
  {
    TZpBuffBigStream names(stream);
    auto remaining = [&] { return stream_size - names.GetPosition(); };
    auto read_i32 = [&](const char* field) {
      uint8_t b[4];
      if (names.Read(b, 4) != 4)
        fail(std::string("truncated ") + field);
      return static_cast<int32_t>(b[0] | b[1] << 8 | b[2] << 16 |
                                  static_cast<uint32_t>(b[3]) << 24);
    };
    char magic[2] = {};
    if (names.Read(magic, 2) == 2 && magic[0] == 'v' && magic[1] == 'f') {
      dir.version = read_i32("version");
      if (dir.version < 0 || dir.version > kArchiveVersion) {
        fail("unsupported archive version " + std::to_string(dir.version));
      }
    } else {
      names.SetPosition(start);
      dir.version = 0;
    }
    count = read_i32("entry count");
    // The least each entry takes in the directory: name length, offset and the flag tables.
    const int64_t min_entry_bytes = dir.version >= 102                 ? 22
                                    : dir.version >= kFirstWideVersion ? 21
                                                                       : 8;
    if (count < 0 || count > remaining() / min_entry_bytes)
      fail("bad entry count " + std::to_string(count));
    entries.resize(static_cast<size_t>(count) + 1);
    TZpRandom name_key;
    for (int32_t i = 0; i < count; ++i) {
      int32_t length = read_i32("name table");
      if (length < 0 || length > remaining()) {
        fail("entry " + std::to_string(i) + ": bad name length " + std::to_string(length));
      }
      std::string& name = entries[static_cast<size_t>(i)].name;
      name.resize(static_cast<size_t>(length));
      if (names.Read(name.data(), length) != length)
        fail("truncated name table");
      if (dir.version >= kFirstScrambledVersion) {
        for (char& c : name)
          c = static_cast<char>(static_cast<uint8_t>(c) ^ static_cast<uint8_t>(name_key.Next()));
      }
    }
  }
  entries.back().name = kEofEntryName;

  const bool wide = dir.version >= kFirstWideVersion;
  const int64_t offsets_bytes = (int64_t{count} + 1) * (wide ? 8 : 4);
  const int64_t flags_bytes =
      wide ? int64_t{count} * (1 + 4 + 4 + (dir.version >= 102 ? 1 : 0)) : 0;
  const int64_t table_bytes = offsets_bytes + flags_bytes;
  if (table_bytes > stream_size - stream.GetPosition())
    fail("truncated offset and flag tables");
  std::vector<uint8_t> tables(static_cast<size_t>(table_bytes));
  stream.ReadBuffer(tables.data(), table_bytes, what);
  BinaryReader r(tables, what);

  TZpRandom offset_key;
  std::vector<int64_t> offsets(static_cast<size_t>(count) + 1);
  for (int64_t& offset : offsets) {
    if (wide) {
      offset = r.I64();
      if (dir.version >= kFirstScrambledVersion)
        offset ^= static_cast<int64_t>(offset_key.Next());
    } else {
      int32_t v = r.I32();
      if (dir.version >= kFirstScrambledVersion)
        v ^= offset_key.Next();
      offset = static_cast<uint32_t>(v);
    }
  }
  if (wide) {
    for (int32_t i = 0; i < count; ++i)
      entries[static_cast<size_t>(i)].stored = r.U8();
    for (int32_t i = 0; i < count; ++i)
      entries[static_cast<size_t>(i)].timestamp = r.I32();
    for (int32_t i = 0; i < count; ++i)
      entries[static_cast<size_t>(i)].checksum = r.U32();
    if (dir.version >= 102) {
      for (int32_t i = 0; i < count; ++i)
        entries[static_cast<size_t>(i)].crc_uncompressed = r.U8();
    }
  }
  for (int32_t i = 0; i <= count; ++i) {
    int64_t offset = offsets[static_cast<size_t>(i)];
    // Whether the data lies inside its file is checked by the owner of the data stream.
    if (offset < 0 || offset > INT64_MAX - start) {
      fail("entry \"" + entries[static_cast<size_t>(i)].name + "\": bad offset " +
           std::to_string(offset));
    }
  }
  for (int32_t i = 0; i <= count; ++i) {
    TVrFile& e = entries[static_cast<size_t>(i)];
    int64_t offset = offsets[static_cast<size_t>(i)];
    e.position = start + offset;
    e.size = i < count ? offsets[static_cast<size_t>(i) + 1] - offset : 0;
  }
  return dir;
}

// --- writing ---

namespace {

int32_t DosDateTime(time_t t) {
  struct tm local;
  if (!localtime_r(&t, &local) || local.tm_year < 80)
    return 0;
  return static_cast<int32_t>(
      static_cast<uint32_t>(local.tm_year - 80) << 25 |
      static_cast<uint32_t>(local.tm_mon + 1) << 21 | static_cast<uint32_t>(local.tm_mday) << 16 |
      static_cast<uint32_t>(local.tm_hour) << 11 | static_cast<uint32_t>(local.tm_min) << 5 |
      static_cast<uint32_t>(local.tm_sec / 2));
}

bool ExtensionAlwaysStored(const std::string& native_path) {
  size_t slash = native_path.rfind('/');
  size_t dot = native_path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return false;
  std::string ext = UpperCaseJ(native_path.substr(dot));
  for (const char* stored : kStoredExtensions) {
    if (ext == stored)
      return true;
  }
  return false;
}

bool IsLayeredImage(const std::string& native_path) {
  return native_path.size() >= 4 &&
         UpperCaseJ(native_path.substr(native_path.size() - 4)) == ".WSP";
}

struct PackedEntry {
  uint8_t stored = 1;
  int32_t timestamp = 0;
  uint32_t checksum = 0;
  uint8_t crc_uncompressed = 0;
};

class ArchiveWriter {
public:
  ArchiveWriter(TZpBigStream& out, const std::string& what) : out_(out), what_(what) {}

  void Put(std::span<const uint8_t> bytes) {
    out_.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()), what_);
  }

  // Deflates `data` unless it is too large; the checksum follows the entry's flag.
  PackedEntry PutMaybeCompressed(std::span<const uint8_t> data, uint8_t crc_uncompressed) {
    PackedEntry p;
    if (static_cast<int64_t>(data.size()) > kMaxCompressedEntry) {
      Put(data);
      p.checksum = Crc32(0, data);
      return p;
    }
    std::vector<uint8_t> packed = DeflateZlib(data);
    Put(packed);
    p.stored = 0;
    p.crc_uncompressed = crc_uncompressed;
    p.checksum = crc_uncompressed ? Crc32(0, data) : Crc32(0, packed);
    return p;
  }

  PackedEntry PutLooseFile(const TVrFile& entry) {
    const std::string& path = entry.source_path;
    FileHandle file = OpenFileOrThrow(path, O_RDONLY);
    struct stat st;
    if (::fstat(file.fd(), &st) != 0)
      ThrowFileError(path, "read the size of");
    const int64_t size = st.st_size;
    PackedEntry p;
    p.timestamp = DosDateTime(st.st_mtime);
    bool compress = !ExtensionAlwaysStored(path) && size < kMaxCompressedFile;
    if (compress) {
      std::vector<uint8_t> data(static_cast<size_t>(size));
      ReadAtOrThrow(file, data.data(), size, 0, path);
      if (IsLayeredImage(path) && LayeredImageQuery())
        compress = LayeredImageQuery()(data);
      if (compress) {
        std::vector<uint8_t> packed = DeflateZlib(data);
        if (static_cast<int64_t>(packed.size()) * 10 <= size * 9) {
          Put(packed);
          p.stored = 0;
          p.crc_uncompressed = entry.crc_uncompressed;
          p.checksum = entry.crc_uncompressed ? Crc32(0, data) : Crc32(0, packed);
          return p;
        }
      }
      Put(data);
      p.checksum = Crc32(0, data);
      return p;
    }
    // Stored files are copied in chunks, so that volumes of any size pass through.
    std::vector<uint8_t> chunk(
        static_cast<size_t>(std::min<int64_t>(std::max<int64_t>(size, 1), kCopyChunk)));
    for (int64_t done = 0; done < size;) {
      int64_t n = std::min<int64_t>(kCopyChunk, size - done);
      ReadAtOrThrow(file, chunk.data(), n, done, path);
      Put({chunk.data(), static_cast<size_t>(n)});
      p.checksum = Crc32(p.checksum, {chunk.data(), static_cast<size_t>(n)});
      done += n;
    }
    return p;
  }

private:
  TZpBigStream& out_;
  const std::string& what_;
};

} // namespace

void WriteArchive(TZpBigStream& out, const std::vector<TVrFile>& entries,
                  const TArchiveEntryReader& read_archived, const TArchiveEntryError& on_error,
                  const std::string& what) {
  std::vector<const TVrFile*> real;
  for (const TVrFile& e : entries) {
    if (e.name != kEofEntryName)
      real.push_back(&e);
  }
  const int64_t n = static_cast<int64_t>(real.size());
  const int64_t start = out.GetPosition();
  ArchiveWriter writer(out, what);

  BinaryWriter head;
  head.Bytes(std::string_view("vf"));
  head.I32(kArchiveVersion);
  head.I32(static_cast<int32_t>(n));
  TZpRandom name_key;
  for (const TVrFile* e : real) {
    head.I32(static_cast<int32_t>(e->name.size()));
    for (char c : e->name)
      head.U8(static_cast<uint8_t>(c) ^ static_cast<uint8_t>(name_key.Next()));
  }
  writer.Put(head.data());
  const int64_t tables_at = out.GetPosition();
  const int64_t tables_size = (n + 1) * 8 + n * (1 + 4 + 4 + 1);
  writer.Put(std::vector<uint8_t>(static_cast<size_t>(tables_size)));

  std::vector<int64_t> offsets;
  std::vector<PackedEntry> packed;
  TMemoryStream scratch;
  for (const TVrFile* e : real) {
    offsets.push_back(out.GetPosition() - start);
    try {
      if (e->data) {
        packed.push_back(writer.PutMaybeCompressed(e->data->Bytes(), e->crc_uncompressed));
      } else if (!e->source_path.empty()) {
        packed.push_back(writer.PutLooseFile(*e));
      } else {
        read_archived(*e, scratch);
        packed.push_back(writer.PutMaybeCompressed(scratch.Bytes(), 0));
        packed.back().timestamp = e->timestamp;
      }
    } catch (...) {
      if (on_error)
        on_error(VfsText(kWriteErrorPrefix) + e->name);
      throw;
    }
  }
  offsets.push_back(out.GetPosition() - start);
  const int64_t end = out.GetPosition();

  BinaryWriter tables;
  TZpRandom offset_key;
  for (int64_t offset : offsets)
    tables.I64(offset ^ static_cast<int64_t>(offset_key.Next()));
  for (const PackedEntry& p : packed)
    tables.U8(p.stored);
  for (const PackedEntry& p : packed)
    tables.I32(p.timestamp);
  for (const PackedEntry& p : packed)
    tables.U32(p.checksum);
  for (const PackedEntry& p : packed)
    tables.U8(p.crc_uncompressed);
  out.SetPosition(tables_at);
  writer.Put(tables.data());
  out.SetPosition(end);
}

} // namespace nova
