// SPDX-License-Identifier: MIT
#include "vfs/vfs_fixtures.h"

#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "base/binary_writer.h"

namespace nova::test {

Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }
std::string ToString(const Bytes& b) { return std::string(b.begin(), b.end()); }

Bytes TextBytes(size_t size) {
  static const std::string words = "the quick brown fox jumps over the lazy dog, ";
  Bytes out(size);
  for (size_t i = 0; i < size; ++i)
    out[i] = static_cast<uint8_t>(words[(i * 7 / 5) % words.size()]);
  return out;
}

Bytes NoiseBytes(size_t size, uint32_t seed) {
  Bytes out(size);
  uint32_t s = seed;
  for (auto& b : out) {
    s = s * 1664525u + 1013904223u;
    b = static_cast<uint8_t>(s >> 24);
  }
  return out;
}

Bytes Zlib(const Bytes& data) {
  uLongf size = compressBound(data.size());
  Bytes out(size);
  if (compress2(out.data(), &size, data.data(), data.size(), 6) != Z_OK)
    throw std::runtime_error("zlib");
  out.resize(size);
  return out;
}

Bytes ZerosZlib(size_t mib) {
  // A raw deflate of one MiB ending in a full flush leaves the compressor as it started, so
  // the same bytes follow for every further MiB; the decoder just goes on.
  z_stream z{};
  if (deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("zlib");
  Bytes zeros(size_t{1} << 20), block(zeros.size() / 64), tail(64);
  z.next_in = zeros.data();
  z.avail_in = static_cast<uInt>(zeros.size());
  z.next_out = block.data();
  z.avail_out = static_cast<uInt>(block.size());
  deflate(&z, Z_FULL_FLUSH);
  block.resize(block.size() - z.avail_out);
  z.next_out = tail.data();
  z.avail_out = static_cast<uInt>(tail.size());
  deflate(&z, Z_FINISH);
  tail.resize(tail.size() - z.avail_out);
  deflateEnd(&z);
  Bytes out = {0x78, 0xDA};
  for (size_t i = 0; i < mib; ++i)
    out.insert(out.end(), block.begin(), block.end());
  out.insert(out.end(), tail.begin(), tail.end());
  // Adler-32 of n zero bytes: a stays 1, b adds 1 per byte.
  const uint32_t b = static_cast<uint32_t>((uint64_t{mib} << 20) % 65521);
  for (int shift : {24, 16, 8, 0})
    out.push_back(static_cast<uint8_t>(((b << 16) | 1) >> shift));
  return out;
}

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vfs-test-XXXXXX").string();
  if (!mkdtemp(pattern.data()))
    throw std::runtime_error("mkdtemp");
  path_ = pattern + "/";
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string ScratchDir::Write(const std::string& relative, const Bytes& data) const {
  std::filesystem::path p = path_ + relative;
  std::filesystem::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  return p.string();
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

Bytes BuildArchive(int version, const std::vector<RawEntry>& entries) {
  BinaryWriter w;
  if (version > 0) {
    w.Bytes(std::string_view("vf"));
    w.I32(version);
  }
  w.I32(static_cast<int32_t>(entries.size()));
  uint32_t name_state = 0;
  for (const RawEntry& e : entries) {
    w.I32(static_cast<int32_t>(e.name.size()));
    for (char c : e.name) {
      uint8_t key = 0;
      if (version >= 100) {
        name_state = name_state * 5 + 0x3C9A51E7u;
        key = static_cast<uint8_t>(name_state);
      }
      w.U8(static_cast<uint8_t>(c) ^ key);
    }
  }
  const size_t n = entries.size();
  const size_t offset_bytes = (n + 1) * (version >= 101 ? 8 : 4);
  const size_t flag_bytes = version >= 101 ? n * (version >= 102 ? 10 : 9) : 0;
  int64_t offset = static_cast<int64_t>(w.size() + offset_bytes + flag_bytes);
  uint32_t offset_state = 0;
  for (size_t i = 0; i <= n; ++i) {
    int32_t key = 0;
    if (version >= 100) {
      offset_state = offset_state * 5 + 0x3C9A51E7u;
      key = static_cast<int32_t>(offset_state);
    }
    if (version >= 101) {
      w.I64(offset ^ static_cast<int64_t>(key));
    } else {
      w.I32(static_cast<int32_t>(offset) ^ key);
    }
    if (i < n)
      offset += static_cast<int64_t>(entries[i].data.size());
  }
  if (version >= 101) {
    for (const RawEntry& e : entries)
      w.U8(e.stored);
    for (size_t i = 0; i < n; ++i)
      w.I32(0x5A210000 + static_cast<int32_t>(i)); // timestamps
    for (size_t i = 0; i < n; ++i)
      w.U32(0xC0DE0000u + static_cast<uint32_t>(i)); // checksums
    if (version >= 102) {
      for (size_t i = 0; i < n; ++i)
        w.U8(0);
    }
  }
  for (const RawEntry& e : entries)
    w.Bytes(e.data);
  return w.Take();
}

Bytes BuildPeWithResource(const std::string& type, const std::string& name, const Bytes& data) {
  constexpr uint32_t kSectionRva = 0x1000;
  constexpr uint32_t kRawOffset = 0x200;
  // The resource section: three directory levels, a data entry, two name strings, the data.
  BinaryWriter rs;
  auto directory = [&](uint16_t named, uint16_t ids) {
    rs.U32(0), rs.U32(0), rs.U16(0), rs.U16(0), rs.U16(named), rs.U16(ids);
  };
  const uint32_t type_string = 88;
  const uint32_t name_string = type_string + 2 + 2 * static_cast<uint32_t>(type.size());
  const uint32_t data_at = (name_string + 2 + 2 * static_cast<uint32_t>(name.size()) + 15) & ~15u;
  directory(1, 0); // root: the type, by name
  rs.U32(0x80000000u | type_string), rs.U32(0x80000000u | 24);
  directory(1, 0); // type: the name, by name
  rs.U32(0x80000000u | name_string), rs.U32(0x80000000u | 48);
  directory(0, 1); // name: language 1041
  rs.U32(1041), rs.U32(72);
  rs.U32(kSectionRva + data_at), rs.U32(static_cast<uint32_t>(data.size())), rs.U32(0), rs.U32(0);
  for (const std::string* text : {&type, &name}) {
    rs.U16(static_cast<uint16_t>(text->size()));
    for (char c : *text)
      rs.U16(static_cast<uint8_t>(c));
  }
  while (rs.size() < data_at)
    rs.U8(0);
  rs.Bytes(data);
  const uint32_t section_size = static_cast<uint32_t>(rs.size());

  BinaryWriter pe;
  pe.U16(0x5A4D); // "MZ"
  while (pe.size() < 0x3C)
    pe.U8(0);
  pe.U32(0x40);       // e_lfanew
  pe.U32(0x00004550); // "PE\0\0"
  pe.U16(0x14C), pe.U16(1), pe.U32(0), pe.U32(0), pe.U32(0), pe.U16(224), pe.U16(0x102);
  const size_t optional = pe.size();
  pe.U16(0x10B); // PE32
  while (pe.size() < optional + 92)
    pe.U8(0);
  pe.U32(16); // data directories
  for (int i = 0; i < 16; ++i) {
    pe.U32(i == 2 ? kSectionRva : 0);
    pe.U32(i == 2 ? section_size : 0);
  }
  pe.Bytes(std::string_view(".rsrc\0\0\0", 8));
  pe.U32(section_size), pe.U32(kSectionRva), pe.U32(section_size), pe.U32(kRawOffset);
  pe.U32(0), pe.U32(0), pe.U16(0), pe.U16(0), pe.U32(0x40000040);
  while (pe.size() < kRawOffset)
    pe.U8(0);
  pe.Bytes(rs.data());
  return pe.Take();
}

} // namespace nova::test
