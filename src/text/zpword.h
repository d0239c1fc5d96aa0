// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "text/decorate.h"
#include "text/glyphs.h"
#include "text/text_host.h"
#include "text/text_surfaces.h"

namespace nova {

class TFontPixelManager;

// One laid-out line. Glyph positions are relative to it; its own x is 0.
class TWdRow {
public:
  int y = 0;
  int height = 0;
  int content_width = 0;
  int width = 0; // start x + content width after arranging
  int left = 0;
  int right = 0;
  uint8_t align = kAlignLeft;
  std::vector<TWdGlyph*> glyphs;    // the indent space first when there is one
  std::unique_ptr<TWdSpace> indent; // owned here
  int char_height = 0;              // running maxima for the row height
  int center_image = 0;
  int top_image = 0;
  int bottom_image = 0;
};

// A page of rows with its reveal state.
class TWdPage {
public:
  std::vector<std::unique_ptr<TWdRow>> rows;
  int height = 0; // the largest row bottom
  int32_t scroll = 0;
  int32_t delay = 0;
  int32_t current_row = 0;
  int32_t current_glyph = 0;
  int32_t skip_ticks = 0;
  std::string pending_events;
  int32_t fade_accumulator = 0;
  std::vector<TWdGlyph*> fading;
  std::vector<TWdImg*> animated; // revealed images of several frames
  bool event_just_fired = false;
  bool done = false;
};

using PageList = std::vector<std::unique_ptr<TWdPage>>;

// What one reveal tick reports.
struct RevealResult {
  bool just_completed = false;
  std::string revealed_text; // characters shown in this tick, "*" per image
};

// Settings of a glyph list, in the order of their stream.
struct ZpWordSettings {
  int32_t origin_x = 0;
  int32_t origin_y = 0;
  int32_t default_size = 12;
  std::string default_font; // "ＭＳ ゴシック" unless set
  int32_t default_color = 0;
  int32_t page_height = 0;
  int32_t wrap_width = 0;
  int32_t level = 3;
  int32_t line_spacing = 0;
  bool paging = true;
  int32_t link_color = 0xFF0000;
  int32_t hover_color = 0x008000;
  int32_t fade_time = 1;
  int32_t default_border_color = 0x808080;
  int32_t image_opacity = 255;
  bool paused = false;
  int32_t caret_x = 0;
  int32_t caret_y = 0;
  int32_t speed = 0;
  bool events_on = false;
  int32_t default_shadow_color = 0;
  int32_t default_border = 0;
  int32_t default_shadow = 0;
  bool fixed_cell = true;
};

// A formatted text: its glyph list and decorations (markup, glyph-list streams, variables), and
// the layout, reveal and drawing of its pages. The owner is a message box or the history.
class TZpWord {
public:
  TZpWord();
  ~TZpWord();
  TZpWord(const TZpWord&) = delete;
  TZpWord& operator=(const TZpWord&) = delete;

  // ---- glyph list ----
  void Clear();
  // Clears, then builds the glyph list from markup lines (joined by CR). `text_delay_ms` is the
  // wait of characters outside WAIT tags (@TextDelay). Throws "<A>タグにHREF値がありません" for
  // an A tag without HREF, keeping the glyphs made so far.
  void Parse(const std::vector<std::string>& lines, int text_delay_ms = 0);
  // Appends the decorations and glyphs of a glyph-list stream (callers Clear first). Damaged
  // streams throw ENovaError naming `reader.what()`.
  void LoadGlyphs(BinaryReader& reader);
  // Writes the whole list in the current format (version 102).
  void SaveGlyphs(BinaryWriter& writer) const;

  size_t GlyphCount() const { return glyphs_.size(); }
  TWdGlyph* GlyphAt(int index) const;
  int IndexOf(const TWdGlyph* glyph) const;
  void InsertGlyph(int index, std::unique_ptr<TWdGlyph> glyph);
  void DeleteGlyph(int index);
  void AppendGlyph(std::unique_ptr<TWdGlyph> glyph) { glyphs_.push_back(std::move(glyph)); }
  TDecorateList& decorations() { return decorations_; }
  const TDecorateList& decorations() const { return decorations_; }

  // Expands VAR glyphs (and HISTCHAR glyphs when `history`) from `last` down to `first`
  // (last −1 or out of range = the last glyph).
  void ExpandVariables(int first, int last, bool history);
  void CollapseVariables(int first, int last);
  // Appends copies of `source` glyphs first..last (−1 = to the end).
  void CopyGlyphs(const TZpWord& source, int first, int last);
  int CharPositionOfGlyph(const TWdGlyph* glyph) const;
  int GlyphAtCharPosition(int position) const;
  // Lines "source=value" for the history's replay; see CollectReplayValues.
  std::vector<std::string>& replay_values() { return replay_values_; }
  std::vector<std::string> CollectReplayValues() const;
  // The characters of the whole list as plain text.
  std::string PlainText() const;

  // ---- owner hooks ----
  std::function<void(const std::string&)> event_sink;
  TextExpressionHost* expressions = nullptr; // default: the process-wide host
  TextImageHost* images = nullptr;
  TFontPixelManager* font_pixels = nullptr; // default: the process-wide glyph cache

  // ---- settings ----
  ZpWordSettings settings;
  int caret_height = 0;
  void SaveSettings(BinaryWriter& writer) const;
  void LoadSettings(BinaryReader& reader, int owner_version);

  // ---- layout ----
  void Layout(PageList& pages, int first = 0, int last = -1);

  // ---- reveal ----
  void ResetReveal(TWdPage& page) const;
  RevealResult RevealTick(TWdPage& page, int elapsed_ms);
  bool CanContinue(const TWdPage& page) const;
  void SaveRevealState(const TWdPage& page, BinaryWriter& writer) const;
  void LoadRevealState(TWdPage& page, BinaryReader& reader);
  static void StartFadeOut(TWdGlyph& glyph, int duration_ms);
  static bool AdvanceFadeOut(TWdGlyph& glyph, int elapsed_ms);

  // ---- links ----
  TWdGlyph* HitTest(TWdPage& page, int screen_x, int screen_y) const;
  void Hover(TWdPage& page, int screen_x, int screen_y);
  std::string LinkText(const TWdPage& page) const;
  TWdGlyph* hover_glyph() const { return hover_; }

  // ---- drawing ----
  // Draws every glyph of the page into the work surfaces (`screen_bpp` 15, 16 or 32).
  void Render(TWdPage& page, int screen_bpp = 32);
  // Paints the rows of the page that meet `clip` (screen coordinates).
  void Paint(const TWdPage& page, TextPaintTarget& target, const TextRect& clip) const;
  // Screen rectangles changed by the last tick or hover.
  const std::vector<TextRect>& dirty_rects() const { return dirty_; }
  void ClearDirty() { dirty_.clear(); }
  const TextColorSurface& work_color() const { return work_color_; }
  const CoverageSurface& work_coverage() const { return work_coverage_; }

  // Geometry helpers used by layout, reveal and drawing.
  int PageScreenY(const TWdPage& page) const;
  TextRect GlyphPageRect(const TWdGlyph& g) const;
  TextRect GlyphScreenRect(const TWdPage& page, const TWdGlyph& g) const;

private:
  friend class ZpWordLayout;
  void ExpandOne(int index, bool history);
  void CollapseOne(TWdOpeVar& var);
  void MeasureGlyph(TWdGlyph& g);
  int SpaceHeight() const;
  void RenderGlyph(TWdPage& page, TWdGlyph& g);
  void Redraw(TWdPage& page, TWdGlyph& g);
  TFontPixelManager& Fonts() const;
  TextExpressionHost* Expressions() const;

  TDecorateList decorations_; // declared before the glyphs: they release into it
  std::vector<std::unique_ptr<TWdGlyph>> glyphs_;
  std::vector<std::string> replay_values_;
  TWdGlyph* hover_ = nullptr;
  TextColorSurface work_color_;
  CoverageSurface work_coverage_;
  std::vector<TextRect> dirty_;
  TDecorate measured_decorate_;
  bool have_measured_ = false;
};

// The host that ExpandVariables uses when a glyph list has none of its own.
void SetDefaultTextExpressionHost(TextExpressionHost* host);
TextExpressionHost* DefaultTextExpressionHost();

// Splits text into lines at CR, LF and CR LF, as the message box does before parsing.
std::vector<std::string> SplitTextLines(const std::string& text);

// Markup source to a glyph-list stream (version 102), for text-insert commands of script pages.
// Throws as Parse does.
std::vector<uint8_t> MarkupToGlyphStream(const std::string& markup, int text_delay_ms = 0);
// Recovers markup text from a glyph-list stream (characters, line breaks, and the tags of
// formatting changes), for disassembly. Waits other than `text_delay_ms` become WAIT tags.
// Damaged streams throw as LoadGlyphs does.
std::string GlyphStreamToMarkup(std::span<const uint8_t> stream, const std::string& what,
                                int text_delay_ms = 0);

// Markup and base wait from which MarkupToGlyphStream rebuilds a stream byte for byte.
struct GlyphStreamSource {
  std::string markup;
  int text_delay_ms = 0;
};
// The source of `stream` when markup can say everything it holds, or nothing (streams of older
// versions, damaged streams, characters or values that no markup yields). The base wait is the
// one most glyphs carry, `preferred_delay_ms` when that is as common as any.
std::optional<GlyphStreamSource> RecoverGlyphStreamSource(std::span<const uint8_t> stream,
                                                          int preferred_delay_ms);

} // namespace nova
