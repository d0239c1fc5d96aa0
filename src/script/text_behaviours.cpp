// SPDX-License-Identifier: MIT
// Text insertion into message boxes, clearing them, and the message history commands.
#include "script/text_behaviours.h"

#include "base/nova_error.h"
#include "expr/param_collection.h"
#include "scene/kinds/nova_mes.h"
#include "scene/message_records.h"
#include "scene/nova_base_list.h"
#include "script/call_man.h"
#include "script/commands/scene_commands.h"
#include "script/private/component_eval.h"

namespace nova {
namespace {

// Text insert commands as the interpreter's pages hold them.
class TCallManTextSource final : public ITextCommandSource {
public:
  explicit TCallManTextSource(TCallMan& cm) : cm_(cm) {}
  bool Serves(const TCallMan& cm) const { return &cm == &cm_; }

  bool PageExists(const std::string& page) override { return cm_.host().PageExists(page); }

  std::optional<std::string> TextCommandStream(const std::string& name, int32_t index) override {
    TPage* page = nullptr;
    try {
      page = cm_.GetPage(name, TPromote::No);
    } catch (const ENovaError&) {
      return std::nullopt;
    }
    if (!page || index < 0 || index >= page->commands().Count())
      return std::nullopt;
    auto* text = dynamic_cast<TComTextIns*>(&page->commands()[index]);
    if (!text)
      return std::nullopt;
    return text->glyph_stream;
  }

  int32_t TextDelayMs() override { return cm_.vars().text_delay; }

private:
  TCallMan& cm_;
};

TNovaMes* MessageBox(TNovaBaseList& scene, const std::string& name) {
  return dynamic_cast<TNovaMes*>(scene.FindControl(name));
}

class TTextIns final : public ICommandBehaviour {
public:
  explicit TTextIns(TNovaBaseList& scene) : scene_(scene) {}

  void Start(TCommand& c, TCallMan& cm) const override {
    auto& cmd = CommandAs<TComTextIns>(c);
    TTextInsState& s = cmd.running;
    s = {};
    s.no_events = FlagOf(cmd.no_events, cm.vars());
    if (cmd.glyph_stream.empty())
      return;
    const std::string name = TextOf(cmd.box, cm.vars());
    if (name.empty())
      return;
    TNovaMes* box = MessageBox(scene_, name);
    if (!box)
      return;
    ConnectTextSource(scene_, cm);
    s.box = box->GetName();
    const std::string page = cm.page() ? cm.page()->name() : std::string();
    box->InsertCommandText(page, cm.pc(), FlagOf(cmd.record_history, cm.vars()));
    s.waiting = FlagOf(cmd.wait, cm.vars());
  }

  void Run(TCommand& c, TCallMan& cm) const override {
    TTextInsState& s = CommandAs<TComTextIns>(c).running;
    if (!s.box.empty() && s.waiting)
      if (TNovaMes* box = MessageBox(scene_, s.box); box && box->PageCount() != 0) {
        cm.set_cont(false);
        return;
      }
    cm.set_pc(cm.pc() + 1);
  }

  bool Yields(const TCommand& c) const override {
    return CommandAs<TComTextIns>(c).running.waiting;
  }
  bool BlocksEvents(const TCommand& c) const override {
    return CommandAs<TComTextIns>(c).running.no_events;
  }

private:
  TNovaBaseList& scene_;
};

class TTextClr final : public ICommandBehaviour {
public:
  explicit TTextClr(TNovaBaseList& scene) : scene_(scene) {}
  void Run(TCommand& c, TCallMan& cm) const override {
    auto& cmd = CommandAs<TComTextClr>(c);
    cm.set_pc(cm.pc() + 1);
    const std::string name = TextOf(cmd.object, cm.vars());
    if (name.empty())
      return;
    if (TNovaMes* box = MessageBox(scene_, name))
      box->ClearText();
  }

private:
  TNovaBaseList& scene_;
};

class TCallHist final : public ICommandBehaviour {
public:
  explicit TCallHist(TNovaBaseList& scene) : scene_(scene) {}
  void Run(TCommand& c, TCallMan& cm) const override {
    auto& cmd = CommandAs<TComCallHist>(c);
    cm.set_pc(cm.pc() + 1);
    TNovaMes* box = MessageBox(scene_, TextOf(cmd.box, cm.vars()));
    if (!box)
      return;
    const TCustomParam* first = ValueOf(cmd.first, cm.vars());
    if (!first)
      return;
    const int32_t start = first->AsInt();
    const TCustomParam* count = ValueOf(cmd.count, cm.vars());
    const int32_t n = count ? count->AsInt() : 1;
    const std::string format = TextOf(cmd.format, cm.vars());
    const bool read_back = FlagOf(cmd.read_back, cm.vars());
    ConnectTextSource(scene_, cm);
    scene_.MessageRecords().formats.Recall(*box, start, n, format, read_back);
  }

private:
  TNovaBaseList& scene_;
};

class TFormatHist final : public ICommandBehaviour {
public:
  explicit TFormatHist(TNovaBaseList& scene) : scene_(scene) {}
  void Run(TCommand& c, TCallMan& cm) const override {
    auto& cmd = CommandAs<TComEntryHist>(c);
    cm.set_pc(cm.pc() + 1);
    const std::string format = TextOf(cmd.format, cm.vars());
    const auto* templ =
        dynamic_cast<const TNovaMes*>(scene_.FindByName(TextOf(cmd.template_name, cm.vars())));
    scene_.MessageRecords().formats.Register(format, templ);
  }

private:
  TNovaBaseList& scene_;
};

class TClrHist final : public ICommandBehaviour {
public:
  explicit TClrHist(TNovaBaseList& scene) : scene_(scene) {}
  void Run(TCommand&, TCallMan& cm) const override {
    cm.set_pc(cm.pc() + 1);
    scene_.MessageRecords().formats.ClearAll();
  }

private:
  TNovaBaseList& scene_;
};

class TClrRead final : public ICommandBehaviour {
public:
  explicit TClrRead(TNovaBaseList& scene) : scene_(scene) {}
  void Run(TCommand&, TCallMan& cm) const override {
    cm.set_pc(cm.pc() + 1);
    scene_.MessageRecords().reads.Clear();
  }

private:
  TNovaBaseList& scene_;
};

} // namespace

void ConnectTextSource(TNovaBaseList& scene, TCallMan& cm) {
  TMessageRecords& records = scene.MessageRecords();
  auto* current = dynamic_cast<TCallManTextSource*>(records.TextSource());
  if (!current || !current->Serves(cm))
    records.SetTextSource(std::make_unique<TCallManTextSource>(cm));
}

std::unique_ptr<ICommandBehaviour> NewTextBehaviour(TCommandId id, TNovaBaseList& scene) {
  switch (id) {
  case TCommandId::TextIns:
    return std::make_unique<TTextIns>(scene);
  case TCommandId::TextClr:
    return std::make_unique<TTextClr>(scene);
  case TCommandId::CallHist:
    return std::make_unique<TCallHist>(scene);
  case TCommandId::FormatHist:
    return std::make_unique<TFormatHist>(scene);
  case TCommandId::ClrHist:
    return std::make_unique<TClrHist>(scene);
  case TCommandId::ClrRead:
    return std::make_unique<TClrRead>(scene);
  default:
    return nullptr;
  }
}

} // namespace nova
