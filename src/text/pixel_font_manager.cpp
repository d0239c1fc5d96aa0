// SPDX-License-Identifier: MIT
#include "text/pixel_font_manager.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/nova_error_english.h"
#include "base/regular_file.h"
#include "text/private/text_limits.h"
#include "text/text_messages.h"

namespace nova {
namespace {

constexpr char kSignature[] = "NovaPixelFont"; // 13 characters and the NUL
constexpr size_t kSignatureSize = 14;
constexpr size_t kHeaderSize = 308;
constexpr size_t kIndexEntrySize = 18;
constexpr int32_t kMaxGlyphs = 1 << 20;

[[noreturn]] void Damaged(const std::string& file_name) {
  throw ENovaErrorWithEnglish(file_name + "\r\n" + TextTexts().font_file_damaged,
                              "The packed font " + file_name + " is damaged.");
}

int32_t I32At(std::span<const uint8_t> b, size_t at) {
  BinaryReader r(b, "");
  r.Seek(at);
  return r.I32();
}

} // namespace

std::string PackedFontKey(const std::string& face, int size, uint8_t style) {
  return face + "_" + std::to_string(size) + "_" + std::to_string(style & 1) + "_" +
         std::to_string((style >> 1) & 1);
}

TPixelFontSection::TPixelFontSection(std::string file_name, std::vector<uint8_t> bytes)
    : file_name_(std::move(file_name)), bytes_(std::move(bytes)) {
  if (bytes_.size() < kSignatureSize + kHeaderSize ||
      std::memcmp(bytes_.data(), kSignature, kSignatureSize) != 0)
    Damaged(file_name_);
  std::span<const uint8_t> header(bytes_.data() + kSignatureSize, kHeaderSize);
  const int32_t index_bytes = I32At(header, 4);
  const char* face = reinterpret_cast<const char*>(header.data() + 12);
  face_name_.assign(face, strnlen(face, 64));
  size_ = I32At(header, 76);
  style_ = header[80] & 3;
  const int32_t count = I32At(header, 88);
  std::span<const uint8_t> otm = header.subspan(92, 212);
  metrics_.ascent = I32At(otm, 8);
  metrics_.strike_size = I32At(otm, 180);
  metrics_.strike_position = I32At(otm, 184);
  metrics_.underscore_size = I32At(otm, 188);
  listed_ = header[304] != 0;
  // Glyph offsets, outlines and strike lines are computed from these: a value no real font has
  // would overflow them or make a glyph cover more than any surface.
  const auto sane = [](int32_t v) { return v >= -kMaxCharSize && v <= kMaxCharSize; };
  if (!sane(size_) || !sane(metrics_.ascent) || !sane(metrics_.strike_size) ||
      !sane(metrics_.strike_position) || !sane(metrics_.underscore_size))
    Damaged(file_name_);

  const size_t index_start = kSignatureSize + kHeaderSize;
  if (index_bytes < 0 || static_cast<size_t>(index_bytes) > bytes_.size() - index_start ||
      count < 0 || count > kMaxGlyphs)
    Damaged(file_name_);
  // zlib expands at most about 1032:1, so an index that claims more cannot be real.
  if (static_cast<uint64_t>(count) * kIndexEntrySize >
      static_cast<uint64_t>(index_bytes) * 1032 + 64)
    Damaged(file_name_);
  data_start_ = index_start + static_cast<size_t>(index_bytes);
  std::vector<uint8_t> index(static_cast<size_t>(count) * kIndexEntrySize);
  uLongf index_size = index.size();
  if (count > 0 && (uncompress(index.data(), &index_size, bytes_.data() + index_start,
                               static_cast<uLong>(index_bytes)) != Z_OK ||
                    index_size != index.size()))
    Damaged(file_name_);
  records_.reserve(count);
  code_table_.assign(65536, 0xFFFF);
  BinaryReader r(index, file_name_);
  for (int32_t i = 0; i < count; ++i) {
    uint16_t code = r.U16();
    TPixelFontRecord rec;
    rec.width = r.U16();
    rec.height = r.U16();
    rec.origin_x = r.I16();
    rec.origin_y = r.I16();
    rec.cell_advance_x = r.I16();
    rec.cell_advance_y = r.I16();
    rec.offset = r.U32();
    // Records beyond 0xFFFE cannot be addressed by the code table; later entries win anyway.
    if (records_.size() < 0xFFFF) {
      code_table_[code] = static_cast<uint16_t>(records_.size());
      records_.push_back(rec);
    }
  }
}

std::string TPixelFontSection::Key() const { return PackedFontKey(face_name_, size_, style_); }

const TPixelFontRecord* TPixelFontSection::Find(uint16_t code) const {
  uint16_t i = code_table_[code];
  return i == 0xFFFF ? nullptr : &records_[i];
}

bool TPixelFontSection::ReadBitmap(const TPixelFontRecord& rec, std::vector<uint8_t>& out) const {
  const size_t stride = (static_cast<size_t>(rec.width) + 3) & ~size_t{3};
  const size_t total = stride * rec.height;
  const size_t available = bytes_.size() - data_start_;
  if (rec.offset > available || total > available - rec.offset)
    return false;
  out.resize(static_cast<size_t>(rec.width) * rec.height);
  const uint8_t* base = bytes_.data() + data_start_ + rec.offset;
  // Stored bottom row first.
  for (size_t y = 0; y < rec.height; ++y)
    std::memcpy(out.data() + y * rec.width, base + (rec.height - 1 - y) * stride, rec.width);
  return true;
}

std::vector<uint8_t> WritePackedFont(const PackedFontContent& c) {
  BinaryWriter data;
  BinaryWriter index;
  for (const PackedFontGlyph& g : c.glyphs) {
    const size_t stride = (static_cast<size_t>(g.record.width) + 3) & ~size_t{3};
    index.U16(g.code);
    index.U16(g.record.width);
    index.U16(g.record.height);
    index.I16(g.record.origin_x);
    index.I16(g.record.origin_y);
    index.I16(g.record.cell_advance_x);
    index.I16(g.record.cell_advance_y);
    index.U32(static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> row(stride, 0);
    for (size_t y = g.record.height; y-- > 0;) { // bottom row first
      std::fill(row.begin(), row.end(), 0);
      for (size_t x = 0; x < g.record.width && y * g.record.width + x < g.coverage.size(); ++x)
        row[x] = g.coverage[y * g.record.width + x];
      data.Bytes(std::span<const uint8_t>(row));
    }
  }
  std::vector<uint8_t> packed(compressBound(static_cast<uLong>(index.size())));
  uLongf packed_size = packed.size();
  compress(packed.data(), &packed_size, index.data().data(), static_cast<uLong>(index.size()));
  packed.resize(packed_size);

  BinaryWriter out;
  out.Bytes(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(kSignature), kSignatureSize));
  std::vector<uint8_t> header(kHeaderSize, 0);
  auto put32 = [&](size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i)
      header[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
  };
  put32(4, static_cast<int32_t>(packed.size()));
  std::memcpy(header.data() + 12, c.face_name.data(), std::min<size_t>(c.face_name.size(), 63));
  put32(76, c.size);
  header[80] = c.style & 3;
  put32(88, static_cast<int32_t>(c.glyphs.size()));
  put32(92 + 8, c.metrics.ascent);
  put32(92 + 180, c.metrics.strike_size);
  put32(92 + 184, c.metrics.strike_position);
  put32(92 + 188, c.metrics.underscore_size);
  header[304] = c.listed ? 1 : 0;
  out.Bytes(std::span<const uint8_t>(header));
  out.Bytes(std::span<const uint8_t>(packed));
  out.Bytes(std::span<const uint8_t>(data.data()));
  return out.Take();
}

TPixelFontSection* TPixelFontManager::Register(const std::string& path,
                                               const std::string& file_name) {
  const std::string& name = file_name.empty() ? path : file_name;
  if (std::find(file_names_.begin(), file_names_.end(), name) != file_names_.end())
    return nullptr;
  std::string error;
  const std::optional<std::string> text = ReadRegularFile(path, kMaxFileBytes, &error);
  if (!text)
    throw ENovaError("cannot open packed font " + name + ": " + error);
  return RegisterBytes(name, std::vector<uint8_t>(text->begin(), text->end()));
}

TPixelFontSection* TPixelFontManager::RegisterBytes(const std::string& file_name,
                                                    std::vector<uint8_t> bytes) {
  if (std::find(file_names_.begin(), file_names_.end(), file_name) != file_names_.end())
    return nullptr;
  auto section = std::make_unique<TPixelFontSection>(file_name, std::move(bytes));
  std::string key = section->Key();
  if (sections_.count(key))
    return nullptr;
  file_names_.push_back(file_name);
  return (sections_[key] = std::move(section)).get();
}

TPixelFontSection* TPixelFontManager::Find(const std::string& face, int size, uint8_t style) const {
  auto it = sections_.find(PackedFontKey(face, size, style));
  return it == sections_.end() ? nullptr : it->second.get();
}

std::vector<const TPixelFontSection*> TPixelFontManager::Sections() const {
  std::vector<const TPixelFontSection*> out;
  for (const auto& [key, s] : sections_)
    out.push_back(s.get());
  return out;
}

void TPixelFontManager::Clear() {
  sections_.clear();
  file_names_.clear();
}

} // namespace nova
