// SPDX-License-Identifier: MIT
#include <set>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "script/command_factory.h"
#include "script/prop_names.h"
#include "script/text_form/expr_text.h"
#include "script/text_form/page_text.h"
#include "script/text_form/page_text_names.h"
#include "text/zpword.h"

namespace nova {
namespace {

constexpr int64_t kMaxMaskTableBytes = 1 << 20;

bool IsHeaderKey(const std::string& key) {
  return key == "indent" || key == "skip" || key == "cont" || key == "line" || key == "kindbyte";
}

// One value: a single token, or a bracketed group with everything up to its closing bracket.
TTextLine TakeValue(const std::vector<TTok>& toks, size_t& i, int line) {
  TTextLine v{line, 0, {}};
  int depth = 0;
  do {
    const TTok& t = toks[i++];
    if (t.kind == TTokKind::Punct && (t.text == "[" || t.text == "("))
      ++depth;
    if (t.kind == TTokKind::Punct && (t.text == "]" || t.text == ")"))
      --depth;
    v.toks.push_back(t);
  } while (depth > 0 && i < toks.size());
  return v;
}

TPageSource::Line SplitLine(const TTextLine& tl, const std::string& file) {
  TTokCursor c(tl, file);
  TPageSource::Line line{tl.line, tl.indent, c.ExpectWord("a directive or command name").text, {}};
  const std::vector<TTok>& toks = tl.toks;
  size_t i = 1;
  while (i < toks.size()) {
    TPageSource::Item item;
    if (toks[i].kind == TTokKind::Word && i + 1 < toks.size() &&
        toks[i + 1].kind == TTokKind::Punct && toks[i + 1].text == "=") {
      item.key = toks[i].text;
      i += 2;
      if (i >= toks.size()) {
        TextFail(file + ":" + std::to_string(toks.back().line) + ": '" + item.key +
                 "=' without a value");
      }
    }
    item.value = TakeValue(toks, i, toks[i].line);
    line.items.push_back(std::move(item));
  }
  return line;
}

int64_t IntValue(const TTextLine& v, const std::string& file, int64_t lo, int64_t hi,
                 const char* what) {
  TTokCursor c(v, file);
  int64_t n = 0;
  if (!ParseInt(c.ExpectWord(what).text, n) || n < lo || n > hi) {
    c.Fail(std::string("expected ") + what + " from " + std::to_string(lo) + " to " +
           std::to_string(hi));
  }
  if (!c.AtEnd())
    c.Fail("unexpected text after the value");
  return n;
}

// Fills a command's fields from the items of its line.
class TTextFieldReader final : public TFieldVisitor {
public:
  TTextFieldReader(int32_t version, const TPageSource::Line& line, const std::string& file,
                   const TPage& page, const std::map<std::string, int32_t>& own_labels,
                   const TLabelResolver& resolver)
      : TFieldVisitor(version), file_(file), page_(page), own_labels_(own_labels),
        resolver_(resolver), kind_(line.head) {
    for (const TPageSource::Item& item : line.items) {
      if (IsHeaderKey(item.key))
        continue;
      if (item.key.empty()) {
        if (&item != &line.items.front() || positional_) {
          TTokCursor(item.value, file).Fail("only the first value may be given without a key");
        }
        positional_ = &item.value;
      } else if (!values_.emplace(item.key, &item.value).second) {
        TTokCursor(item.value, file).Fail("field '" + item.key + "' given twice");
      }
    }
  }

  // After Fields(): every given field must have been taken.
  void CheckAllUsed(int line) const {
    if (positional_ && !first_taken_) {
      TTokCursor(*positional_, file_).Fail(kind_ + " has no fields");
    }
    if (!values_.empty()) {
      const std::string& key = values_.begin()->first;
      std::string why = PropIdByName(key) >= 0
                            ? key + " is not in the page's mask entry for " + kind_
                            : "unknown field '" + key + "' for " + kind_ + " in page version " +
                                  std::to_string(version());
      TextFail(file_ + ":" + std::to_string(line) + ": " + why);
    }
  }

  void Expr(const char* key, TCommandExpr& e) override {
    const TTextLine* v = Take(key);
    if (!v)
      return;
    TTokCursor c(*v, file_);
    e = ParseExpr(c);
    End(c);
  }
  void ExprList(const char* key, std::vector<TCommandExpr>& list) override {
    const TTextLine* v = Take(key);
    if (!v)
      return;
    TTokCursor c(*v, file_);
    c.ExpectPunct("(");
    if (!c.TakePunct(")")) {
      do
        list.push_back(ParseExpr(c));
      while (c.TakePunct(","));
      c.ExpectPunct(")");
    }
    End(c);
  }
  void Str(const char* key, std::string& s) override {
    const TTextLine* v = Take(key);
    if (!v)
      return;
    TTokCursor c(*v, file_);
    s = c.ExpectString(key).text;
    End(c);
    if (std::string(key) == "page")
      last_page_ = s;
  }
  void Int(const char* key, int32_t& v) override {
    if (const TTextLine* t = Take(key)) {
      v = static_cast<int32_t>(IntValue(*t, file_, INT32_MIN, INT32_MAX, key));
    }
  }
  void Target(const char* key, int32_t& v, TTargetPage page) override {
    const TTextLine* t = Take(key);
    if (!t)
      return;
    TTokCursor c(*t, file_);
    const std::string& word = c.ExpectWord("a command index or @label").text;
    if (word.size() > 1 && word[0] == '@') {
      v = ResolveLabel(c, TextToSjis(word.substr(1), c.Where()), page);
    } else {
      int64_t n = 0;
      if (!ParseInt(word, n) || n < INT32_MIN || n > INT32_MAX) {
        c.Fail("expected a command index or @label for " + std::string(key));
      }
      v = static_cast<int32_t>(n);
    }
    End(c);
  }
  void Byte(const char* key, uint8_t& v) override {
    if (const TTextLine* t = Take(key))
      v = static_cast<uint8_t>(IntValue(*t, file_, 0, 255, key));
  }
  void Blob(const char* key, std::string& bytes) override {
    const TTextLine* v = Take(key);
    const TTextLine* delay = Take("delay");
    if (!v) {
      if (delay)
        TTokCursor(*delay, file_).Fail("delay without markup text");
      return;
    }
    TTokCursor c(*v, file_);
    if (!c.AtEnd() && c.Peek().kind == TTokKind::String) {
      bytes = Markup(c, delay);
      End(c);
      return;
    }
    if (delay)
      TTokCursor(*delay, file_).Fail("delay belongs to markup text, not to hex bytes");
    const std::string& word = c.ExpectWord("markup text or hex:…").text;
    if (word.rfind("hex:", 0) != 0 || word.size() % 2 != 0) {
      c.Fail("expected hex: followed by pairs of hexadecimal digits");
    }
    bytes.clear();
    for (size_t i = 4; i < word.size(); i += 2) {
      int64_t b = 0;
      if (!ParseInt("0x" + word.substr(i, 2), b))
        c.Fail("bad hexadecimal digit in " + word);
      bytes += static_cast<char>(b);
    }
    End(c);
  }
  void Props(TPropExprs& props) override {
    for (auto& [id, e] : props.entries())
      Expr(std::string(PropName(id)).c_str(), e);
  }

private:
  // Markup text becomes the glyph-list stream that the player loads; characters outside WAIT
  // tags wait `delay` ms, by default what @TextDelay holds in a freshly started player.
  std::string Markup(TTokCursor& c, const TTextLine* delay) {
    const int line = c.Peek().line;
    const std::string& markup = c.Next().text;
    int32_t delay_ms = kDefaultMarkupDelayMs;
    if (delay)
      delay_ms = static_cast<int32_t>(IntValue(*delay, file_, INT32_MIN, INT32_MAX, "delay"));
    try {
      std::vector<uint8_t> stream = MarkupToGlyphStream(markup, delay_ms);
      return std::string(stream.begin(), stream.end());
    } catch (const ENovaError& e) {
      TextFail(file_ + ":" + std::to_string(line) + ": " + SjisToUtf8(e.what()));
    }
  }

  const TTextLine* Take(const char* key) {
    if (!first_visited_) {
      first_visited_ = true;
      if (positional_) {
        first_taken_ = true;
        if (values_.count(key))
          TTokCursor(*positional_, file_).Fail(std::string(key) + " given twice");
        return positional_;
      }
    }
    auto it = values_.find(key);
    if (it == values_.end())
      return nullptr;
    const TTextLine* v = it->second;
    values_.erase(it);
    return v;
  }

  void End(TTokCursor& c) const {
    if (!c.AtEnd())
      c.Fail("unexpected text after the value");
  }

  int32_t ResolveLabel(TTokCursor& c, const std::string& label, TTargetPage page) {
    bool own = page == TTargetPage::Own || last_page_.empty() || last_page_ == page_.name();
    if (own) {
      auto it = own_labels_.find(label);
      if (it == own_labels_.end())
        c.Fail("no label " + QuoteSjis(label) + " in this page");
      return it->second;
    }
    std::optional<int32_t> index;
    if (resolver_)
      index = resolver_(last_page_, label);
    if (!index)
      c.Fail("no label " + QuoteSjis(label) + " in page " + QuoteSjis(last_page_));
    return *index;
  }

  const std::string& file_;
  const TPage& page_;
  const std::map<std::string, int32_t>& own_labels_;
  const TLabelResolver& resolver_;
  std::string kind_;
  std::map<std::string, const TTextLine*> values_;
  const TTextLine* positional_ = nullptr;
  bool first_visited_ = false;
  bool first_taken_ = false;
  std::string last_page_;
};

const TTextLine* FindItem(const TPageSource::Line& line, const char* key) {
  for (const TPageSource::Item& item : line.items) {
    if (item.key == key)
      return &item.value;
  }
  return nullptr;
}

void ApplyHeader(const TPageSource::Line& line, const std::string& file, TCommand& c) {
  TCommandHeader& h = c.header;
  h.indent = line.indent / 2;
  h.line = line.line;
  if (auto* v = FindItem(line, "indent")) {
    h.indent = static_cast<int32_t>(IntValue(*v, file, INT32_MIN, INT32_MAX, "indent"));
  }
  if (auto* v = FindItem(line, "skip"))
    h.skip = IntValue(*v, file, 0, 1, "skip") != 0;
  if (auto* v = FindItem(line, "cont"))
    h.cont = IntValue(*v, file, 0, 1, "cont") != 0;
  if (auto* v = FindItem(line, "line")) {
    h.line = static_cast<int32_t>(IntValue(*v, file, INT32_MIN, INT32_MAX, "line"));
  }
  if (auto* v = FindItem(line, "kindbyte")) {
    int64_t b = IntValue(*v, file, 0, 255, "kindbyte");
    if ((b & 0x7F) != static_cast<int64_t>(c.Id())) {
      TTokCursor(*v, file).Fail("kindbyte does not name " + line.head);
    }
    c.kind_byte = static_cast<uint8_t>(b);
  }
}

// A mask line: "mask ENTRY [PR_… | id]… [tail=HEX]".
void ApplyMaskLine(const TPageSource::Line& line, const std::string& file, TMaskTable& masks,
                   std::set<int32_t>& given) {
  auto fail = [&](const std::string& what) {
    TextFail(file + ":" + std::to_string(line.line) + ": " + what);
  };
  if (line.items.empty() || !line.items[0].key.empty())
    fail("mask needs its entry first");
  TTokCursor ec(line.items[0].value, file);
  std::string entry_word = ec.ExpectWord("a command kind or entry number").text;
  int64_t k = CommandIdByName(entry_word);
  if (k < 0 && (!ParseInt(entry_word, k) || k < 0))
    fail("unknown mask entry '" + entry_word + "'");
  if (k >= masks.StoredCount())
    fail("mask entry " + std::to_string(k) + " beyond the mask count");
  if (!given.insert(static_cast<int32_t>(k)).second)
    fail("mask entry " + entry_word + " given twice");
  std::vector<uint8_t> bytes(static_cast<size_t>(masks.StoredSize()));
  for (size_t i = 1; i < line.items.size(); ++i) {
    const TPageSource::Item& item = line.items[i];
    TTokCursor c(item.value, file);
    if (item.key == "tail") {
      std::string hex = c.ExpectWord("hexadecimal bytes").text;
      if (hex.size() != (bytes.size() - std::min<size_t>(bytes.size(), kMaskBytes)) * 2) {
        fail("tail must give the " + std::to_string(bytes.size() - kMaskBytes) +
             " bytes after the first 22");
      }
      for (size_t b = 0; b < hex.size(); b += 2) {
        int64_t v = 0;
        if (!ParseInt("0x" + hex.substr(b, 2), v))
          fail("bad hexadecimal digit in tail");
        bytes[kMaskBytes + b / 2] = static_cast<uint8_t>(v);
      }
      continue;
    }
    if (!item.key.empty())
      fail("unknown mask field '" + item.key + "'");
    std::string word = c.ExpectWord("a property name").text;
    int64_t id = PropIdByName(word);
    if (id < 0 && (!ParseInt(word, id) || id < 0))
      fail("unknown property '" + word + "'");
    if (id >= static_cast<int64_t>(std::min<size_t>(bytes.size(), kMaskBytes) * 8)) {
      fail("property " + word + " does not fit a mask entry of " + std::to_string(bytes.size()) +
           " bytes");
    }
    bytes[static_cast<size_t>(id / 8)] |= static_cast<uint8_t>(1u << (id % 8));
  }
  masks.SetStoredEntry(static_cast<int32_t>(k), bytes);
}

} // namespace

TPageSource::TPageSource(const std::string& utf8, std::string file) : file_(std::move(file)) {
  for (const TTextLine& tl : LexText(utf8, file_)) {
    Line line = SplitLine(tl, file_);
    if (line.head == "page" || line.head == "result" || line.head == "masks" ||
        line.head == "mask") {
      if (!commands_.empty() && line.head != "mask") {
        TextFail(file_ + ":" + std::to_string(line.line) + ": " + line.head +
                 " must come before the first command");
      }
      directives_.push_back(std::move(line));
      continue;
    }
    if (CommandIdByName(line.head) < 0) {
      TextFail(file_ + ":" + std::to_string(line.line) + ": unknown command '" + line.head + "'");
    }
    if (line.head == "Label") {
      const TTextLine* v = FindItem(line, "name");
      if (!v && !line.items.empty() && line.items[0].key.empty())
        v = &line.items[0].value;
      if (v) {
        TTokCursor c(*v, file_);
        labels_.emplace(c.ExpectString("the label name").text,
                        static_cast<int32_t>(commands_.size()));
      }
    }
    commands_.push_back(std::move(line));
  }
}

void TPageSource::Build(TPage& page, const TLabelResolver& resolver) const {
  page.commands().Clear();
  page.set_version(kNewestPageVersion);
  page.set_result_type(1);
  int64_t mask_count = kCommandKindCount;
  int64_t mask_size = kMaskBytes;
  for (const Line& d : directives_) {
    auto fail = [&](const std::string& what) {
      TextFail(file_ + ":" + std::to_string(d.line) + ": " + what);
    };
    if (d.head == "page") {
      if (d.items.size() != 1)
        fail("page takes its version");
      page.set_version(static_cast<int32_t>(
          IntValue(d.items[0].value, file_, kOldestPageVersion, INT32_MAX, "a page version")));
    } else if (d.head == "result") {
      TTokCursor c(d.items.at(0).value, file_);
      int type = ResultTypeFromWord(c.ExpectWord("a result type").text);
      if (type < 0 || d.items.size() != 1)
        fail("result takes int, float, flag, str or a number");
      page.set_result_type(static_cast<uint8_t>(type));
    } else if (d.head == "masks") {
      if (d.items.size() != 2)
        fail("masks takes the entry count and the entry size");
      mask_count = IntValue(d.items[0].value, file_, 0, INT32_MAX, "a mask count");
      mask_size = IntValue(d.items[1].value, file_, 0, INT32_MAX, "a mask size");
      if (mask_count * mask_size > kMaxMaskTableBytes)
        fail("mask table too large");
    }
  }
  if (page.version() > kNewestPageVersion) {
    if (!commands_.empty()) {
      TextFail(file_ + ": a page of version " + std::to_string(page.version()) +
               " has no commands");
    }
    return;
  }
  TMaskTable& masks = page.masks();
  masks.Reset(static_cast<int32_t>(mask_count), static_cast<int32_t>(mask_size));
  std::set<int32_t> given;
  for (const Line& d : directives_) {
    if (d.head == "mask")
      ApplyMaskLine(d, file_, masks, given);
  }
  // Kinds without a mask line carry the properties their commands name.
  std::map<int32_t, std::vector<uint8_t>> derived;
  for (const Line& line : commands_) {
    int32_t id = CommandIdByName(line.head);
    if (!CommandKindInfo(static_cast<TCommandId>(id)).creates_component || given.count(id))
      continue;
    if (id >= masks.StoredCount()) {
      TextFail(file_ + ":" + std::to_string(line.line) + ": the mask table has no entry for " +
               line.head);
    }
    auto [it, fresh] = derived.try_emplace(id, masks.StoredEntry(id));
    for (const Item& item : line.items) {
      int pid = PropIdByName(item.key);
      if (pid < 0)
        continue;
      if (pid >= std::min<int32_t>(masks.StoredSize(), kMaskBytes) * 8) {
        TextFail(file_ + ":" + std::to_string(line.line) + ": " + item.key +
                 " does not fit a mask entry of " + std::to_string(masks.StoredSize()) + " bytes");
      }
      it->second[static_cast<size_t>(pid / 8)] |= static_cast<uint8_t>(1u << (pid % 8));
    }
  }
  for (const auto& [id, bytes] : derived)
    masks.SetStoredEntry(id, bytes);

  for (const Line& line : commands_) {
    std::unique_ptr<TCommand> c =
        CreateCommand(&page.commands(), static_cast<uint8_t>(CommandIdByName(line.head)));
    ApplyHeader(line, file_, *c);
    TTextFieldReader reader(page.version(), line, file_, page, labels_, resolver);
    c->Fields(reader);
    reader.CheckAllUsed(line.line);
    page.commands().Add(std::move(c));
  }
}

} // namespace nova
