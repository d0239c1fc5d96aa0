// SPDX-License-Identifier: MIT
#include <cstdio>
#include <optional>
#include <span>

#include "script/prop_names.h"
#include "script/text_form/expr_text.h"
#include "script/text_form/page_text.h"
#include "script/text_form/page_text_names.h"
#include "text/zpword.h"

namespace nova {
namespace {

constexpr size_t kLineWidth = 100;
constexpr int32_t kMaxIndentBySpaces = 40;

std::string HexBytes(const std::string& bytes) {
  std::string out;
  char b[4];
  for (char c : bytes) {
    std::snprintf(b, sizeof b, "%02X", static_cast<uint8_t>(c));
    out += b;
  }
  return out;
}

class TTextFieldWriter final : public TFieldVisitor {
public:
  explicit TTextFieldWriter(int32_t version) : TFieldVisitor(version) {}
  std::vector<std::string> items;

  void Expr(const char* key, TCommandExpr& e) override { Add(key, FormatExpr(e)); }
  void ExprList(const char* key, std::vector<TCommandExpr>& list) override {
    std::string s = "(";
    for (size_t i = 0; i < list.size(); ++i)
      s += (i ? ", " : "") + FormatExpr(list[i]);
    Add(key, s + ")");
  }
  void Str(const char* key, std::string& s) override { Add(key, QuoteSjis(s)); }
  void Int(const char* key, int32_t& v) override { Add(key, std::to_string(v)); }
  void Target(const char* key, int32_t& v, TTargetPage) override { Add(key, std::to_string(v)); }
  void Byte(const char* key, uint8_t& v) override { Add(key, std::to_string(v)); }
  // Markup when it gives the same bytes back, else the bytes themselves.
  void Blob(const char* key, std::string& bytes) override {
    const std::span<const uint8_t> stream(reinterpret_cast<const uint8_t*>(bytes.data()),
                                          bytes.size());
    std::optional<GlyphStreamSource> source =
        RecoverGlyphStreamSource(stream, kDefaultMarkupDelayMs);
    if (!source) {
      Add(key, "hex:" + HexBytes(bytes));
      return;
    }
    Add(key, QuoteSjis(source->markup));
    if (source->text_delay_ms != kDefaultMarkupDelayMs)
      Add("delay", std::to_string(source->text_delay_ms));
  }
  void Props(TPropExprs& props) override {
    for (auto& [id, e] : props.entries())
      Add(std::string(PropName(id)).c_str(), FormatExpr(e));
  }

private:
  void Add(const std::string& key, const std::string& value) { items.push_back(key + "=" + value); }
};

class TDisassembler {
public:
  explicit TDisassembler(TPage& page) : page_(page) {}

  std::string Run() {
    Emit("# page " + QuoteSjis(page_.name()));
    Emit("page " + std::to_string(page_.version()));
    if (page_.version() > kNewestPageVersion || page_.version() < kOldestPageVersion)
      return out_;
    Emit("result " + ResultTypeWord(page_.result_type()));
    const TMaskTable& m = page_.masks();
    if (m.StoredCount() != kCommandKindCount || m.StoredSize() != kMaskBytes) {
      Emit("masks " + std::to_string(m.StoredCount()) + " " + std::to_string(m.StoredSize()));
    }
    // Entries of no bytes have nothing to show, however many the file claims.
    if (m.StoredSize() > 0) {
      for (int32_t k = 0; k < m.StoredCount(); ++k)
        MaskLine(k);
    }
    for (int32_t i = 0; i < page_.commands().Count(); ++i)
      CommandLines(i);
    return out_;
  }

private:
  void Emit(const std::string& line) {
    out_ += line + "\n";
    ++line_no_;
  }

  void MaskLine(int32_t k) {
    const TMaskTable& m = page_.masks();
    std::vector<uint8_t> bytes = m.StoredEntry(k);
    std::string line = "mask " + MaskEntryWord(k);
    bool any = false;
    size_t bits = std::min<size_t>(bytes.size(), kMaskBytes) * 8;
    for (size_t id = 0; id < bits; ++id) {
      if (!((bytes[id / 8] >> (id % 8)) & 1))
        continue;
      std::string_view name = PropName(static_cast<int>(id));
      line += " " + (name.empty() ? std::to_string(id) : std::string(name));
      any = true;
    }
    if (bytes.size() > kMaskBytes) {
      std::string tail(bytes.begin() + kMaskBytes, bytes.end());
      if (tail.find_first_not_of('\0') != std::string::npos) {
        line += " tail=" + HexBytes(tail);
        any = true;
      }
    }
    if (any)
      Emit(line);
  }

  void CommandLines(int32_t index) {
    TCommand& c = page_.commands()[index];
    TTextFieldWriter fields(page_.version());
    c.Fields(fields);
    const TCommandHeader& h = c.header;
    std::string lead;
    std::vector<std::string> attrs;
    if (h.indent >= 0 && h.indent <= kMaxIndentBySpaces) {
      lead.assign(static_cast<size_t>(h.indent) * 2, ' ');
    } else {
      attrs.push_back("indent=" + std::to_string(h.indent));
    }
    if (h.skip)
      attrs.push_back("skip=1");
    if (!h.cont)
      attrs.push_back("cont=0");
    if (h.line != line_no_ + 1)
      attrs.push_back("line=" + std::to_string(h.line));
    if (c.kind_byte & 0x80)
      attrs.push_back("kindbyte=" + std::to_string(c.kind_byte));
    std::vector<std::string> items = fields.items;
    items.insert(items.end(), attrs.begin(), attrs.end());

    std::string head = lead + CommandKindInfo(c.Id()).name;
    size_t total = head.size();
    for (const std::string& s : items)
      total += 1 + s.size();
    if (total <= kLineWidth || items.size() < 2) {
      for (const std::string& s : items)
        head += " " + s;
      Emit(head);
      return;
    }
    Emit(head + " \\");
    for (size_t i = 0; i < items.size(); ++i) {
      Emit(lead + "    " + items[i] + (i + 1 < items.size() ? " \\" : ""));
    }
  }

  TPage& page_;
  std::string out_;
  int line_no_ = 0;
};

} // namespace

std::string DisassemblePage(TPage& page) { return TDisassembler(page).Run(); }

} // namespace nova
