// SPDX-License-Identifier: MIT
#include "text/font_pixel_manager.h"

#include <algorithm>
#include <cstring>

#include "base/nova_error.h"
#include "base/nova_error_english.h"
#include "text/coverage_tables.h"
#include "text/private/glyph_outline.h"
#include "text/private/sjis_unicode.h"
#include "text/text_messages.h"

namespace nova {

namespace {

// Code, style, level and size in one word: a hit compares it before the face name.
uint64_t GlyphKey(uint16_t code, uint8_t style, int level, int size) {
  return code | static_cast<uint64_t>(style) << 16 | static_cast<uint64_t>(level & 0xFF) << 24 |
         static_cast<uint64_t>(static_cast<uint32_t>(size)) << 32;
}

// Face names are short: compared in two overlapping words each, without a library call.
bool SameName(const std::string& a, const std::string& b) {
  const size_t n = a.size();
  if (n != b.size())
    return false;
  const char* p = a.data();
  const char* q = b.data();
  if (n >= 8 && n <= 16) {
    uint64_t p0, p1, q0, q1;
    std::memcpy(&p0, p, 8);
    std::memcpy(&q0, q, 8);
    std::memcpy(&p1, p + n - 8, 8);
    std::memcpy(&q1, q + n - 8, 8);
    return ((p0 ^ q0) | (p1 ^ q1)) == 0;
  }
  return std::memcmp(p, q, n) == 0;
}

} // namespace

TFontPixelManager::TFontPixelManager(std::vector<InstalledFace> faces,
                                     std::unique_ptr<GlyphRasterizer> rasterizer,
                                     TPixelFontManager* packed)
    : rasterizer_(std::move(rasterizer)), packed_(packed), glyphs_(kCapacity),
      outlines_(kCapacity) {
  for (InstalledFace& f : faces)
    installed_.emplace(f.name, std::move(f));
  buckets_.fill(-1);
  // Every byte a rasteriser may hand back has an entry; values above a level's range saturate.
  for (int level = 0; level < 4; ++level) {
    const std::span<const uint8_t> table = CoverageTable(level);
    for (size_t v = 0; v < 256; ++v)
      coverage_[level][v] = table[std::min(v, table.size() - 1)];
  }
}

TFontPixelManager::~TFontPixelManager() = default;

uint32_t TFontPixelManager::FindName(const std::string& name) {
  if (last_name_ != kNoName && SameName(names_[last_name_], name))
    return last_name_;
  for (uint32_t i = 0; i < names_.size(); ++i) {
    if (SameName(names_[i], name))
      return last_name_ = i;
  }
  return kNoName;
}

uint32_t TFontPixelManager::AcquireName(const std::string& name) {
  uint32_t id = FindName(name);
  if (id == kNoName) {
    id = 0;
    while (id < names_.size() && name_uses_[id] > 0)
      ++id;
    if (id == names_.size()) {
      names_.emplace_back();
      name_uses_.push_back(0);
    }
    names_[id] = name;
    last_name_ = id;
  }
  ++name_uses_[id];
  return id;
}

const TFontPixel& TFontPixelManager::GetGlyph(uint16_t code, const std::string& font_name,
                                              uint8_t style, int size) {
  const uint32_t name = last_name_ != kNoName && SameName(names_[last_name_], font_name)
                            ? last_name_
                            : FindName(font_name);
  if (name != kNoName) {
    const uint64_t key = GlyphKey(code, style, level_, size);
    for (int i = buckets_[code & 0xFF]; i >= 0; i = slots_[i].bucket_next) {
      if (slots_[i].key == key && slots_[i].name == name) {
        used_[i] = ++clock_;
        return glyphs_[i];
      }
    }
  }
  return glyphs_[Insert(code, font_name, style, size)];
}

int TFontPixelManager::Insert(uint16_t code, const std::string& name, uint8_t style, int size) {
  // Fail before touching the cache, so that a failed request leaves no empty glyph behind.
  const InstalledFace* face = FindInstalledFont(name);
  const TPixelFontSection* section = !face && packed_ ? packed_->Find(name, size, style) : nullptr;
  if (!face && !section)
    FaceOrStandard(name);
  int i;
  if (count_ < kCapacity) {
    i = static_cast<int>(count_++);
  } else {
    // The least recently used glyph makes room; its record is reused.
    i = static_cast<int>(std::min_element(used_.begin(), used_.end()) - used_.begin());
    int16_t* link = &buckets_[glyphs_[i].code & 0xFF];
    while (*link != i)
      link = &slots_[*link].bucket_next;
    *link = slots_[i].bucket_next;
    --name_uses_[slots_[i].name];
  }
  Slot& s = slots_[i];
  s.key = GlyphKey(code, style, level_, size);
  s.name = AcquireName(name);
  outlines_[i].reset();
  TFontPixel& g = glyphs_[i];
  g.code = code;
  g.font_name = name;
  g.style = style;
  g.size = size;
  g.level = level_;
  int16_t* bucket = &buckets_[code & 0xFF];
  s.bucket_next = *bucket;
  *bucket = static_cast<int16_t>(i);
  used_[i] = ++clock_;
  Fill(g, face, section);
  return i;
}

GlyphAdvance TFontPixelManager::Metrics(uint16_t code, const std::string& font_name, uint8_t style,
                                        int size) {
  const TFontPixel& g = GetGlyph(code, font_name, style, size);
  return {g.width, g.x_offset, g.extra_advance};
}

const InstalledFace& TFontPixelManager::FaceOrStandard(const std::string& name) const {
  if (auto it = installed_.find(name); it != installed_.end())
    return it->second;
  if (auto it = installed_.find(TextTexts().ms_gothic); it != installed_.end())
    return it->second;
  throw ENovaErrorWithEnglish(TextTexts().no_standard_font,
                              "Neither the font " + name + " nor the standard font is installed.");
}

bool TFontPixelManager::SelectFace(const InstalledFace& face, int size, uint8_t style) {
  const uint8_t font_style = style & (kStyleBold | kStyleItalic);
  if (&face == selected_face_ && size == selected_size_ && font_style == selected_style_)
    return selected_ok_;
  selected_face_ = &face;
  selected_size_ = size;
  selected_style_ = font_style;
  selected_ok_ = rasterizer_->Select(
      face.file, face.face_index, face.bold_face, size,
      style & kStyleBold ? FontWeight::kBold : FontWeight::kRegular,
      style & kStyleItalic ? FontSlant::kItalic : FontSlant::kUpright, face.cell_ascent);
  return selected_ok_;
}

void TFontPixelManager::Fill(TFontPixel& g, const InstalledFace* face,
                             const TPixelFontSection* section) {
  ++misses_;
  g.bitmap.clear();
  g.width = g.height = 0;
  g.x_offset = g.y_offset = g.underline_size = g.strike_position = g.strike_size = 0;
  g.extra_advance = 0;
  if (!face && section && FillPacked(g, *section))
    return;
  FillInstalled(g, face ? *face : FaceOrStandard(g.font_name));
}

bool TFontPixelManager::FillPacked(TFontPixel& g, const TPixelFontSection& section) {
  const TPixelFontRecord* rec = section.Find(g.code);
  if (!rec || !section.ReadBitmap(*rec, g.bitmap))
    return false;
  const PackedFontMetrics& m = section.metrics();
  g.width = rec->width;
  g.height = rec->height;
  g.x_offset = std::max(0, static_cast<int>(rec->origin_x));
  g.y_offset = std::max(0, m.ascent - rec->origin_y);
  g.extra_advance = std::max(0, rec->cell_advance_x - g.width - g.x_offset);
  if (g.style & kStyleUnderline)
    g.underline_size = m.underscore_size;
  if (g.style & kStyleStrike) {
    g.strike_position = m.ascent - m.strike_position;
    g.strike_size = m.strike_size;
  }
  return true;
}

void TFontPixelManager::FillInstalled(TFontPixel& g, const InstalledFace& face) {
  if (g.size <= 0 || !SelectFace(face, g.size, g.style))
    return;
  const uint32_t unicode = SjisCodeToUnicode(g.code);
  RasterGlyph& raster = raster_; // its pixel buffer is reused from miss to miss
  if (!rasterizer_->Render(unicode, level_, raster)) {
    // A face without the character borrows it from the standard face, as font linking would.
    const InstalledFace* standard = nullptr;
    if (auto it = installed_.find(TextTexts().ms_gothic); it != installed_.end())
      standard = &it->second;
    if (!standard || standard == &face || !SelectFace(*standard, g.size, g.style) ||
        !rasterizer_->Render(unicode, level_, raster))
      return;
  }
  const RasterFontMetrics& m = rasterizer_->Metrics();
  if (g.style & kStyleUnderline)
    g.underline_size = m.underline_size;
  if (g.style & kStyleStrike) {
    g.strike_position = m.ascent - m.strike_position;
    g.strike_size = m.strike_size;
  }
  if (raster.width == 0 || raster.height == 0) {
    g.extra_advance = raster.advance;
    return;
  }
  g.width = raster.width;
  g.height = raster.height;
  g.x_offset = std::max(0, raster.origin_x);
  g.y_offset = std::max(0, m.ascent - raster.origin_y);
  g.extra_advance =
      g.width + g.x_offset < raster.advance ? raster.advance - g.width - g.x_offset : 0;
  // Mapped in place, then the buffers trade places: the rasteriser refills the glyph's old one.
  const std::array<uint8_t, 256>& table = coverage_[level_];
  for (uint8_t& v : raster.pixels)
    v = table[v];
  std::swap(g.bitmap, raster.pixels);
}

AbcWidths TFontPixelManager::Abc(uint16_t code, const std::string& font_name, uint8_t style,
                                 int size) {
  if (size <= 0 || !SelectFace(FaceOrStandard(font_name), size, style))
    return {};
  return rasterizer_->Abc(SjisCodeToUnicode(code));
}

const InstalledFace* TFontPixelManager::FindInstalledFont(const std::string& name) const {
  auto it = installed_.find(name);
  return it == installed_.end() ? nullptr : &it->second;
}

uint8_t TFontPixelManager::CharsetOfFont(const std::string& name) const {
  const InstalledFace* f = FindInstalledFont(name);
  return f ? f->charset : 1;
}

void TFontPixelManager::FontList(std::vector<std::string>& out, bool fixed_only) const {
  std::vector<std::string> names;
  for (const auto& [name, face] : installed_)
    if (!fixed_only || face.fixed_pitch)
      names.push_back(name);
  std::sort(names.begin(), names.end());
  out.insert(out.end(), names.begin(), names.end());
  if (!packed_)
    return;
  for (const TPixelFontSection* s : packed_->Sections())
    if (s->listed() && std::find(out.begin(), out.end(), s->face_name()) == out.end())
      out.push_back(s->face_name());
}

std::string TFontPixelManager::FontNamesText(bool fixed_only) const {
  std::vector<std::string> names;
  FontList(names, fixed_only);
  std::string out;
  for (const std::string& n : names) {
    if (!out.empty())
      out += "\r\n";
    out += n;
  }
  return out;
}

void TFontPixelManager::KeepStandardFontsOnly() {
  const TextMessages& t = TextTexts();
  std::erase_if(installed_, [&](const auto& kv) {
    return kv.first != t.ms_pgothic && kv.first != t.ms_pmincho && kv.first != t.ms_gothic &&
           kv.first != t.ms_mincho;
  });
  selected_face_ = nullptr;
  selected_ok_ = false;
}

namespace {
std::unique_ptr<TPixelFontManager>& PixelFontsSlot() {
  static std::unique_ptr<TPixelFontManager> slot;
  return slot;
}
std::unique_ptr<TFontPixelManager>& FontPixelsSlot() {
  static std::unique_ptr<TFontPixelManager> slot;
  return slot;
}
} // namespace

TPixelFontManager& PixelFonts() {
  auto& slot = PixelFontsSlot();
  if (!slot)
    slot = std::make_unique<TPixelFontManager>();
  return *slot;
}

TFontPixelManager& FontPixels() {
  auto& slot = FontPixelsSlot();
  if (!slot) {
    std::vector<FaceSubstitute> subs = ReadFaceSubstitutes(UserFaceSubstitutesPath());
    const auto& builtin = BuiltinFaceSubstitutes();
    subs.insert(subs.end(), builtin.begin(), builtin.end());
    slot = std::make_unique<TFontPixelManager>(EnumerateInstalledFaces(subs),
                                               CreateFreeTypeRasterizer(), &PixelFonts());
  }
  return *slot;
}

void ResetFontPixels() {
  FontPixelsSlot().reset();
  PixelFontsSlot().reset();
}

} // namespace nova
