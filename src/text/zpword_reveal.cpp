// SPDX-License-Identifier: MIT
// Revealing a page over time: waits, fade-in, events, caret, animated images; links under the
// pointer.
#include <algorithm>
#include <cmath>

#include "text/private/text_limits.h"
#include "text/zpword.h"

namespace nova {
int TZpWord::PageScreenY(const TWdPage& page) const {
  return settings.paging ? settings.origin_y : settings.origin_y - page.scroll;
}

TextRect TZpWord::GlyphPageRect(const TWdGlyph& g) const {
  const int ry = g.row ? g.row->y : 0;
  return {g.x, ry + g.y, g.x + g.width, ry + g.y + g.height};
}

TextRect TZpWord::GlyphScreenRect(const TWdPage& page, const TWdGlyph& g) const {
  return GlyphPageRect(g).Offset(settings.origin_x, PageScreenY(page));
}

void TZpWord::ResetReveal(TWdPage& page) const {
  page.current_row = 0;
  page.current_glyph = 0;
  page.delay = 0;
  page.fade_accumulator = 0;
  page.skip_ticks = settings.fade_time > 0 ? 1 : 0;
  page.done = false;
  page.event_just_fired = false;
  page.pending_events.clear();
  page.fading.clear();
  for (TWdImg* img : page.animated)
    img->StopAnimation();
  page.animated.clear();
}

void TZpWord::Redraw(TWdPage& page, TWdGlyph& g) {
  if (!g.IsVisible())
    return;
  const bool character = g.Kind() == kKindChar;
  TextRect r = character ? static_cast<TWdReal&>(g).drawn : GlyphPageRect(g);
  if (character && r.Empty())
    return;
  dirty_.push_back(r.Offset(settings.origin_x, PageScreenY(page)));
}

RevealResult TZpWord::RevealTick(TWdPage& page, int a) {
  RevealResult result;
  dirty_.clear();
  const int rows = static_cast<int>(page.rows.size());
  if (!page.done && page.current_row >= rows && page.fading.empty()) {
    page.done = true;
    result.just_completed = true;
  }
  if (page.skip_ticks > 0) {
    --page.skip_ticks;
    return result;
  }
  if (page.current_row < rows && !settings.paused && page.pending_events.empty()) {
    if (page.current_row == 0 && page.current_glyph == 0) {
      page.delay = 0;
      page.fade_accumulator = 0;
      a = 0;
    } else if (page.event_just_fired) {
      page.event_just_fired = false;
      a = 0;
    }
    a = std::clamp(a, 0, 86'400'000);
    page.delay -= a;
    while (page.current_row < rows && page.delay <= 0) {
      TWdRow& row = *page.rows[page.current_row];
      if (settings.page_height > 0 && row.y - page.scroll >= settings.page_height)
        break;
      if (page.current_glyph >= static_cast<int>(row.glyphs.size())) {
        ++page.current_row;
        page.current_glyph = 0;
        continue;
      }
      TWdGlyph& g = *row.glyphs[page.current_glyph];
      const GlyphKind kind = g.Kind();
      g.SetAlpha(0);
      // Waits come from title data: summed in 64 bits and kept within a day.
      const int64_t wait = g.Wait();
      int64_t delay = page.delay;
      if (wait >= 0)
        delay += wait * std::max(0, settings.speed) / 256;
      else if (settings.speed >= 0)
        delay -= wait;
      page.delay = static_cast<int32_t>(std::min<int64_t>(delay, 86'400'000));
      page.fading.push_back(&g);
      if (kind == kKindImg && static_cast<TWdImg&>(g).IsAnimated()) {
        auto& img = static_cast<TWdImg&>(g);
        img.StartAnimation();
        page.animated.push_back(&img);
      }
      // Advance, skipping exhausted rows, and put the caret on what comes next.
      ++page.current_glyph;
      while (page.current_row < rows &&
             page.current_glyph >= static_cast<int>(page.rows[page.current_row]->glyphs.size())) {
        ++page.current_row;
        page.current_glyph = 0;
      }
      TWdGlyph* next = page.current_row < rows
                           ? page.rows[page.current_row]->glyphs[page.current_glyph]
                           : nullptr;
      if (next) {
        settings.caret_x = GlyphScreenRect(page, *next).left - settings.origin_x;
        settings.caret_y = page.rows[page.current_row]->y + PageScreenY(page) - settings.origin_y;
        caret_height = page.rows[page.current_row]->height;
      } else {
        settings.caret_x = GlyphScreenRect(page, g).right - settings.origin_x;
        settings.caret_y = row.y + PageScreenY(page) - settings.origin_y;
        caret_height = row.height;
      }
      if (kind == kKindEvent) {
        if (!settings.events_on)
          continue;
        auto& e = static_cast<TWdOpeEvent&>(g);
        if (!page.pending_events.empty())
          page.pending_events += '\t';
        page.pending_events += e.value;
        page.event_just_fired = true;
        if (e.end || !next || next->Kind() != kKindEvent)
          break;
      } else if (kind == kKindChar) {
        result.revealed_text += g.CharText();
      } else if (kind == kKindImg) {
        result.revealed_text += '*';
      }
    }
  }
  page.fade_accumulator += std::clamp(a, 0, 1 << 20) * 256;
  const int step = settings.fade_time > 0 ? page.fade_accumulator / settings.fade_time : 255;
  if (step > 0) {
    page.fade_accumulator %= std::max(settings.fade_time, 1);
    for (TWdGlyph* g : page.fading) {
      g->SetAlpha(g->Alpha() + std::min(step, 255));
      Redraw(page, *g);
    }
    std::erase_if(page.fading, [](const TWdGlyph* g) { return g->Alpha() > 254; });
  }
  for (TWdImg* img : page.animated) {
    if (img->AnimationStep(std::clamp(a, 0, kMaxFrameTimeMs)))
      Redraw(page, *img);
  }
  if (!page.pending_events.empty() && page.fading.empty()) {
    std::string events = std::move(page.pending_events);
    page.pending_events.clear();
    size_t start = 0;
    while (true) {
      size_t tab = events.find('\t', start);
      if (event_sink)
        event_sink(events.substr(start, tab == std::string::npos ? tab : tab - start));
      if (tab == std::string::npos)
        break;
      start = tab + 1;
    }
  }
  return result;
}

bool TZpWord::CanContinue(const TWdPage& page) const {
  const int rows = static_cast<int>(page.rows.size());
  if (!page.fading.empty())
    return true;
  if (settings.paging)
    return page.current_row < rows && !settings.paused;
  if (page.current_row >= rows)
    return false;
  const TWdRow& row = *page.rows[page.current_row];
  return row.y + row.height - page.scroll <= settings.page_height;
}

void TZpWord::SaveRevealState(const TWdPage& page, BinaryWriter& w) const {
  w.I32(page.scroll);
  w.I32(page.current_row);
  w.I32(page.current_glyph);
  w.Bool(page.done);
  w.String(page.pending_events);
  for (const auto& row : page.rows)
    for (const TWdGlyph* g : row->glyphs) {
      if (!g->IsVisible())
        continue;
      const bool fading = std::find(page.fading.begin(), page.fading.end(), g) != page.fading.end();
      w.I32(fading ? 255 : g->Alpha());
    }
}

void TZpWord::LoadRevealState(TWdPage& page, BinaryReader& r) {
  page.scroll = r.I32();
  page.current_row = std::max(0, r.I32());
  page.current_glyph = std::max(0, r.I32());
  page.done = r.Bool();
  page.pending_events = r.String();
  page.fading.clear();
  page.animated.clear();
  for (auto& row : page.rows)
    for (TWdGlyph* g : row->glyphs) {
      if (!g->IsVisible())
        continue;
      g->SetAlpha(r.I32());
      if (g->Kind() == kKindImg && g->Alpha() > 0 && static_cast<TWdImg*>(g)->IsAnimated()) {
        static_cast<TWdImg*>(g)->StartAnimation();
        page.animated.push_back(static_cast<TWdImg*>(g));
      }
    }
}

void TZpWord::StartFadeOut(TWdGlyph& glyph, int duration_ms) {
  if (!glyph.IsVisible())
    return;
  auto& g = static_cast<TWdReal&>(glyph);
  g.fade_duration = duration_ms;
  g.fade_elapsed = 0;
  g.fade_start_alpha = g.Alpha();
}

bool TZpWord::AdvanceFadeOut(TWdGlyph& glyph, int elapsed_ms) {
  if (!glyph.IsVisible())
    return true;
  auto& g = static_cast<TWdReal&>(glyph);
  g.fade_elapsed += elapsed_ms;
  if (g.fade_elapsed < g.fade_duration) {
    const double gone = static_cast<double>(g.fade_elapsed) / g.fade_duration * g.fade_start_alpha;
    g.SetAlpha(g.fade_start_alpha - static_cast<int>(std::nearbyint(gone)));
    return false;
  }
  g.SetAlpha(0);
  return true;
}

TWdGlyph* TZpWord::HitTest(TWdPage& page, int sx, int sy) const {
  const int px = sx - settings.origin_x;
  const int py = sy - settings.origin_y + (settings.paging ? 0 : page.scroll);
  const int visible_y = sy - settings.origin_y;
  if (px < 0 || visible_y < 0 || (settings.wrap_width > 0 && px >= settings.wrap_width) ||
      (settings.page_height > 0 && visible_y >= settings.page_height))
    return nullptr;
  for (auto& row : page.rows) {
    if (py < row->y || py >= row->y + row->height)
      continue;
    for (TWdGlyph* g : row->glyphs)
      if (g->IsVisible() && g->Alpha() > 254 && GlyphPageRect(*g).Contains(px, py))
        return g;
  }
  for (auto& row : page.rows)
    for (TWdGlyph* g : row->glyphs)
      if (g->Kind() == kKindImg && GlyphPageRect(*g).Contains(px, py))
        return g;
  return nullptr;
}

namespace {

// The glyphs of the link run that contains `g` within its row list.
std::vector<TWdGlyph*> LinkRun(const TWdPage& page, const TWdGlyph* g) {
  std::vector<TWdGlyph*> flat;
  for (const auto& row : page.rows)
    flat.insert(flat.end(), row->glyphs.begin(), row->glyphs.end());
  auto it = std::find(flat.begin(), flat.end(), g);
  if (it == flat.end())
    return {};
  const std::string& link = g->Link();
  auto same = [&](const TWdGlyph* x) {
    return !x->IsLineBreak() && x->IsVisible() && x->Link() == link;
  };
  auto b = it;
  while (b != flat.begin() && same(*(b - 1)))
    --b;
  auto e = it + 1;
  while (e != flat.end() && same(*e))
    ++e;
  return {b, e};
}

} // namespace

void TZpWord::Hover(TWdPage& page, int sx, int sy) {
  TWdGlyph* hit = HitTest(page, sx, sy);
  if (hit && hit->Link().empty())
    hit = nullptr;
  std::vector<TWdGlyph*> run = hit ? LinkRun(page, hit) : std::vector<TWdGlyph*>{};
  TWdGlyph* first = run.empty() ? nullptr : run.front();
  if (first == hover_)
    return;
  if (hover_)
    for (TWdGlyph* g : LinkRun(page, hover_)) {
      static_cast<TWdReal*>(g)->hover = 0;
      RenderGlyph(page, *g);
    }
  hover_ = first;
  for (TWdGlyph* g : run) {
    static_cast<TWdReal*>(g)->hover = 1;
    RenderGlyph(page, *g);
  }
}

std::string TZpWord::LinkText(const TWdPage& page) const {
  std::string out;
  if (!hover_)
    return out;
  for (const TWdGlyph* g : LinkRun(page, hover_))
    out += g->CharText();
  return out;
}

} // namespace nova
