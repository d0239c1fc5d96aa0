// SPDX-License-Identifier: MIT
#include "scene/message_history.h"

#include <algorithm>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/serializer.h"
#include "base/sjis.h"
#include "scene/kinds/nova_mes.h"

namespace nova {
namespace {

// A reference entry: name, command, page index, width, height.
constexpr size_t kMinReferenceBytes = 4 + 4 * 4;
// A layout entry: name, command, first, last, height (the text only in newer data).
constexpr size_t kMinEntryBytes = 4 + 4 * 4;
// A history page: its entry count and total height.
constexpr size_t kMinPageBytes = 4 + 4;
// A format: name, six values and the smallest history.
constexpr size_t kMinFormatBytes = 4 + 6 * 4 + 4;
// Histories from this version on keep their references as records, their layout values and
// their laid-out pages; message data holds its layout entries.
constexpr Since kLayoutSaved{113};
// Entries from this version on keep the replay values of their page.
constexpr Since kEntryTextSaved{124};
// Games from this version on hold every history format, before it only the default history.
constexpr Since kFormatsSaved{135};

// Moves the rows of `from` into `to`, shifted down by y; answers the bottom of the last one.
int32_t MoveRows(TWdPage& from, TWdPage& to, int32_t y) {
  int32_t bottom = y;
  for (auto& row : from.rows) {
    row->y += y;
    bottom = row->y + row->height;
    to.height = std::max(to.height, bottom);
    to.rows.push_back(std::move(row));
  }
  from.rows.clear();
  return bottom;
}

void ApplyLayoutValues(TZpWord& engine, const THistoryLayoutValues& v) {
  engine.settings.default_size = v[0];
  engine.settings.default_border = v[1];
  engine.settings.default_shadow = v[2];
  engine.settings.wrap_width = v[3];
  engine.settings.page_height = v[4];
  engine.settings.line_spacing = v[5];
}

} // namespace

int CopyTextRange(TZpWord& engine, const TZpWord& word, int32_t first, int32_t last,
                  const std::string& text, bool history, PageList& pages) {
  const int start = static_cast<int>(engine.GlyphCount());
  int g_first = word.GlyphAtCharPosition(first);
  if (g_first < 0)
    return start;
  const int g_last = last < 0 ? -1 : word.GlyphAtCharPosition(last);
  engine.CopyGlyphs(word, g_first, g_last);
  engine.replay_values() = SplitTextLines(text);
  engine.ExpandVariables(start, -1, history);
  if (static_cast<int>(engine.GlyphCount()) > start)
    engine.Layout(pages, start, -1);
  return start;
}

void PageCharRange(const TZpWord& engine, const TWdPage& page, int32_t base, int32_t& first,
                   int32_t& last) {
  first = last = -1;
  for (const auto& row : page.rows)
    for (const TWdGlyph* g : row->glyphs) {
      if (g->CharCount() == 0)
        continue;
      const int pos = engine.CharPositionOfGlyph(g);
      if (pos < 0)
        continue;
      if (first < 0)
        first = pos;
      last = pos;
    }
  first = first < 0 ? base : base + first;
  last = last < 0 ? -1 : base + last;
}

// ---- parsed-command cache ----

TZpWord* TMesDataCacheList::Find(ITextCommandSource* source, const std::string& page,
                                 int32_t index) {
  auto p = std::find_if(pages_.begin(), pages_.end(),
                        [&](const TMesDataCache& c) { return c.page == page; });
  if (p != pages_.end()) {
    pages_.splice(pages_.begin(), pages_, p);
    auto& words = pages_.front().words;
    auto w = std::find_if(words.begin(), words.end(),
                          [&](const TMesDataCacheWord& c) { return c.index == index; });
    if (w != words.end()) {
      words.splice(words.begin(), words, w);
      return words.front().word.get();
    }
  }
  if (!source)
    return nullptr;
  std::optional<std::string> stream = source->TextCommandStream(page, index);
  if (!stream)
    return nullptr;
  auto word = std::make_unique<TZpWord>();
  try {
    BinaryReader r(std::span(reinterpret_cast<const uint8_t*>(stream->data()), stream->size()),
                   page + " command " + std::to_string(index));
    word->LoadGlyphs(r);
  } catch (const ENovaError&) {
    // A damaged text shows nothing; the rest of the history stays usable.
    return nullptr;
  }
  if (p == pages_.end()) {
    pages_.push_front({page, {}});
    if (pages_.size() > kPages)
      pages_.pop_back();
  }
  auto& words = pages_.front().words;
  words.push_front({index, std::move(word)});
  if (words.size() > kWordsPerPage)
    words.pop_back();
  return words.front().word.get();
}

// ---- reference entries ----

void THistoryOldDataList::Add(const std::string& page, int32_t command, int32_t page_index,
                              int32_t width, int32_t height) {
  THistoryOldData d;
  if (entries_.empty() || !SameTextJ(SourceAt(entries_.size() - 1), page))
    d.name = page;
  d.command = command;
  d.page_index = page_index;
  d.width = width;
  d.height = height;
  entries_.push_back(std::move(d));
}

std::string THistoryOldDataList::SourceAt(size_t i) const {
  for (size_t k = std::min(i + 1, entries_.size()); k-- > 0;)
    if (!entries_[k].name.empty())
      return entries_[k].name;
  return {};
}

void THistoryOldDataList::DropOldest() {
  if (entries_.empty())
    return;
  // The next entry may rely on the dropped one for its page name.
  if (entries_.size() > 1 && entries_[1].name.empty())
    entries_[1].name = entries_[0].name;
  entries_.erase(entries_.begin());
}

void THistoryOldDataList::Sync(TSerializer& s) {
  s.List(entries_, kMinReferenceBytes, "history reference count", [&s](THistoryOldData& d) {
    s.String(d.name);
    for (int32_t* v : {&d.command, &d.page_index, &d.width, &d.height})
      s.I32(*v);
  });
}

void THistoryOldDataList::SyncArrays(TSerializer& s) {
  s.Count(entries_, kMinReferenceBytes, "history reference count");
  for (THistoryOldData& d : entries_)
    s.String(d.name);
  for (THistoryOldData& d : entries_)
    s.I32(d.command);
  for (THistoryOldData& d : entries_)
    s.I32(d.page_index);
  for (THistoryOldData& d : entries_) {
    s.I32(d.width);
    s.I32(d.height);
  }
}

// ---- history pages ----

void TNovaHistData::Add(const std::string& page, int32_t command, int32_t first, int32_t last,
                        int32_t height, std::string text) {
  Entry e;
  if (entries_.empty() || !SameTextJ(SourceAt(entries_.size() - 1), page))
    e.name = page;
  e.command = command;
  e.first = first;
  e.last = last;
  e.height = height;
  e.text = std::move(text);
  entries_.push_back(std::move(e));
  total_height_ += height;
}

std::string TNovaHistData::SourceAt(size_t i) const {
  for (size_t k = std::min(i + 1, entries_.size()); k-- > 0;)
    if (!entries_[k].name.empty())
      return entries_[k].name;
  return {};
}

void TNovaHistData::Clear() {
  entries_.clear();
  total_height_ = 0;
}

void TNovaHistData::Sync(TSerializer& s, const std::string* shown_text) {
  s.List(entries_, kMinEntryBytes, "history entry count", [&s, shown_text](Entry& e) {
    s.String(e.name);
    for (int32_t* v : {&e.command, &e.first, &e.last, &e.height})
      s.I32(*v);
    if (s.Saving() && shown_text) {
      std::string text = *shown_text;
      s.String(text);
    } else {
      s.String(e.text, kEntryTextSaved);
    }
  });
  s.I32(total_height_);
}

// ---- one format's history ----

bool TNovaNewHistory::LayoutStyle() const { return format_.Values()[0] != 0; }

int32_t TNovaNewHistory::Count() const {
  if (!LayoutStyle())
    return static_cast<int32_t>(references_.size());
  int64_t total = 0;
  for (const TNovaHistData& p : pages_)
    total += p.TotalHeight();
  return static_cast<int32_t>(std::clamp<int64_t>(total, INT32_MIN, INT32_MAX));
}

void TNovaNewHistory::SetMaxCount(int32_t n) {
  max_count_ = n;
  Trim();
}

void TNovaNewHistory::Trim() {
  if (max_count_ <= 0)
    return;
  while (references_.size() > static_cast<size_t>(max_count_))
    references_.DropOldest();
  if (pages_.size() > static_cast<size_t>(max_count_))
    pages_.erase(pages_.begin(), pages_.end() - max_count_);
}

void TNovaNewHistory::ForgetPending() {
  pending_source_.clear();
  pending_box_.clear();
  pending_text_.clear();
  pending_command_ = pending_page_index_ = pending_first_ = pending_last_ = 0;
  pending_width_ = pending_height_ = 0;
}

void TNovaNewHistory::ConfigureEngine() {
  engine_values_ = format_.Values();
  if (engine_)
    ApplyLayoutValues(*engine_, engine_values_);
}

void TNovaNewHistory::Record(const std::string& box, int32_t box_width, int32_t box_height,
                             const std::string& source_page, const std::string& page_text,
                             int32_t page_index, int32_t last_char, int32_t first_char,
                             int32_t command) {
  pending_source_ = source_page;
  pending_command_ = command;
  pending_first_ = first_char;
  pending_last_ = last_char;
  pending_box_ = box;
  pending_text_ = page_text;
  if (!LayoutStyle()) {
    pending_width_ = box_width;
    pending_height_ = box_height;
    pending_page_index_ = page_index;
  }
  if (pages_.empty())
    ConfigureEngine();
}

void TNovaNewHistory::Commit(const std::string& box, ITextCommandSource* source) {
  if (pending_source_.empty() || pending_box_ != box)
    return;
  if (engine_values_[3] == 0) {
    references_.Add(pending_source_, pending_command_, pending_page_index_, pending_width_,
                    pending_height_);
    Trim();
    ForgetPending();
    return;
  }
  if (!source || !source->PageExists(pending_source_)) {
    ForgetPending();
    return;
  }
  if (!engine_)
    engine_ = std::make_unique<TZpWord>();
  if (!cached_word_ || cached_page_ != pending_source_ || cached_command_ != pending_command_) {
    cached_word_.reset();
    const std::optional<std::string> stream =
        source->TextCommandStream(pending_source_, pending_command_);
    if (!stream) {
      ForgetPending();
      return;
    }
    auto word = std::make_unique<TZpWord>();
    try {
      BinaryReader r(std::span(reinterpret_cast<const uint8_t*>(stream->data()), stream->size()),
                     pending_source_ + " command " + std::to_string(pending_command_));
      word->LoadGlyphs(r);
    } catch (const ENovaError&) {
      ForgetPending();
      return;
    }
    cached_word_ = std::move(word);
    cached_page_ = pending_source_;
    cached_command_ = pending_command_;
  }
  engine_->Clear();
  ApplyLayoutValues(*engine_, engine_values_);
  PageList temp;
  CopyTextRange(*engine_, *cached_word_, pending_first_, pending_last_, pending_text_, true, temp);
  const int32_t spacing = engine_->settings.line_spacing;
  for (const auto& page : temp) {
    const int32_t h = page->height;
    int32_t first = 0, last = -1;
    PageCharRange(*engine_, *page, pending_first_, first, last);
    if (pages_.empty() ||
        int64_t{engine_->settings.page_height} < int64_t{h} + spacing + pages_.back().TotalHeight())
      pages_.emplace_back();
    pages_.back().Add(pending_source_, pending_command_, first, last, h + spacing, pending_text_);
  }
  Trim();
  temp.clear();
  engine_->Clear();
  ForgetPending();
}

void TNovaNewHistory::Clear() {
  pages_.clear();
  references_.Clear();
  ForgetPending();
  cached_page_.clear();
  cached_command_ = -1;
  cached_word_.reset();
  if (engine_)
    engine_->Clear();
}

void TNovaNewHistory::Sync(TSerializer& s) {
  if (s.Loading())
    Clear();
  if (s.Has(kLayoutSaved)) {
    references_.Sync(s);
  } else {
    // Older data: a name nobody reads, then the references as arrays.
    s.Reader().String();
    references_.SyncArrays(s);
  }
  s.String(pending_source_);
  for (int32_t* v : {&pending_command_, &pending_page_index_, &pending_width_, &pending_height_})
    s.I32(*v);
  s.String(pending_box_);
  s.I32(max_count_, kLayoutSaved);
  for (int32_t& v : engine_values_)
    s.I32(v, kLayoutSaved);
  s.I32(pending_first_, kLayoutSaved);
  s.I32(pending_last_, kLayoutSaved);
  s.List(
      pages_, kMinPageBytes, "history page count", [&s](TNovaHistData& p) { p.Sync(s); },
      kLayoutSaved);
  s.String(pending_text_, kEntryTextSaved);
  if (s.Loading() && engine_)
    ApplyLayoutValues(*engine_, engine_values_);
}

// ---- formats ----

TNovaHistoryFormatManager::TNovaHistoryFormatManager() {
  formats_.push_back(std::make_unique<TNovaHistoryFormat>(std::string()));
}

TNovaHistoryFormat& TNovaHistoryFormatManager::Register(const std::string& name,
                                                        const TNovaMes* templ) {
  TNovaHistoryFormat* f = Find(name);
  if (!f) {
    formats_.push_back(std::make_unique<TNovaHistoryFormat>(name));
    f = formats_.back().get();
  }
  THistoryLayoutValues v{};
  if (templ) {
    const ZpWordSettings& s = templ->Engine().settings;
    v = {s.default_size,    s.default_border,   s.default_shadow,
         templ->GetWidth(), templ->GetHeight(), s.line_spacing};
  }
  f->SetValues(v);
  return *f;
}

TNovaHistoryFormat* TNovaHistoryFormatManager::Find(const std::string& name) {
  for (auto& f : formats_)
    if (f->Name() == name)
      return f.get();
  return nullptr;
}

void TNovaHistoryFormatManager::Record(const TNovaMes& box, const std::string& source_page,
                                       const std::string& page_text, int32_t page_index,
                                       int32_t last_char, int32_t first_char, int32_t command) {
  for (auto& f : formats_)
    f->History().Record(box.GetName(), box.GetWidth(), box.GetHeight(), source_page, page_text,
                        page_index, last_char, first_char, command);
}

void TNovaHistoryFormatManager::Commit(const std::string& box) {
  for (auto& f : formats_)
    f->History().Commit(box, source_);
}

void TNovaHistoryFormatManager::ClearAll() {
  for (auto& f : formats_)
    f->History().Clear();
}

void TNovaHistoryFormatManager::ResetAll() {
  formats_.clear();
  formats_.push_back(std::make_unique<TNovaHistoryFormat>(std::string()));
}

TNovaHistoryFormat& TNovaHistoryFormatManager::Default() { return *Find(std::string()); }

int32_t TNovaHistoryFormatManager::Count(const std::string& name) {
  TNovaHistoryFormat* f = Find(name);
  return f ? f->History().Count() : -1;
}

void TNovaHistoryFormatManager::Recall(TNovaMes& box, int32_t start, int32_t count,
                                       const std::string& format, bool recall_flag) {
  TNovaHistoryFormat* f = Find(format);
  if (!f)
    return;
  TNovaNewHistory& h = f->History();
  start = std::max(start, 0);
  const int64_t available = h.Count();
  if (available < int64_t{start} + count)
    count = static_cast<int32_t>(available - start);
  if (count <= 0)
    return;
  box.SetHistoryRecall(recall_flag);
  box.SetReadTracking(rtHistory);
  TNovaNewMesData& data = box.MesData();
  if (!h.LayoutStyle()) {
    data.ClearEntries();
    data.ClearReferences();
    const THistoryOldDataList& refs = h.References();
    for (int64_t k = start; k < int64_t{start} + count && k < static_cast<int64_t>(refs.size());
         ++k) {
      const THistoryOldData& d = refs[static_cast<size_t>(k)];
      data.AddReference(refs.SourceAt(static_cast<size_t>(k)), d.command, d.page_index, d.width,
                        d.height);
    }
    box.SetAnchorY(0);
  } else {
    // Entries are stacked page after page; [start, start + count) are pixel rows of that stack.
    data.ClearReferences();
    data.ClearEntries();
    const int64_t end = int64_t{start} + count;
    int64_t top = 0;
    bool started = false;
    int64_t first_top = 0;
    for (const TNovaHistData& page : h.Pages()) {
      if (!started && top + page.TotalHeight() <= start) {
        top += page.TotalHeight();
        continue;
      }
      int64_t y = top;
      for (size_t i = 0; i < page.size(); ++i) {
        const int64_t bottom = y + page[i].height;
        if (!started && bottom > start) {
          started = true;
          first_top = y;
        }
        if (started && y < end) {
          const auto& e = page[i];
          data.AddEntry(page.SourceAt(i), e.command, e.first, e.last, e.height, e.text);
        }
        y = bottom;
      }
      top += page.TotalHeight();
      if (top >= end)
        break;
    }
    box.SetHistoryOffset(
        static_cast<int32_t>(std::clamp<int64_t>(first_top - start, INT32_MIN, 0)));
  }
  box.Rebuild(true, true);
  box.ForgetIndex();
  box.SetIndex(0);
}

void TNovaHistoryFormatManager::Save(BinaryWriter& w) const {
  TSerializer s(w);
  // Saving only reads what the description names.
  const_cast<TNovaHistoryFormatManager*>(this)->Sync(s);
}

void TNovaHistoryFormatManager::Load(BinaryReader& r, int version) {
  TSerializer s(r, version);
  Sync(s);
}

void TNovaHistoryFormatManager::Sync(TSerializer& s) {
  if (!s.Has(kFormatsSaved)) {
    ResetAll();
    Default().History().Sync(s);
    return;
  }
  std::vector<std::unique_ptr<TNovaHistoryFormat>> loaded;
  auto& formats = s.Saving() ? formats_ : loaded;
  s.List(formats, kMinFormatBytes, "history format count",
         [&s](std::unique_ptr<TNovaHistoryFormat>& f) {
           std::string name = f ? f->Name() : std::string();
           s.String(name);
           if (!f)
             f = std::make_unique<TNovaHistoryFormat>(std::move(name));
           THistoryLayoutValues values = f->Values();
           for (int32_t& v : values)
             s.I32(v);
           f->SetValues(values);
           f->History().Sync(s);
         });
  if (s.Saving())
    return;
  // Look-ups take the first format of a name; the default one must stay reachable.
  if (std::none_of(loaded.begin(), loaded.end(), [](const auto& f) { return f->Name().empty(); }))
    loaded.insert(loaded.begin(), std::make_unique<TNovaHistoryFormat>(std::string()));
  formats_ = std::move(loaded);
}

// ---- message data ----

void TNovaNewMesData::AddEntry(const std::string& page, int32_t command, int32_t first,
                               int32_t last, int32_t height, std::string text) {
  entries_.Add(page, command, first, last, height, std::move(text));
}

void TNovaNewMesData::AddReference(const std::string& page, int32_t command, int32_t page_index,
                                   int32_t width, int32_t height) {
  references_.Add(page, command, page_index, width, height);
}

void TNovaNewMesData::Layout(TZpWord& engine, PageList& pages, bool from_history, bool recall_flag,
                             int32_t offset, ITextCommandSource* source) {
  if (entries_.empty()) {
    ReferenceLayout(engine, pages, recall_flag, source);
    return;
  }
  engine.Clear();
  if (entries_.size() == 1 && entries_.TotalHeight() == 0) {
    const std::string page = entries_.SourceAt(0);
    if (!source || !source->PageExists(page))
      return;
    if (TZpWord* word = cache_.Find(source, page, entries_[0].command))
      CopyTextRange(engine, *word, entries_[0].first, entries_[0].last, entries_[0].text,
                    from_history, pages);
    return;
  }
  auto view = std::make_unique<TWdPage>();
  int32_t y = offset;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const std::string page = entries_.SourceAt(i);
    if (!source || !source->PageExists(page))
      break;
    TZpWord* word = cache_.Find(source, page, entries_[i].command);
    if (!word)
      continue;
    PageList temp;
    CopyTextRange(engine, *word, entries_[i].first, entries_[i].last, entries_[i].text, true, temp);
    if (temp.empty())
      continue;
    y = MoveRows(*temp.front(), *view, y) + engine.settings.line_spacing;
  }
  pages.push_back(std::move(view));
}

void TNovaNewMesData::ReferenceLayout(TZpWord& engine, PageList& pages, bool recall_flag,
                                      ITextCommandSource* source) {
  engine.Clear();
  const int32_t width = engine.settings.wrap_width;
  const int32_t height = engine.settings.page_height;
  if (references_.size() == 1 && references_[0].page_index < 0) {
    const std::string page = references_.SourceAt(0);
    if (source && source->PageExists(page))
      if (TZpWord* word = cache_.Find(source, page, references_[0].command)) {
        engine.settings.wrap_width = references_[0].width;
        engine.settings.page_height = references_[0].height;
        CopyTextRange(engine, *word, 0, -1, std::string(), true, pages);
      }
  } else if (!references_.empty()) {
    auto view = std::make_unique<TWdPage>();
    int32_t y = 0;
    for (size_t i = 0; i < references_.size(); ++i) {
      const THistoryOldData& d = references_[i];
      const std::string page = references_.SourceAt(i);
      if (!source || !source->PageExists(page))
        break;
      TZpWord* word = cache_.Find(source, page, d.command);
      if (!word)
        continue;
      engine.settings.wrap_width = d.width;
      engine.settings.page_height = d.height;
      PageList temp;
      CopyTextRange(engine, *word, 0, -1, std::string(), true, temp);
      if (d.page_index >= 0 && static_cast<size_t>(d.page_index) < temp.size()) {
        const int32_t bottom = MoveRows(*temp[static_cast<size_t>(d.page_index)], *view, y);
        y = recall_flag ? bottom + engine.settings.line_spacing : y + d.height;
      } else if (!recall_flag) {
        y += d.height;
      }
    }
    pages.push_back(std::move(view));
  }
  engine.settings.wrap_width = width;
  engine.settings.page_height = height;
}

void TNovaNewMesData::Sync(TSerializer& s, const std::string* shown_text) {
  references_.SyncArrays(s);
  if (s.Loading()) {
    entries_.Clear();
    cache_.Clear();
  }
  if (s.Has(kLayoutSaved))
    entries_.Sync(s, shown_text);
}

} // namespace nova
