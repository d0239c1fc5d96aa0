// SPDX-License-Identifier: MIT
#include "text/font_pixel_manager.h"

#include <algorithm>

#include "base/nova_error.h"
#include "text/coverage_tables.h"
#include "text/private/sjis_unicode.h"
#include "text/text_messages.h"

namespace nova {

struct TFontPixelManager::Entry {
  TFontPixel glyph;
  Entry* bucket_next = nullptr;
  Entry* prev = nullptr; // towards the most recently used
  Entry* next = nullptr;
};

TFontPixelManager::TFontPixelManager(std::vector<InstalledFace> faces,
                                     std::unique_ptr<GlyphRasterizer> rasterizer,
                                     TPixelFontManager* packed)
    : rasterizer_(std::move(rasterizer)), packed_(packed) {
  for (InstalledFace& f : faces)
    installed_.emplace(f.name, std::move(f));
  pool_.reserve(kCapacity + 1);
}

TFontPixelManager::~TFontPixelManager() = default;

void TFontPixelManager::Unlink(Entry* e) {
  (e->prev ? e->prev->next : head_) = e->next;
  (e->next ? e->next->prev : tail_) = e->prev;
  e->prev = e->next = nullptr;
}

void TFontPixelManager::PushFront(Entry* e) {
  e->prev = nullptr;
  e->next = head_;
  (head_ ? head_->prev : tail_) = e;
  head_ = e;
}

TFontPixelManager::Entry* TFontPixelManager::Lookup(uint16_t code, const std::string& name,
                                                    uint8_t style, int size) {
  Entry** bucket = &buckets_[code & 0xFF];
  for (Entry* e = *bucket; e; e = e->bucket_next) {
    const TFontPixel& g = e->glyph;
    if (g.code == code && g.size == size && g.style == style && g.level == level_ &&
        g.font_name == name) {
      if (e != head_) {
        Unlink(e);
        PushFront(e);
      }
      return e;
    }
  }
  // Fail before touching the cache, so that a failed request leaves no empty glyph behind.
  if (!installed_.count(name) && !(packed_ && packed_->Find(name, size, style)))
    FaceOrStandard(name);
  Entry* e;
  if (count_ < kCapacity) {
    pool_.push_back(std::make_unique<Entry>());
    e = pool_.back().get();
    ++count_;
  } else {
    // The least recently used glyph makes room; its record is reused.
    e = tail_;
    Unlink(e);
    Entry** link = &buckets_[e->glyph.code & 0xFF];
    while (*link != e)
      link = &(*link)->bucket_next;
    *link = e->bucket_next;
  }
  e->glyph.code = code;
  e->glyph.font_name = name;
  e->glyph.style = style;
  e->glyph.size = size;
  e->glyph.level = level_;
  e->bucket_next = *bucket;
  *bucket = e;
  PushFront(e);
  Fill(*e);
  return e;
}

const TFontPixel& TFontPixelManager::GetGlyph(uint16_t code, const std::string& font_name,
                                              uint8_t style, int size) {
  return Lookup(code, font_name, style, size)->glyph;
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
  throw ENovaError(TextTexts().no_standard_font);
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

void TFontPixelManager::Fill(Entry& e) {
  ++misses_;
  TFontPixel& g = e.glyph;
  g.bitmap.clear();
  g.width = g.height = 0;
  g.x_offset = g.y_offset = g.underline_size = g.strike_position = g.strike_size = 0;
  g.extra_advance = 0;
  if (!installed_.count(g.font_name) && FillPacked(e))
    return;
  FillInstalled(e, FaceOrStandard(g.font_name));
}

bool TFontPixelManager::FillPacked(Entry& e) {
  TFontPixel& g = e.glyph;
  const TPixelFontSection* section =
      packed_ ? packed_->Find(g.font_name, g.size, g.style) : nullptr;
  const TPixelFontRecord* rec = section ? section->Find(g.code) : nullptr;
  if (!rec || !section->ReadBitmap(*rec, g.bitmap))
    return false;
  const PackedFontMetrics& m = section->metrics();
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

void TFontPixelManager::FillInstalled(Entry& e, const InstalledFace& face) {
  TFontPixel& g = e.glyph;
  if (g.size <= 0 || !SelectFace(face, g.size, g.style))
    return;
  const uint32_t unicode = SjisCodeToUnicode(g.code);
  RasterGlyph raster;
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
  const std::span<const uint8_t> table = CoverageTable(level_);
  g.bitmap.resize(raster.pixels.size());
  for (size_t i = 0; i < raster.pixels.size(); ++i)
    g.bitmap[i] = table[std::min<size_t>(raster.pixels[i], table.size() - 1)];
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
