// SPDX-License-Identifier: MIT
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace nova {

// One glyph of a packed font as stored in its index.
struct TPixelFontRecord {
  uint16_t width = 0;
  uint16_t height = 0;
  int16_t origin_x = 0;
  int16_t origin_y = 0;
  int16_t cell_advance_x = 0;
  int16_t cell_advance_y = 0;
  uint32_t offset = 0; // from the start of the glyph data
};

// The font-wide values the glyph cache takes from the stored OUTLINETEXTMETRIC.
struct PackedFontMetrics {
  int ascent = 0;
  int strike_size = 0;
  int strike_position = 0;
  int underscore_size = 0;
};

// One ".nft" file: pre-rasterised glyphs of one face, size and style.
class TPixelFontSection {
public:
  // Parses the file's bytes; throws ENovaError naming `file_name` when they are damaged.
  TPixelFontSection(std::string file_name, std::vector<uint8_t> bytes);

  const std::string& file_name() const { return file_name_; }
  const std::string& face_name() const { return face_name_; } // Shift-JIS
  int size() const { return size_; }
  bool bold() const { return style_ & 1; }
  bool italic() const { return style_ & 2; }
  bool listed() const { return listed_; }
  const PackedFontMetrics& metrics() const { return metrics_; }
  // "%s_%d_%d_%d": face, size, bold bit, italic bit.
  std::string Key() const;

  const TPixelFontRecord* Find(uint16_t code) const;
  // Coverage of a glyph, top row first, width x height bytes; false when its data lies outside
  // the file.
  bool ReadBitmap(const TPixelFontRecord& record, std::vector<uint8_t>& out) const;

private:
  std::string file_name_;
  std::vector<uint8_t> bytes_;
  std::string face_name_;
  int size_ = 0;
  uint8_t style_ = 0;
  bool listed_ = false;
  PackedFontMetrics metrics_;
  size_t data_start_ = 0;
  std::vector<TPixelFontRecord> records_;
  std::vector<uint16_t> code_table_; // 65,536 entries, 0xFFFF = no glyph
};

// What a packed font file holds, for writing one.
struct PackedFontGlyph {
  uint16_t code = 0;
  TPixelFontRecord record;       // offset is filled in by the writer
  std::vector<uint8_t> coverage; // width x height, top row first
};
struct PackedFontContent {
  std::string face_name; // Shift-JIS, at most 63 bytes
  int size = 0;
  uint8_t style = 0; // bit 0 bold, bit 1 italic
  bool listed = true;
  PackedFontMetrics metrics;
  std::vector<PackedFontGlyph> glyphs;
};
// The bytes of a ".nft" file.
std::vector<uint8_t> WritePackedFont(const PackedFontContent& content);

// The key of a request: style bits other than bold and italic do not count.
std::string PackedFontKey(const std::string& face, int size, uint8_t style);

// Every registered packed font, by section key.
class TPixelFontManager {
public:
  // Larger files are no packed font.
  static constexpr size_t kMaxFileBytes = size_t{128} << 20;

  // Registers a file read from the file system. Returns the new section, or nullptr when the
  // file name or the section key is registered already. Throws on a damaged file, naming it by
  // `file_name` (the name in the title of a work copy), or by `path` when that is empty.
  TPixelFontSection* Register(const std::string& path, const std::string& file_name = {});
  // Same, for bytes already in memory (`file_name` names them in errors).
  TPixelFontSection* RegisterBytes(const std::string& file_name, std::vector<uint8_t> bytes);
  TPixelFontSection* Find(const std::string& face, int size, uint8_t style) const;
  // Sections in key order.
  std::vector<const TPixelFontSection*> Sections() const;
  void Clear();

private:
  std::map<std::string, std::unique_ptr<TPixelFontSection>> sections_;
  std::vector<std::string> file_names_;
};

} // namespace nova
