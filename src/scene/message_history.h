// SPDX-License-Identifier: MIT
// The message history: references to the text insert commands whose pages the player has seen,
// the formats that lay recalled text out, and the message data a message box rebuilds its pages
// from. Text is never stored rendered; it is laid out again from the script.
#pragma once
#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "text/zpword.h"

namespace nova {

class BinaryReader;
class BinaryWriter;
class TNovaMes;
class TSerializer;

// Where the history and the message boxes find the text of a text insert command. The script
// layer implements it; without one no recorded text can be laid out again.
class ITextCommandSource {
public:
  virtual ~ITextCommandSource() = default;
  // The page is among the title's files.
  virtual bool PageExists(const std::string& page) = 0;
  // The glyph-list stream of the text insert command at `index` of `page`; nothing when the page
  // cannot be loaded, the index is out of range or the command there inserts no text.
  virtual std::optional<std::string> TextCommandStream(const std::string& page, int32_t index) = 0;
  // The wait of characters outside WAIT tags in text given as markup (@TextDelay).
  virtual int32_t TextDelayMs() { return 0; }
};

// Parsed text insert commands, most recently used first: at most 4 pages of at most 16
// commands each.
class TMesDataCacheList {
public:
  static constexpr size_t kPages = 4;
  static constexpr size_t kWordsPerPage = 16;
  // The parsed text of the command, or null (no source, no such command, damaged stream).
  TZpWord* Find(ITextCommandSource* source, const std::string& page, int32_t index);
  void Clear() { pages_.clear(); }

private:
  struct TMesDataCacheWord {
    int32_t index;
    std::unique_ptr<TZpWord> word;
  };
  struct TMesDataCache {
    std::string page;
    std::list<TMesDataCacheWord> words;
  };
  std::list<TMesDataCache> pages_;
};

// One reference entry: a page of a text insert command as a box of that size showed it.
struct THistoryOldData {
  std::string name; // empty when equal to the previous entry's
  int32_t command = 0;
  int32_t page_index = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// A list of reference entries that stores repeated page names once.
class THistoryOldDataList {
public:
  void Add(const std::string& page, int32_t command, int32_t page_index, int32_t width,
           int32_t height);
  // The source page in effect at entry i.
  std::string SourceAt(size_t i) const;
  void DropOldest();
  void Clear() { entries_.clear(); }
  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const THistoryOldData& operator[](size_t i) const { return entries_[i]; }
  // Both saved forms: one record per entry, or (message data, older histories) the fields as
  // parallel arrays.
  void Sync(TSerializer& s);
  void SyncArrays(TSerializer& s);
  std::vector<THistoryOldData>& raw() { return entries_; }

private:
  std::vector<THistoryOldData> entries_;
};

// One history page of laid-out entries; a message box's list of layout entries too.
class TNovaHistData {
public:
  struct Entry {
    std::string name; // empty when equal to the previous non-empty name
    int32_t command = 0;
    int32_t first = 0; // character positions in the command's text
    int32_t last = -1;
    int32_t height = 0;
    std::string text; // replay values of the page, one per line
  };
  void Add(const std::string& page, int32_t command, int32_t first, int32_t last, int32_t height,
           std::string text);
  std::string SourceAt(size_t i) const;
  void Clear();
  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const Entry& operator[](size_t i) const { return entries_[i]; }
  Entry& operator[](size_t i) { return entries_[i]; }
  int32_t TotalHeight() const { return total_height_; }
  // The saved form; saving with `shown_text` gives every entry that text instead of its own.
  void Sync(TSerializer& s, const std::string* shown_text = nullptr);

private:
  std::vector<Entry> entries_;
  int32_t total_height_ = 0;
};

// The six layout values of a format: font height, font border, font shadow, width, height,
// line spacing.
using THistoryLayoutValues = std::array<int32_t, 6>;

class TNovaHistoryFormat;

// The history of one format.
class TNovaNewHistory {
public:
  explicit TNovaNewHistory(TNovaHistoryFormat& format) : format_(format) {}

  void Record(const std::string& box, int32_t box_width, int32_t box_height,
              const std::string& source_page, const std::string& page_text, int32_t page_index,
              int32_t last_char, int32_t first_char, int32_t command);
  void Commit(const std::string& box, ITextCommandSource* source);
  void Clear();
  // Entries (reference style) or stacked pixels (layout style).
  int32_t Count() const;
  bool LayoutStyle() const;
  int32_t MaxCount() const { return max_count_; }
  void SetMaxCount(int32_t n);

  const std::vector<TNovaHistData>& Pages() const { return pages_; }
  const THistoryOldDataList& References() const { return references_; }
  bool HasPending() const { return !pending_source_.empty(); }

  void Sync(TSerializer& s);

private:
  void ConfigureEngine();
  void Trim();
  void ForgetPending();

  TNovaHistoryFormat& format_;
  std::unique_ptr<TZpWord> engine_;
  THistoryLayoutValues engine_values_{};
  std::vector<TNovaHistData> pages_;
  int32_t pending_width_ = 0, pending_height_ = 0;
  int32_t pending_page_index_ = 0;
  std::string pending_box_;
  std::string pending_source_;
  int32_t pending_command_ = 0;
  int32_t pending_first_ = 0, pending_last_ = 0;
  std::string pending_text_;
  int32_t max_count_ = 0;
  THistoryOldDataList references_;
  // The parsed command last laid out.
  std::unique_ptr<TZpWord> cached_word_;
  std::string cached_page_;
  int32_t cached_command_ = -1;
};

class TNovaHistoryFormat {
public:
  explicit TNovaHistoryFormat(std::string name) : name_(std::move(name)), history_(*this) {}
  const std::string& Name() const { return name_; }
  const THistoryLayoutValues& Values() const { return values_; }
  void SetValues(const THistoryLayoutValues& v) { values_ = v; }
  TNovaNewHistory& History() { return history_; }
  const TNovaNewHistory& History() const { return history_; }

private:
  std::string name_;
  THistoryLayoutValues values_{};
  TNovaNewHistory history_;
};

// Every history format; the default one (empty name) always exists.
class TNovaHistoryFormatManager {
public:
  TNovaHistoryFormatManager();

  // Gets or creates the format; takes the six values from the template box, or zeros.
  TNovaHistoryFormat& Register(const std::string& name, const TNovaMes* templ);
  TNovaHistoryFormat* Find(const std::string& name);
  // The format with the empty name (always present).
  TNovaHistoryFormat& Default();
  size_t size() const { return formats_.size(); }

  void Record(const TNovaMes& box, const std::string& source_page, const std::string& page_text,
              int32_t page_index, int32_t last_char, int32_t first_char, int32_t command);
  void Commit(const std::string& box);
  void ClearAll();
  void ResetAll();
  // The format's count, -1 when there is no such format.
  int32_t Count(const std::string& name);
  void Recall(TNovaMes& box, int32_t start, int32_t count, const std::string& format,
              bool recall_flag);

  void SetTextSource(ITextCommandSource* source) { source_ = source; }
  ITextCommandSource* TextSource() const { return source_; }

  // The saved form. Games saved before the formats were saved hold only the default history;
  // loading one resets the formats first.
  void Save(BinaryWriter& w) const;
  void Load(BinaryReader& r, int version);
  void Sync(TSerializer& s);

private:
  std::vector<std::unique_ptr<TNovaHistoryFormat>> formats_;
  ITextCommandSource* source_ = nullptr;
};

// The message data of a message box: what its pages are rebuilt from.
class TNovaNewMesData {
public:
  // A layout entry (the text insert command adds one for its own text).
  void AddEntry(const std::string& page, int32_t command, int32_t first, int32_t last,
                int32_t height, std::string text);
  void ClearEntries() { entries_.Clear(); }
  void AddReference(const std::string& page, int32_t command, int32_t page_index, int32_t width,
                    int32_t height);
  void ClearReferences() { references_.Clear(); }
  bool IsEmpty() const { return entries_.empty() && references_.empty(); }
  TNovaHistData& Entries() { return entries_; }
  const TNovaHistData& Entries() const { return entries_; }
  const THistoryOldDataList& References() const { return references_; }

  // Lays the entries (or references) out into `pages` through `engine`.
  void Layout(TZpWord& engine, PageList& pages, bool from_history, bool recall_flag, int32_t offset,
              ITextCommandSource* source);

  // The saved form; saving with `shown_text` gives every entry that text (a box saves the replay
  // values of the page it shows).
  void Sync(TSerializer& s, const std::string* shown_text = nullptr);

private:
  void ReferenceLayout(TZpWord& engine, PageList& pages, bool recall_flag,
                       ITextCommandSource* source);

  THistoryOldDataList references_;
  TNovaHistData entries_;
  TMesDataCacheList cache_;
};

// Splits a range of a parsed command into pages: copies glyphs of character positions
// first..last (last -1: to the end) into `engine`, expands its variables with the replay
// `text`, and lays the copied glyphs out. Answers the index of the first copied glyph.
int CopyTextRange(TZpWord& engine, const TZpWord& word, int32_t first, int32_t last,
                  const std::string& text, bool history, PageList& pages);

// The character positions of the first and last counted glyph of `page`, plus `base` (where
// the engine's glyphs start in the command's text); last is -1 for a page without characters.
void PageCharRange(const TZpWord& engine, const TWdPage& page, int32_t base, int32_t& first,
                   int32_t& last);

} // namespace nova
