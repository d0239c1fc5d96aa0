// SPDX-License-Identifier: MIT
#include "scene/kinds/nova_mes.h"

#include <algorithm>
#include <optional>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/run_state.h"
#include "base/serializer.h"
#include "graphics/dibx.h"
#include "scene/kinds/mes_image_host.h"
#include "scene/message_records.h"
#include "scene/message_text_observer.h"
#include "scene/nova_base.h"
#include "scene/nova_base_list.h"
#include "scene/private/surface_rect.h"
#include "scene/scene_host.h"
#include "text/dibx_paint_target.h"

namespace nova {
namespace {

// Reveal states of a box's pages take a few kilobytes; a claim beyond this is damaged data.
constexpr size_t kMaxPageStateBytes = size_t{64} << 20;

std::vector<std::string> Lines(const std::string& text) { return SplitTextLines(text); }

// Back to nothing revealed: the reveal state restarts and every glyph is hidden until the
// reveal takes it.
void ResetPage(TZpWord& engine, TWdPage& page) {
  engine.ResetReveal(page);
  for (const auto& row : page.rows)
    for (TWdGlyph* g : row->glyphs)
      g->SetAlpha(0);
}

} // namespace

TNovaMes::TNovaMes(TNovaBaseList* owner)
    : TNovaControl(owner),
      images_(std::make_unique<TMesImageHost>(owner,
                                              [owner](const std::string& f) {
                                                ISceneHost* host = owner ? owner->Host() : nullptr;
                                                return host && host->ReadTitleFile(f).has_value();
                                              })),
      engine_(std::make_unique<TZpWord>()) {
  engine_->images = images_.get();
  engine_->settings.level = 3;
  engine_->settings.speed = text_delay_;
  engine_->event_sink = [this](const std::string& text) { OnInlineEvent(text); };
}

TNovaMes::~TNovaMes() {
  // Pages point into the engine's glyphs.
  pages_.clear();
}

TMessageRecords* TNovaMes::Records() const { return owner_ ? &owner_->MessageRecords() : nullptr; }

ITextCommandSource* TNovaMes::TextSource() const {
  TMessageRecords* r = Records();
  return r ? r->TextSource() : nullptr;
}

TWdPage* TNovaMes::CurrentPage() const {
  return index_ >= 0 && index_ < PageCount() ? pages_[static_cast<size_t>(index_)].get() : nullptr;
}

int32_t TNovaMes::PlayState() const {
  const TWdPage* page = CurrentPage();
  return page && !page->done ? 0 : 2;
}

bool TNovaMes::Playing() const {
  const TWdPage* page = CurrentPage();
  return page && (index_ < PageCount() - 1 || !page->done);
}

void TNovaMes::FreePages() {
  pages_.clear();
  index_ = -1;
}

void TNovaMes::CommitHistory() {
  if (TMessageRecords* r = Records())
    r->formats.Commit(name_);
}

std::string TNovaMes::PageText(TWdPage&) const {
  const std::vector<std::string> lines = engine_->CollectReplayValues();
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i)
      out += "\r\n";
    out += lines[i];
  }
  return out;
}

void TNovaMes::RecordShownPage() {
  TWdPage* page = CurrentPage();
  TMessageRecords* r = Records();
  if (!page || !r || read_tracking_ != rtCommand || source_page_.empty())
    return;
  // The box's glyphs start at the entry's first character of the command's text.
  const int32_t base = mes_data_.Entries().empty() ? 0 : mes_data_.Entries()[0].first;
  int32_t first = 0, last = -1;
  PageCharRange(*engine_, *page, base, first, last);
  r->formats.Record(*this, source_page_, PageText(*page), index_, last, first, command_index_);
  r->reads.SetPending(name_, source_page_, index_, command_index_);
}

bool TNovaMes::EventWaiting(uint8_t type) const {
  if (!owner_)
    return false;
  const TTimerList& events = owner_->Events();
  for (int i = 0; i < events.Count(); ++i) {
    const TTimerData& e = events.At(i);
    if (e.component == this && e.type == type && e.level == 0)
      return true;
  }
  return false;
}

void TNovaMes::PlayStart() {
  const std::string& handler = handlers_mes_[hPlayStart];
  if (!handler.empty() && !EventWaiting(PR_ONPLAYSTART)) {
    bool read = false;
    if (TMessageRecords* r = Records())
      read = read_tracking_ == rtCommand && !source_page_.empty() &&
             r->reads.IsRead(source_page_, command_index_, index_);
    QueueEvent(PR_ONPLAYSTART, handler, {read ? "1" : "0"});
  }
  start_delay_ = 1;
}

void TNovaMes::SetText(const std::string& markup) {
  Invalidate();
  // Both kinds of entries go: left-over references would bring an old history view back when
  // a saved game rebuilds the box.
  mes_data_.ClearEntries();
  mes_data_.ClearReferences();
  text_ = markup;
  CommitHistory();
  history_offset_ = 0;
  FreePages();
  engine_->Clear();
  try {
    ITextCommandSource* source = TextSource();
    engine_->Parse(Lines(markup), source ? source->TextDelayMs() : 0);
  } catch (const ENovaError&) {
    // A markup fault keeps the glyphs made before it.
  }
  engine_->ExpandVariables(0, -1, false);
  engine_->Layout(pages_);
  scroll_y_ = 0;
  if (!pages_.empty()) {
    index_ = 0;
    restart_ = 1;
    restart_mode_ = 1;
    PlayStart();
  }
}

void TNovaMes::SetIndex(int32_t i) {
  if (i < 0 || i >= PageCount() || i == index_)
    return;
  if (CurrentPage())
    CommitHistory();
  index_ = i;
  scroll_y_ = 0;
  PlayStart();
  RecordShownPage();
  ResetPage(*engine_, *CurrentPage());
  restart_ = 1;
  restart_mode_ = 1;
  Invalidate();
}

void TNovaMes::Rebuild(bool start_event, bool from_history) {
  Invalidate();
  text_.clear();
  CommitHistory();
  RecordShownPage();
  FreePages();
  mes_data_.Layout(*engine_, pages_, from_history, history_recall_ != 0, history_offset_,
                   TextSource());
  if (!pages_.empty()) {
    if (start_event)
      PlayStart();
    restart_ = 1;
    restart_mode_ = 1;
  }
}

void TNovaMes::InsertCommandText(const std::string& page, int32_t command, bool record_history) {
  read_tracking_ = record_history ? rtCommand : rtOff;
  if (record_history)
    SetSource(page, command);
  mes_data_.ClearEntries();
  mes_data_.ClearReferences();
  mes_data_.AddEntry(page, command, 0, -1, 0, std::string());
  history_recall_ = 0;
  history_offset_ = 0;
  Rebuild(false, false);
  if (PageCount() > 0)
    SetIndex(0);
}

void TNovaMes::ClearText() {
  read_tracking_ = rtOff;
  SetText(std::string());
}

void TNovaMes::AfterLoad() {
  const int32_t index = index_;
  const int32_t scroll = scroll_y_;
  const uint8_t tracking = read_tracking_;
  const std::string source = source_page_;
  const int32_t command = command_index_;
  if (mes_data_.IsEmpty())
    SetText(text_);
  else
    Rebuild(false, false);
  index_ = std::min(index, PageCount() - 1);
  scroll_y_ = scroll;
  read_tracking_ = tracking;
  source_page_ = source;
  command_index_ = command;
  if (TWdPage* page = CurrentPage()) {
    ResetPage(*engine_, *page);
    StartPage(*page, 0);
  }
  if (!pending_page_states_.empty()) {
    BinaryReader r(pending_page_states_, "message box " + name_ + " page states");
    try {
      for (auto& page : pages_)
        engine_->LoadRevealState(*page, r);
    } catch (const ENovaError&) {
      // States that do not fit the rebuilt pages leave the rest as rebuilt.
    }
    if (TWdPage* page = CurrentPage())
      StartPage(*page, 0);
  }
  pending_page_states_.clear();
  restart_ = 0;
  restart_mode_ = 0;
}

void TNovaMes::StartPage(TWdPage& page, int mode) {
  if (mode != 0) {
    ResetPage(*engine_, page);
    page.scroll = scroll_y_;
  }
  TCustomDIBX* target = GetTargetSurface();
  const int bpp = target && target->BitCount() > 0 ? target->BitCount()
                                                   : (owner_ ? owner_->ScreenBitCount() : 32);
  engine_->Render(page, bpp == 15 || bpp == 16 ? bpp : 32);
  Invalidate();
}

void TNovaMes::AddDirty(const std::vector<TextRect>& rects) {
  TNovaBase* layer = GetBase();
  if (!layer || !Visible())
    return;
  for (const TextRect& r : rects)
    layer->AddDirtyRect(TSceneRect{r.left, r.top, r.right, r.bottom});
}

void TNovaMes::OnInlineEvent(const std::string& text) {
  const std::string& handler = handlers_mes_[hNotify];
  if (!handler.empty())
    QueueEvent(PR_ONNOTIFY, handler, Lines(text));
}

bool TNovaMes::Update() {
  TNovaControl::Update();
  if (start_delay_ >= 1) {
    --start_delay_;
    return false;
  }
  if (EventWaiting(PR_ONPLAYSTART))
    return false;
  TWdPage* page = CurrentPage();
  engine_->settings.origin_x = ScreenLeft();
  engine_->settings.origin_y = ScreenTop();
  if (restart_ && page)
    StartPage(*page, restart_mode_);
  restart_ = 0;
  restart_mode_ = 0;
  if (!page)
    return false;
  const RevealResult step = engine_->RevealTick(*page, RunState().FrameDelta);
  if (!step.revealed_text.empty() && !handlers_mes_[hPlaying].empty())
    QueueEvent(PR_ONPLAYING, handlers_mes_[hPlaying], {step.revealed_text});
  if (step.just_completed) {
    if (IMessageTextObserver* observer = ServicesOf(owner_).message_text)
      observer->PageRevealed(PageReadingText(*page));
    if (TMessageRecords* r = Records())
      r->reads.Commit(name_);
    if (!handlers_mes_[hPlayEnd].empty())
      QueueEvent(PR_ONPLAYEND, handlers_mes_[hPlayEnd]);
  }
  if (Visible() && GetBase())
    AddDirty(engine_->dirty_rects());
  engine_->ClearDirty();
  return false;
}

void TNovaMes::Draw() {
  TCustomDIBX* surface = GetTargetSurface();
  TWdPage* page = CurrentPage();
  if (surface && page && Visible() && GetBase()) {
    const TSceneRect clip = ScreenBounds().Intersect(FromSurfaceRect(surface->ClipRect()));
    if (!clip.Empty()) {
      const TRect saved = surface->StoredClip();
      surface->ResetClip();
      surface->AddClipRect(ToSurfaceRect(clip));
      engine_->settings.origin_x = ScreenLeft();
      engine_->settings.origin_y = ScreenTop();
      DibxPaintTarget target(*surface);
      images_->SetTarget(surface);
      try {
        engine_->Paint(*page, target, TextRect{clip.Left, clip.Top, clip.Right, clip.Bottom});
      } catch (...) {
        images_->SetTarget(nullptr);
        surface->SetStoredClip(saved);
        throw;
      }
      images_->SetTarget(nullptr);
      surface->SetStoredClip(saved);
    }
  }
  DrawChildren();
}

TNovaControl* TNovaMes::HitTest(int32_t x, int32_t y, uint32_t accept_set) {
  if (!Visible() || !GetHitRect().Contains(x, y))
    return nullptr;
  for (auto it = children_.rbegin(); it != children_.rend(); ++it)
    if (TNovaControl* hit = (*it)->HitTest(x, y, accept_set))
      return hit;
  if (!(accept_set & (1u << ignore_mouse_)))
    return nullptr;
  if (!capture_link_)
    return this;
  TWdPage* page = CurrentPage();
  if (!page)
    return nullptr;
  engine_->settings.origin_x = ScreenLeft();
  engine_->settings.origin_y = ScreenTop();
  const TWdGlyph* g = engine_->HitTest(*page, x, y);
  return g && !g->Link().empty() ? this : nullptr;
}

void TNovaMes::MouseMove() {
  TWdPage* page = CurrentPage();
  TNovaBase* layer = GetBase();
  if (!page || !layer || !Visible()) {
    TNovaControl::MouseMove();
    return;
  }
  engine_->settings.origin_x = ScreenLeft();
  engine_->settings.origin_y = ScreenTop();
  if (paused_ || text_paused_ || !page->done)
    engine_->Hover(*page, -1, -1);
  else
    engine_->Hover(*page, layer->pointer_x, layer->pointer_y);
  AddDirty(engine_->dirty_rects());
  engine_->ClearDirty();
}

void TNovaMes::MouseOut(TNovaControl* next) {
  TWdPage* page = CurrentPage();
  if (!page) {
    TNovaControl::MouseOut(next);
    return;
  }
  engine_->Hover(*page, -1, -1);
  AddDirty(engine_->dirty_rects());
  engine_->ClearDirty();
}

void TNovaMes::LButtonDown() {
  TWdPage* page = CurrentPage();
  TWdGlyph* hovered = engine_->hover_glyph();
  if (page && hovered && !handlers_mes_[hLink].empty() && !EventWaiting(PR_ONLINK)) {
    std::vector<std::string> params{engine_->LinkText(*page)};
    for (std::string& line : Lines(hovered->Link()))
      params.push_back(std::move(line));
    QueueEvent(PR_ONLINK, handlers_mes_[hLink], std::move(params));
    if (TNovaBase* layer = GetBase())
      layer->left_click = false;
    return;
  }
  TNovaControl::LButtonDown();
}

void TNovaMes::SetWidth(int32_t v) {
  TNovaControl::SetWidth(v);
  engine_->settings.wrap_width = v;
}

void TNovaMes::SetHeight(int32_t v) {
  TNovaControl::SetHeight(v);
  engine_->settings.page_height = v;
}

void TNovaMes::ReleaseSurfaces() {
  // Inline pictures load again on the next paint; the engine's work surfaces are rebuilt by the
  // render that restoring starts.
  images_->Clear();
}

void TNovaMes::RestoreSurfaces() {
  if (TWdPage* page = CurrentPage())
    StartPage(*page, 0);
}

void TNovaMes::SettingChanged() {
  restart_ = 1;
  Invalidate();
}

void TNovaMes::SetPausedState(uint8_t& field, bool v) {
  field = v ? 1 : 0;
  engine_->settings.paused = paused_ || text_paused_;
  // Nothing else to do on resume: the next tick continues where the page stopped.
}

void TNovaMes::SetScrollY(int32_t v) {
  if (v == scroll_y_)
    return;
  scroll_y_ = v;
  if (TWdPage* page = CurrentPage())
    page->scroll = v;
  Invalidate();
}

// Settings of the layout engine: a change restarts the page.
template <class F, class V> void TNovaMes::ChangeSetting(F& field, V value) {
  if (field == value)
    return;
  field = value;
  SettingChanged();
}

const TPropTable& TNovaMes::Props() {
  using T = TNovaMes;
  using namespace props;
  static constexpr std::array kRows{
      Custom<T>(
          PR_ALPHA, peGeometry,
          [](const T& o) { return TPropValue::Int(o.engine_->settings.image_opacity); },
          [](T& o, const TPropValue& v) {
            o.ChangeSetting(o.engine_->settings.image_opacity, v.i);
          }),
      Custom<T>(
          PR_FONTNAME, peGeometry,
          [](const T& o) { return TPropValue::Str(o.engine_->settings.default_font); },
          [](T& o, const TPropValue& v) {
            if (o.font_changeable_)
              o.ChangeSetting(o.engine_->settings.default_font, v.s);
          }),
      Custom<T>(
          PR_FONTHEIGHT, peGeometry,
          [](const T& o) { return TPropValue::Int(o.engine_->settings.default_size); },
          [](T& o, const TPropValue& v) {
            o.ChangeSetting(o.engine_->settings.default_size, v.i);
          }),
      Custom<T>(
          PR_LINESPACE, peGeometry,
          [](const T& o) { return TPropValue::Int(o.engine_->settings.line_spacing); },
          [](T& o, const TPropValue& v) {
            o.ChangeSetting(o.engine_->settings.line_spacing, v.i);
          }),
      Custom<T>(
          PR_FONTCOLOR, peGeometry,
          [](const T& o) { return TPropValue::Int(o.engine_->settings.default_color); },
          [](T& o, const TPropValue& v) {
            o.ChangeSetting(o.engine_->settings.default_color, v.i);
          }),
      Custom<T>(
          PR_FONTLINKCOLOR, peGeometry,
          [](const T& o) { return TPropValue::Int(o.engine_->settings.link_color); },
          [](T& o, const TPropValue& v) { o.ChangeSetting(o.engine_->settings.link_color, v.i); }),
      Custom<T>(
          PR_FONTBORDERCOLOR, peGeometry,
          [](const T& o) { return TPropValue::Int(o.engine_->settings.default_border_color); },
          [](T& o, const TPropValue& v) {
            o.ChangeSetting(o.engine_->settings.default_border_color, v.i);
          }),
      Custom<T>(
          PR_FONTHOVERCOLOR, peGeometry,
          [](const T& o) { return TPropValue::Int(o.engine_->settings.hover_color); },
          [](T& o, const TPropValue& v) { o.ChangeSetting(o.engine_->settings.hover_color, v.i); }),
      Custom<T>(
          PR_FONTSHADOWCOLOR, peGeometry,
          [](const T& o) { return TPropValue::Int(o.engine_->settings.default_shadow_color); },
          [](T& o, const TPropValue& v) {
            o.ChangeSetting(o.engine_->settings.default_shadow_color, v.i);
          }),
      Custom<T>(
          PR_FONTBORDER, peGeometry,
          [](const T& o) { return TPropValue::Int(o.engine_->settings.default_border); },
          [](T& o, const TPropValue& v) {
            o.ChangeSetting(o.engine_->settings.default_border, v.i);
          }),
      Custom<T>(
          PR_FONTSHADOW, peGeometry,
          [](const T& o) { return TPropValue::Int(o.engine_->settings.default_shadow); },
          [](T& o, const TPropValue& v) {
            o.ChangeSetting(o.engine_->settings.default_shadow, v.i);
          }),
      Custom<T>(
          PR_FONTCHANGEABLED, peGeometry,
          [](const T& o) { return TPropValue::Flag(o.font_changeable_); },
          [](T& o, const TPropValue& v) { o.ChangeSetting(o.font_changeable_, v.f); }),
      Custom<T>(
          PR_ANTIALIAS, peGeometry,
          [](const T& o) { return TPropValue::Flag(o.engine_->settings.level > 0); },
          [](T& o, const TPropValue& v) {
            o.ChangeSetting(o.engine_->settings.level, v.f ? 3 : 0);
          }),
      Custom<T>(
          PR_DELAY, peGeometry,
          [](const T& o) { return TPropValue::Int(o.engine_->settings.fade_time); },
          [](T& o, const TPropValue& v) {
            o.ChangeSetting(o.engine_->settings.fade_time, std::max(0, v.i));
          }),
      Custom<T>(
          PR_PAUSED, peNone, [](const T& o) { return TPropValue::Flag(o.paused_ != 0); },
          [](T& o, const TPropValue& v) { o.SetPausedState(o.paused_, v.f); }),
      Custom<T>(
          PR_TEXTPAUSED, peNone, [](const T& o) { return TPropValue::Flag(o.text_paused_ != 0); },
          [](T& o, const TPropValue& v) { o.SetPausedState(o.text_paused_, v.f); }),
      Custom<T>(
          PR_TEXTDELAY, peNone, [](const T& o) { return TPropValue::Int(o.text_delay_); },
          [](T& o, const TPropValue& v) {
            o.text_delay_ = v.i;
            o.engine_->settings.speed = v.i;
          }),
      Stored<&T::index_, &T::SetIndex>(PR_INDEX, pePicture),
      Access<&T::PageCount, nullptr>(PR_COUNT, peNone),
      Stored<&T::scroll_y_, &T::SetScrollY>(PR_SCROLLY, pePicture),
      // The plain text of the page shown; a script's text is not tracked as read.
      Custom<T>(
          PR_TEXT, peGeometry,
          [](const T& o) {
            std::string text;
            if (const TWdPage* page = o.CurrentPage())
              for (const auto& row : page->rows)
                for (const TWdGlyph* g : row->glyphs)
                  text += g->PlainText();
            return TPropValue::Str(std::move(text));
          },
          [](T& o, const TPropValue& v) {
            o.read_tracking_ = rtOff;
            o.SetText(v.s);
          }),
      Custom<T>(
          PR_CARETX, peNone,
          [](const T& o) { return TPropValue::Int(o.engine_->settings.caret_x); }, nullptr),
      Custom<T>(
          PR_CARETY, peNone,
          [](const T& o) { return TPropValue::Int(o.engine_->settings.caret_y); }, nullptr),
      Custom<T>(
          PR_CARETHEIGHT, peNone,
          [](const T& o) { return TPropValue::Int(o.engine_->caret_height); }, nullptr),
      Access<&T::Playing, nullptr>(PR_PLAYING, peNone),
      Custom<T>(
          PR_ONPLAYING, peNone,
          [](const T& o) { return TPropValue::Str(o.handlers_mes_[hPlaying]); },
          [](T& o, const TPropValue& v) { o.handlers_mes_[hPlaying] = v.s; }),
      Custom<T>(
          PR_ONPLAYSTART, peNone,
          [](const T& o) { return TPropValue::Str(o.handlers_mes_[hPlayStart]); },
          [](T& o, const TPropValue& v) { o.handlers_mes_[hPlayStart] = v.s; }),
      Custom<T>(
          PR_ONPLAYEND, peNone,
          [](const T& o) { return TPropValue::Str(o.handlers_mes_[hPlayEnd]); },
          [](T& o, const TPropValue& v) { o.handlers_mes_[hPlayEnd] = v.s; }),
      Custom<T>(
          PR_ONLINK, peNone, [](const T& o) { return TPropValue::Str(o.handlers_mes_[hLink]); },
          [](T& o, const TPropValue& v) { o.handlers_mes_[hLink] = v.s; }),
      // Layout events reach scripts only while a notify handler is set.
      Custom<T>(
          PR_ONNOTIFY, peNone, [](const T& o) { return TPropValue::Str(o.handlers_mes_[hNotify]); },
          [](T& o, const TPropValue& v) {
            o.handlers_mes_[hNotify] = v.s;
            o.engine_->settings.events_on = !v.s.empty();
          }),
      Field<&T::idle_handler_>(PR_ONIDLE),
      Flag<&T::capture_link_>(PR_CAPTURELINK),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaControl::Props, kRows);
  return kTable;
}

void TNovaMes::SyncKind(TSerializer& s) {
  if (s.Saving())
    engine_->SaveSettings(s.Writer());
  else
    engine_->LoadSettings(s.Reader(), s.Version());
  // Entries written with the save take the replay values of the shown page.
  std::optional<std::string> shown_text;
  if (s.Saving())
    if (TWdPage* page = CurrentPage())
      shown_text = PageText(*page);
  mes_data_.Sync(s, shown_text ? &*shown_text : nullptr);
  s.U8(history_recall_);
  s.I32(history_offset_, Since{113});
  s.String(text_);
  s.I32(index_);
  s.I32(scroll_y_);
  s.I32(stored_int_);
  for (std::string& stored : stored_strings_)
    s.String(stored);
  for (std::string& h : handlers_mes_)
    s.String(h);
  s.U8(paused_);
  s.U8(text_paused_);
  s.I32(text_delay_);
  s.U8(read_tracking_);
  s.String(source_page_);
  s.I32(command_index_);
  s.String(idle_handler_, Since{104});
  s.U8(capture_link_, Since{120});
  std::vector<uint8_t> states;
  if (s.Saving()) {
    BinaryWriter w;
    for (const auto& page : pages_)
      engine_->SaveRevealState(*page, w);
    states = w.Take();
  }
  s.Bytes(states, "message box page state bytes");
  if (s.Saving())
    return;
  if (states.size() > kMaxPageStateBytes)
    s.Reader().Fail("message box page states of " + std::to_string(states.size()) + " bytes");
  pending_page_states_ = std::move(states);
  pages_.clear();
  engine_->Clear();
  engine_->settings.speed = text_delay_;
  engine_->settings.paused = paused_ || text_paused_;
  engine_->settings.events_on = !handlers_mes_[hNotify].empty();
  // The pages come back in AfterLoad; until then the index names no page.
}

void RefreshMessageBoxes(TNovaBaseList& scene) {
  for (int i = 0; i < scene.GetObjectCount(); ++i)
    if (auto* box = dynamic_cast<TNovaMes*>(scene.GetObject(i)))
      box->AfterLoad();
}

} // namespace nova
