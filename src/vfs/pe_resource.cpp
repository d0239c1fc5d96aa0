// SPDX-License-Identifier: MIT
#include "vfs/private/pe_resource.h"

#include <vector>

#include "base/binary_reader.h"
#include "base/nova_error.h"
#include "base/sjis.h"

namespace nova {

namespace {

constexpr int kResourceDirectoryIndex = 2;
constexpr uint32_t kSubdirectoryBit = 0x80000000u;
constexpr uint32_t kNamedBit = 0x80000000u;
// A resource tree has three levels (type, name, language); entries beyond this are damage.
constexpr uint32_t kMaxDirectoryEntries = 65536;

struct Section {
  uint32_t rva;
  uint32_t virtual_size;
  uint32_t raw_offset;
  uint32_t raw_size;
};

class PeImage {
public:
  explicit PeImage(TZpBigStream& image) : image_(image), size_(image.GetSize()) {}

  // Reads `count` bytes at a file offset into `storage` and returns a reader over them; throws on
  // bytes past the end.
  BinaryReader At(int64_t offset, size_t count, std::vector<uint8_t>& storage) {
    if (offset < 0 || count > static_cast<size_t>(size_) ||
        offset > size_ - static_cast<int64_t>(count)) {
      throw ENovaError("PE image: read past the end");
    }
    storage.resize(count);
    image_.SetPosition(offset);
    image_.ReadBuffer(storage.data(), static_cast<int64_t>(count), "PE image");
    return BinaryReader(storage, "PE image");
  }

  bool ParseHeaders() {
    if (size_ < 0x40)
      return false;
    std::vector<uint8_t> dos_bytes, coff_bytes, opt_bytes, table_bytes;
    BinaryReader dos = At(0, 0x40, dos_bytes);
    if (dos.U16() != 0x5A4D)
      return false; // "MZ"
    dos.Seek(0x3C);
    int64_t pe = dos.U32();
    BinaryReader coff = At(pe, 24, coff_bytes);
    if (coff.U32() != 0x00004550)
      return false; // "PE\0\0"
    coff.Skip(2);
    uint16_t section_count = coff.U16();
    coff.Skip(12);
    uint16_t optional_size = coff.U16();
    int64_t optional = pe + 24;
    BinaryReader opt = At(optional, optional_size, opt_bytes);
    uint16_t magic = opt.U16();
    size_t dirs_at = magic == 0x20B ? 112 : magic == 0x10B ? 96 : 0;
    if (dirs_at == 0)
      return false;
    opt.Seek(dirs_at - 4);
    uint32_t dir_count = opt.U32();
    if (dir_count <= kResourceDirectoryIndex)
      return false;
    opt.Seek(dirs_at + kResourceDirectoryIndex * 8);
    resource_rva_ = opt.U32();
    if (resource_rva_ == 0)
      return false;
    BinaryReader table = At(optional + optional_size, size_t{section_count} * 40, table_bytes);
    for (uint16_t i = 0; i < section_count; ++i) {
      table.Skip(8);
      Section s;
      s.virtual_size = table.U32();
      s.rva = table.U32();
      s.raw_size = table.U32();
      s.raw_offset = table.U32();
      table.Skip(16);
      sections_.push_back(s);
    }
    return true;
  }

  // File offset of an RVA whose `count` bytes lie in one section's raw data.
  std::optional<int64_t> FileOffset(uint64_t rva, uint64_t count) const {
    for (const Section& s : sections_) {
      uint64_t extent = s.raw_size;
      if (rva >= s.rva && rva - s.rva <= extent && count <= extent - (rva - s.rva)) {
        return static_cast<int64_t>(s.raw_offset + (rva - s.rva));
      }
    }
    return std::nullopt;
  }

  std::optional<int64_t> ResourceOffset(uint64_t offset_in_resources, uint64_t count) const {
    return FileOffset(uint64_t{resource_rva_} + offset_in_resources, count);
  }

private:
  TZpBigStream& image_;
  int64_t size_;
  std::vector<Section> sections_;
  uint32_t resource_rva_ = 0;
};

// A resource name as the lookup wants it: a numeric id or an upper-cased UTF-8 text.
struct ResourceKey {
  bool numeric = false;
  uint32_t id = 0;
  std::string text;
};

std::string AsciiUpper(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

ResourceKey MakeKey(const std::string& sjis_name) {
  ResourceKey key;
  if (sjis_name.size() > 1 && sjis_name[0] == '#') {
    key.numeric = true;
    for (size_t i = 1; i < sjis_name.size(); ++i) {
      if (sjis_name[i] < '0' || sjis_name[i] > '9')
        return MakeKey(sjis_name.substr(1));
      key.id = key.id * 10 + static_cast<uint32_t>(sjis_name[i] - '0');
    }
    return key;
  }
  key.text = AsciiUpper(SjisToUtf8(sjis_name));
  return key;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// The directory entry's name (IMAGE_RESOURCE_DIR_STRING_U) as upper-cased UTF-8.
std::optional<std::string> EntryName(PeImage& pe, uint32_t offset) {
  std::optional<int64_t> at = pe.ResourceOffset(offset, 2);
  if (!at)
    return std::nullopt;
  std::vector<uint8_t> bytes;
  uint16_t length = pe.At(*at, 2, bytes).U16();
  std::optional<int64_t> chars = pe.ResourceOffset(uint64_t{offset} + 2, uint64_t{length} * 2);
  if (!chars)
    return std::nullopt;
  BinaryReader r = pe.At(*chars, size_t{length} * 2, bytes);
  std::string out;
  for (uint16_t i = 0; i < length; ++i) {
    uint32_t unit = r.U16();
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < length) {
      uint32_t low = r.U16();
      ++i;
      unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
    AppendUtf8(out, unit);
  }
  return AsciiUpper(out);
}

// Finds the entry matching `key` (or the first entry when `key` is null) in the directory at
// `dir_offset`; returns its OffsetToData word.
std::optional<uint32_t> FindInDirectory(PeImage& pe, uint32_t dir_offset, const ResourceKey* key) {
  std::optional<int64_t> at = pe.ResourceOffset(dir_offset, 16);
  if (!at)
    return std::nullopt;
  std::vector<uint8_t> head_bytes, raw;
  BinaryReader head = pe.At(*at, 16, head_bytes);
  head.Skip(12);
  uint32_t count = uint32_t{head.U16()} + head.U16();
  if (count == 0 || count > kMaxDirectoryEntries)
    return std::nullopt;
  std::optional<int64_t> entries_at =
      pe.ResourceOffset(uint64_t{dir_offset} + 16, uint64_t{count} * 8);
  if (!entries_at)
    return std::nullopt;
  BinaryReader entries = pe.At(*entries_at, size_t{count} * 8, raw);
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t name = entries.U32();
    uint32_t data = entries.U32();
    if (!key)
      return data;
    bool named = (name & kNamedBit) != 0;
    if (key->numeric) {
      if (!named && name == key->id)
        return data;
    } else if (named) {
      std::optional<std::string> text = EntryName(pe, name & ~kNamedBit);
      if (text && *text == key->text)
        return data;
    }
  }
  return std::nullopt;
}

} // namespace

std::optional<PeResourceLocation> FindPeResource(TZpBigStream& image, const std::string& name,
                                                 const std::string& type) {
  try {
    PeImage pe(image);
    if (!pe.ParseHeaders())
      return std::nullopt;
    ResourceKey type_key = MakeKey(type);
    ResourceKey name_key = MakeKey(name);
    std::optional<uint32_t> level = FindInDirectory(pe, 0, &type_key);
    if (!level || !(*level & kSubdirectoryBit))
      return std::nullopt;
    level = FindInDirectory(pe, *level & ~kSubdirectoryBit, &name_key);
    if (!level || !(*level & kSubdirectoryBit))
      return std::nullopt;
    level = FindInDirectory(pe, *level & ~kSubdirectoryBit, nullptr);
    if (!level || (*level & kSubdirectoryBit))
      return std::nullopt;
    std::optional<int64_t> data_entry = pe.ResourceOffset(*level, 16);
    if (!data_entry)
      return std::nullopt;
    std::vector<uint8_t> bytes;
    BinaryReader r = pe.At(*data_entry, 16, bytes);
    uint32_t rva = r.U32();
    uint32_t size = r.U32();
    std::optional<int64_t> offset = pe.FileOffset(rva, size);
    if (!offset)
      return std::nullopt;
    return PeResourceLocation{*offset, size};
  } catch (const ENovaError&) {
    return std::nullopt;
  }
}

} // namespace nova
