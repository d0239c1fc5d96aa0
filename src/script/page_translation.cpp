// SPDX-License-Identifier: MIT
// The texts of a page that a translation replaces, and their catalogue entries.
#include "script/page_translation.h"

#include <optional>
#include <span>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "script/command_fields.h"
#include "script/command_kinds.h"
#include "script/page.h"
#include "script/prop_names.h"
#include "script/text_form/page_text.h"
#include "text/zpword.h"

namespace nova {

namespace {

class TTextVisitor final : public TFieldVisitor {
public:
  TTextVisitor(TPage& page, const TPageTextVisit& visit)
      : TFieldVisitor(page.version()), page_(page), visit_(visit) {}

  void Walk() {
    TComList& commands = page_.commands();
    for (int32_t i = 0; i < commands.Count(); ++i) {
      site_.command = i;
      site_.command_name = CommandKindInfo(commands[i].Id()).name;
      commands[i].Fields(*this);
    }
  }

  void Expr(const char* key, TCommandExpr& e) override { Constants(key, e); }
  void ExprList(const char* key, std::vector<TCommandExpr>& list) override {
    for (size_t i = 0; i < list.size(); ++i)
      Constants(std::string(key) + "[" + std::to_string(i) + "]", list[i]);
  }
  void Props(TPropExprs& props) override {
    for (auto& [id, e] : props.entries())
      Constants(std::string(PropName(id)), e);
  }
  // Only the glyph stream of a TextIns is a blob.
  void Blob(const char* key, std::string& bytes) override {
    const std::span<const uint8_t> stream(reinterpret_cast<const uint8_t*>(bytes.data()),
                                          bytes.size());
    std::optional<GlyphStreamSource> source =
        RecoverGlyphStreamSource(stream, kDefaultMarkupDelayMs);
    if (!source)
      source = GlyphStreamSource{GlyphStreamToMarkup(stream, What(), kDefaultMarkupDelayMs),
                                 kDefaultMarkupDelayMs};
    if (source->markup.empty())
      return;
    site_.field = key;
    site_.kind = TPageTextKind::Markup;
    std::string text = source->markup;
    visit_(site_, text);
    if (text == source->markup)
      return;
    try {
      const std::vector<uint8_t> encoded = MarkupToGlyphStream(text, source->text_delay_ms);
      bytes.assign(encoded.begin(), encoded.end());
    } catch (const ENovaError& e) {
      throw ENovaError(What() + ": " + e.what());
    }
  }
  // Names, labels and comments are no texts a player reads.
  void Str(const char*, std::string&) override {}
  void Int(const char*, int32_t&) override {}
  void Target(const char*, int32_t&, TTargetPage) override {}
  void Byte(const char*, uint8_t&) override {}

private:
  std::string What() const {
    return page_.name() + " command " + std::to_string(site_.command) + " (" + site_.command_name +
           ")";
  }

  void Constants(const std::string& key, TCommandExpr& e) {
    const std::vector<TOpeData>& ops = e.parser.Ops();
    for (size_t op = 0; op < ops.size(); ++op) {
      for (size_t arg = 0; arg < ops[op].args.size(); ++arg) {
        TCustomParam& value = *ops[op].args[arg];
        if (value.IsReference() || value.DataType() != PT_STR)
          continue;
        std::string text = value.AsStr();
        if (text.empty())
          continue;
        site_.field = key + "/" + std::to_string(op) + "/" + std::to_string(arg);
        site_.kind = TPageTextKind::Literal;
        const std::string before = text;
        visit_(site_, text);
        if (text != before)
          value.SetStr(text);
      }
    }
  }

  TPage& page_;
  const TPageTextVisit& visit_;
  TPageTextSite site_;
};

std::string Context(const TPage& page, const TPageTextSite& site) {
  return SjisToUtf8(page.name()) + ":" + std::to_string(site.command) + ":" + site.field;
}

} // namespace

void VisitPageTexts(TPage& page, const TPageTextVisit& visit) { TTextVisitor(page, visit).Walk(); }

std::vector<TPoEntry> ExtractPageTexts(TPage& page) {
  std::vector<TPoEntry> entries;
  VisitPageTexts(page, [&](const TPageTextSite& site, std::string& text) {
    TPoEntry e;
    e.notes.push_back(std::string(site.command_name) +
                      (site.kind == TPageTextKind::Markup ? " text (markup)" : " " + site.field));
    e.references.push_back(SjisToUtf8(page.name()) + ":" + std::to_string(site.command));
    e.context = Context(page, site);
    e.msgid = SjisToUtf8(text);
    entries.push_back(std::move(e));
  });
  return entries;
}

int ApplyPageTranslations(TPage& page, TTranslations& translations, const std::string& po_name) {
  int changed = 0;
  VisitPageTexts(page, [&](const TPageTextSite& site, std::string& text) {
    auto it = translations.find(Context(page, site));
    if (it == translations.end())
      return;
    const TPoEntry& e = *it->second;
    translations.erase(it);
    if (e.msgstr.empty() || e.fuzzy)
      return;
    if (e.msgid != SjisToUtf8(text)) {
      throw ENovaError(Utf8ToSjis(po_name) + ": " + Utf8ToSjis(e.context) +
                       ": the title's text is no longer the catalogue's msgid; extract the "
                       "texts again");
    }
    const std::string translated = Utf8ToSjis(e.msgstr);
    if (translated != text) {
      text = translated;
      ++changed;
    }
  });
  return changed;
}

} // namespace nova
