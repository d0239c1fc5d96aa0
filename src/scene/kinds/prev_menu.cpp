// SPDX-License-Identifier: MIT
#include "scene/kinds/prev_menu.h"

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/serializer.h"
#include "base/sjis.h"
#include "scene/component_factory.h"
#include "scene/nova_base.h"
#include "scene/nova_motion.h"
#include "scene/scene_host.h"

namespace nova {
namespace {

constexpr int kEnter = 13, kSpace = 32;
constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40;

// Picture numbers of an item record.
enum : int {
  pcNormal = 0,
  pcHover = 1,
  pcLeave = 2,
  pcClicked = 3,
  pcDisabled = 4,
  pcDisabledHover = 5,
  pcDisabledLeave = 6,
  pcHoverOverlay = 7,
  pcLeaveOverlay = 8,
  pcClickOverlay = 9,
  pcDisabledHoverOverlay = 10,
  pcDisabledLeaveOverlay = 11,
  pcSelected = 12,
  pcSelectedHover = 13,
  pcSelectedLeave = 14,
  pcSelectOverlay = 15,
  pcDeselectOverlay = 16,
  pcSelectedHoverOverlay = 17,
  pcSelectedLeaveOverlay = 18
};

// Overlay priorities: leaving below entering below clicking.
constexpr int32_t kLeavePriority = 0, kEnterPriority = 1, kClickPriority = 2;

} // namespace

// Item images.

void TNovaPrevImages::Show(const std::string& file, bool loop) {
  SetAlpha(255);
  SetBrightness(0);
  SetFloatZoomX(1.0L);
  SetFloatZoomY(1.0L);
  SetFlipH(false);
  SetFlipV(false);
  SetAngle(0);
  repeat_ = loop ? 1 : 0;
  report_end_ = !loop;
  // The same picture starts again from its beginning.
  if (file == source_)
    SetSource(std::string());
  SetSource(file);
}

bool TNovaPrevImages::LastFrameShown() const {
  if (motion_)
    return motion_->Finished();
  TNovaImageList* list = GetFrameList();
  // Nothing to show has nothing to wait for.
  if (!list || list->Count() == 0)
    return true;
  return frame_index_ == list->Count() - 1 && countdown_ < 1;
}

bool TNovaPrevImages::Update() {
  const bool done = TNovaImages::Update();
  if (report_end_ && !repeat_ && LastFrameShown()) {
    report_end_ = false;
    if (menu_ && menu_->IsAlive())
      menu_->AnimationEnded(*this);
  }
  return done;
}

// The menu.

TNovaPrevMenu::TNovaPrevMenu(TNovaBaseList* owner) : TSelectionKind(owner) {}

// The item images died with the menu's children before this runs.
TNovaPrevMenu::~TNovaPrevMenu() = default;

TNovaPrevImages* TNovaPrevMenu::ItemImage(int i) const {
  if (!Valid(i))
    return nullptr;
  TNovaPrevImages* img = items_[static_cast<size_t>(i)].image;
  return img && img->IsAlive() ? img : nullptr;
}

TNovaPrevImages* TNovaPrevMenu::Overlay(int i) const {
  if (!Valid(i))
    return nullptr;
  TNovaPrevImages* img = items_[static_cast<size_t>(i)].overlay;
  return img && img->IsAlive() && !img->IsPendingDelete() ? img : nullptr;
}

const std::string& TNovaPrevMenu::Pic(int i, int k) const {
  return items_[static_cast<size_t>(i)].data.pictures[static_cast<size_t>(k)];
}

void TNovaPrevMenu::ShowPic(int i, int k, bool loop) {
  if (TNovaPrevImages* img = ItemImage(i))
    img->Show(k < 0 ? std::string() : Pic(i, k), loop);
}

int TNovaPrevMenu::EnabledPic(int i) const {
  return GetItemEnabled(i) || !Has(i, pcDisabled) ? pcNormal : pcDisabled;
}

void TNovaPrevMenu::ShowResting(int i) {
  if (!GetItemVisible(i)) {
    ShowPic(i, -1, true);
    return;
  }
  const bool e = GetItemEnabled(i), s = GetItemSelected(i), h = i == hover_;
  const std::pair<bool, int> rules[] = {{e && s && h, pcSelectedHover},
                                        {e && s, pcSelected},
                                        {e && h, pcHover},
                                        {e, pcNormal},
                                        {!e, pcDisabled}};
  for (const auto& [holds, k] : rules)
    if (holds && Has(i, k)) {
      ShowPic(i, k, true);
      return;
    }
  ShowPic(i, -1, true);
}

TNovaPrevImages* TNovaPrevMenu::NewImage(int32_t x, int32_t y) {
  auto* img = CreateComponent<TNovaPrevImages>(owner_, this);
  if (owner_)
    img->SetNameRaw(owner_->UniqueName("\x01" + name_ + "\x01"));
  img->SetParent(this);
  img->SetLeft(x);
  img->SetTop(y);
  return img;
}

void TNovaPrevMenu::RemoveOverlay(int i) {
  if (TNovaPrevImages* o = Overlay(i))
    o->FreeLater();
  items_[static_cast<size_t>(i)].overlay = nullptr;
}

void TNovaPrevMenu::PlayOverlay(int i, int k, int32_t priority, bool loop) {
  if (!Has(i, k)) {
    RemoveOverlay(i);
    return;
  }
  TItem& item = items_[static_cast<size_t>(i)];
  TNovaPrevImages* o = Overlay(i);
  if (!o) {
    o = NewImage(item.data.overlay_x, item.data.overlay_y);
    item.overlay = o;
  }
  o->SetPriority(priority);
  o->Show(Pic(i, k), loop);
}

// Loading.

void TNovaPrevMenu::ClearItems() {
  for (TItem& item : items_)
    for (TNovaPrevImages* img : {item.image, item.overlay})
      if (img && img->IsAlive() && owner_)
        owner_->Destroy(img);
  items_.clear();
  held_.clear();
  held_names_.clear();
  hover_ = pressed_ = -1;
  running_ = 0;
  enabled_.clear();
  visible_.clear();
  selected_.clear();
}

void TNovaPrevMenu::Preload(const std::string& file) {
  if (file.empty())
    return;
  for (const std::string& n : held_names_)
    if (SameTextJ(n, file))
      return;
  held_names_.push_back(file);
  // Films are opened when shown; pictures stay in the cache while the menu lives.
  if (IsExtension(file, ".NMT"))
    return;
  held_.push_back(std::make_unique<TImageItemHold>());
  held_.back()->Hold(ServicesOf(owner_).images.cache, this, file);
}

void TNovaPrevMenu::SetSource(const std::string& file) {
  if (file == source_)
    return;
  source_ = file;
  Invalidate();
  ClearItems();
  std::optional<std::vector<uint8_t>> bytes;
  if (!file.empty() && owner_ && owner_->Host())
    bytes = owner_->Host()->ReadTitleFile(file);
  if (!bytes) {
    SetBounds(left_, top_, 0, 0);
    return;
  }
  const TPrevTemplate t = ReadPrevTemplate(*bytes, file);
  SetBounds(left_, top_, t.width, t.height);
  const size_t n = t.buttons.size();
  enabled_.assign(n, 1);
  visible_.assign(n, 1);
  selected_.assign(n, 0);
  items_.resize(n);
  for (size_t i = 0; i < n; ++i) {
    const TPrevButton& b = t.buttons[i];
    TItem& item = items_[i];
    item.data.pictures = b.pictures;
    item.data.overlay_x = b.overlay_x;
    item.data.overlay_y = b.overlay_y;
    item.data.name = b.name;
    item.data.index = static_cast<int32_t>(i);
    item.data.group = b.group;
    item.image = NewImage(b.x, b.y);
    item.image->SetProp(PR_SOURCE, TPropValue::Str(b.pictures[pcNormal]));
    item.image->SetProp(PR_REPEAT, TPropValue::Flag(true));
    item.image->SetProp(PR_CAPTUREMASK, TPropValue::Flag(b.capture_mask != 0));
    item.image->SetProp(PR_CURSOR, TPropValue::Str(b.cursor));
    for (const std::string& p : b.pictures)
      Preload(p);
  }
  // The default choice of each radio group shows as chosen.
  for (int i = 0; i < ItemCount(); ++i)
    if (GetItemSelected(i) && Has(i, pcSelected))
      ShowPic(i, pcSelected, true);
}

// Hover and choice.

void TNovaPrevMenu::SetHoverItem(int32_t i) {
  if (running_ > 0 || i == hover_)
    return;
  const int32_t b = hover_;
  if (Valid(b)) {
    const bool e = GetItemEnabled(b);
    if (GetItemSelected(b)) {
      if (Has(b, pcSelectedLeave))
        ShowPic(b, pcSelectedLeave, false);
      else if (Has(b, pcSelected))
        ShowPic(b, pcSelected, true);
      else if (e || !Has(b, pcDisabledLeave))
        ShowPic(b, pcNormal, true);
      else
        ShowPic(b, pcDisabledLeave, false);
      PlayOverlay(b, Has(b, pcSelectedLeaveOverlay) ? pcSelectedLeaveOverlay : pcLeaveOverlay,
                  kLeavePriority, false);
    } else if (e) {
      if (Has(b, pcLeave))
        ShowPic(b, pcLeave, false);
      else
        ShowPic(b, pcNormal, true);
      PlayOverlay(b, pcLeaveOverlay, kLeavePriority, false);
    } else {
      if (Has(b, pcDisabledLeave))
        ShowPic(b, pcDisabledLeave, false);
      else
        ShowPic(b, pcDisabled, true);
      PlayOverlay(b, pcDisabledLeaveOverlay, kLeavePriority, false);
    }
    Raise(PR_ONMAPOUT, on_map_out_, {Data(b).name, std::to_string(Data(b).index)});
  }
  hover_ = i;
  if (!Valid(i))
    return;
  const bool e = GetItemEnabled(i);
  if (GetItemSelected(i)) {
    if (Has(i, pcSelectedHover))
      ShowPic(i, pcSelectedHover, true);
    else if (Has(i, pcSelected))
      ShowPic(i, pcSelected, true);
    else if (e || !Has(i, pcDisabledHover))
      ShowPic(i, pcNormal, true);
    else
      ShowPic(i, pcDisabledHover, true);
    PlayOverlay(i, Has(i, pcSelectedHoverOverlay) ? pcSelectedHoverOverlay : pcHoverOverlay,
                kEnterPriority, true);
  } else if (e) {
    ShowPic(i, Has(i, pcHover) ? pcHover : pcNormal, true);
    PlayOverlay(i, pcHoverOverlay, kEnterPriority, true);
  } else {
    ShowPic(i, Has(i, pcDisabledHover) ? pcDisabledHover : pcDisabled, true);
    PlayOverlay(i, pcDisabledHoverOverlay, kEnterPriority, true);
  }
  Raise(PR_ONMAPIN, on_map_in_, {Data(i).name, std::to_string(Data(i).index)});
}

void TNovaPrevMenu::SelectItem() {
  const int32_t a = hover_;
  if (!Valid(a))
    return;
  const int32_t g = Data(a).group;
  if (g != 0) {
    if (Marked(a)) {
      // A radio item stays chosen; a toggle item lets go.
      if (g > 0)
        return;
      selected_[static_cast<size_t>(a)] = 0;
    } else {
      selected_[static_cast<size_t>(a)] = 1;
      for (int j = 0; j < ItemCount(); ++j)
        if (j != a && Data(j).group == g && Marked(j)) {
          selected_[static_cast<size_t>(j)] = 0;
          ShowPic(j, EnabledPic(j), true);
        }
    }
    const bool s = GetItemSelected(a);
    ShowPic(a, s && Has(a, pcSelected) ? pcSelected : EnabledPic(a), false);
    ++running_;
    const int overlay = s ? pcSelectOverlay : pcDeselectOverlay;
    if (Has(a, overlay)) {
      PlayOverlay(a, overlay, kClickPriority, false);
      ++running_;
    } else {
      RemoveOverlay(a);
    }
  } else {
    if (Has(a, pcClicked)) {
      ShowPic(a, pcClicked, false);
      ++running_;
    }
    if (Has(a, pcClickOverlay)) {
      PlayOverlay(a, pcClickOverlay, kClickPriority, false);
      ++running_;
    } else {
      RemoveOverlay(a);
    }
  }
  ReportChoice(on_select_, Data(a).name, Data(a).index);
  if (running_ == 0)
    FinishSelection();
}

void TNovaPrevMenu::FinishSelection() {
  if (auto_scrap_) {
    FreeLater();
    return;
  }
  const bool hovered = Valid(hover_);
  Raise(PR_ONPLAYEND, on_play_end_,
        {hovered ? Data(hover_).name : std::string(),
         std::to_string(hovered ? Data(hover_).index : -1)});
}

void TNovaPrevMenu::AnimationEnded(TNovaPrevImages& img) {
  int32_t a = -1;
  for (int i = 0; i < ItemCount() && a < 0; ++i) {
    if (items_[static_cast<size_t>(i)].overlay == &img) {
      img.FreeLater();
      items_[static_cast<size_t>(i)].overlay = nullptr;
      a = i;
    } else if (items_[static_cast<size_t>(i)].image == &img) {
      ShowResting(i);
      a = i;
    }
  }
  if (a < 0 || running_ <= 0 || a != hover_)
    return;
  if (--running_ > 0)
    return;
  FinishSelection();
  TNovaBase* layer = GetBase();
  if (layer && IsAlive() &&
      layer->HitTest(layer->pointer_x, layer->pointer_y, kAcceptHover) != this)
    SetHoverItem(-1);
}

// Item operations.

bool TNovaPrevMenu::GetItemEnabled(int i) const {
  return Valid(i) && enabled_[static_cast<size_t>(i)] != 0;
}

void TNovaPrevMenu::SetItemEnabled(int i, bool b) {
  if (!Valid(i) || GetItemEnabled(i) == b)
    return;
  enabled_[static_cast<size_t>(i)] = b ? 1 : 0;
  ShowPic(i, b ? pcNormal : pcDisabled, true);
}

bool TNovaPrevMenu::GetItemVisible(int i) const {
  return Valid(i) && visible_[static_cast<size_t>(i)] != 0;
}

void TNovaPrevMenu::SetItemVisible(int i, bool b) {
  if (!Valid(i) || GetItemVisible(i) == b)
    return;
  visible_[static_cast<size_t>(i)] = b ? 1 : 0;
  if (TNovaPrevImages* img = ItemImage(i))
    img->SetVisible(b);
  if (b)
    ShowPic(i, GetItemEnabled(i) ? pcNormal : pcDisabled, true);
  else
    ShowPic(i, -1, true);
  const int32_t g = Data(i).group;
  if (g == 0)
    return;
  // Hiding or showing an item can move a group's default choice.
  for (int j = 0; j < ItemCount(); ++j)
    if (j != i && Data(j).group == g && GetItemVisible(j))
      ShowPic(j, GetItemSelected(j) && Has(j, pcSelected) ? pcSelected : EnabledPic(j), true);
}

bool TNovaPrevMenu::GetItemSelected(int i) const {
  if (!Valid(i) || !GetItemVisible(i))
    return false;
  const int32_t g = Data(i).group;
  if (g == 0)
    return false;
  bool marked_in_group = false;
  for (int j = 0; j < ItemCount(); ++j) {
    if (Data(j).group != g || !GetItemVisible(j) || !Marked(j))
      continue;
    marked_in_group = true;
    // The first marked item of a group is its choice.
    if (j < i)
      return false;
    if (j == i)
      return true;
  }
  if (marked_in_group || g < 0)
    return false;
  // A radio group nobody marked defaults to its first visible item.
  for (int j = 0; j < i; ++j)
    if (Data(j).group == g && GetItemVisible(j))
      return false;
  return true;
}

void TNovaPrevMenu::SetItemSelected(int i, bool b) {
  if (!Valid(i))
    return;
  const bool changed = Marked(i) != b;
  selected_[static_cast<size_t>(i)] = b ? 1 : 0;
  ShowPic(i, b && Has(i, pcSelected) ? pcSelected : EnabledPic(i), true);
  if (changed)
    RemoveOverlay(i);
}

int32_t TNovaPrevMenu::GetItemGroup(int i) const { return Valid(i) ? Data(i).group : 0; }

std::string TNovaPrevMenu::GetItemText(int i) const {
  return Valid(i) ? Data(i).name : std::string();
}

// Pointer and keys.

std::string TNovaPrevMenu::GetCursorFile() const {
  if (TNovaPrevImages* img = ItemImage(hover_))
    return img->GetCursorFile();
  return cursor_;
}

TNovaControl* TNovaPrevMenu::HitTest(int32_t x, int32_t y, uint32_t accept_set) {
  if (!Visible() || !GetHitRect().Contains(x, y))
    return nullptr;
  auto is_item = [&](const TNovaControl* c) {
    for (const TItem& item : items_)
      if (item.image == c)
        return true;
    return false;
  };
  const bool accepts = ignore_mouse_ < 32 && (accept_set & (1u << ignore_mouse_));
  if (accepts)
    for (auto it = children_.rbegin(); it != children_.rend(); ++it)
      if (is_item(*it) && (*it)->HitTest(x, y, accept_set))
        return this;
  for (auto it = children_.rbegin(); it != children_.rend(); ++it)
    if (!is_item(*it))
      if (TNovaControl* hit = (*it)->HitTest(x, y, accept_set))
        return hit;
  return nullptr;
}

int32_t TNovaPrevMenu::ItemUnderPointer() const {
  TNovaBase* layer = GetBase();
  if (!layer)
    return -1;
  for (int i = 0; i < ItemCount(); ++i)
    if (TNovaPrevImages* img = ItemImage(i))
      if (img->HitTest(layer->pointer_x, layer->pointer_y, kAcceptHover) == img)
        return i;
  return -1;
}

void TNovaPrevMenu::MouseMove() {
  SetHoverItem(ItemUnderPointer());
  TNovaControl::MouseMove();
}

void TNovaPrevMenu::MouseOut(TNovaControl* next) {
  SetHoverItem(-1);
  TNovaControl::MouseOut(next);
}

void TNovaPrevMenu::LButtonDown() {
  bool skipped = false;
  if (running_ > 0 && !auto_scrap_) {
    const int32_t under = ItemUnderPointer();
    if (GetItemEnabled(under)) {
      // The click finishes the running animation at once.
      running_ = 0;
      FinishSelection();
      SetHoverItem(under);
      skipped = true;
    }
  }
  // A press that skipped an animation does not choose again on its release.
  pressed_ = skipped ? -1 : hover_;
  TNovaControl::LButtonDown();
}

void TNovaPrevMenu::LButtonUp() {
  if (pressed_ >= 0 && pressed_ == hover_ && !EventsSuppressed() && GetItemEnabled(hover_) &&
      running_ == 0)
    SelectItem();
  pressed_ = -1;
  TNovaControl::LButtonUp();
}

void TNovaPrevMenu::RButtonDown() {
  if (rclick_scrap_)
    FreeLater();
  TNovaControl::RButtonDown();
}

bool TNovaPrevMenu::TakeRightClick() {
  if (EventsSuppressed() || (ignore_mouse_ != IM_NONE && ignore_mouse_ != IM_LCLICK))
    return false;
  SetSelection(owner_, std::string(), -1);
  FreeLater();
  return true;
}

void TNovaPrevMenu::KeyRepeatEvent(const std::vector<std::string>& keys) {
  std::vector<int> shown;
  for (int i = 0; i < ItemCount(); ++i)
    if (GetItemVisible(i))
      shown.push_back(i);
  if (!shown.empty() && owner_) {
    const TNovaBaseList& l = *owner_;
    const auto at = std::find(shown.begin(), shown.end(), hover_);
    const bool none = at == shown.end();
    if (l.KeyRepeatBefore(kLeft) || l.KeyRepeatBefore(kUp)) {
      SetHoverItem(none || at == shown.begin() ? shown.back() : *(at - 1));
    } else if (l.KeyRepeatBefore(kRight) || l.KeyRepeatBefore(kDown)) {
      SetHoverItem(none || at + 1 == shown.end() ? shown.front() : *(at + 1));
    } else if ((l.KeyRepeatBefore(kSpace) || l.KeyRepeatBefore(kEnter)) && GetItemEnabled(hover_) &&
               !EventsSuppressed()) {
      SelectItem();
    }
  }
  TNovaControl::KeyRepeatEvent(keys);
}

// Properties and persistence.

const TPropTable& TNovaPrevMenu::Props() {
  using T = TNovaPrevMenu;
  using namespace props;
  static constexpr std::array kRows{
      Stored<&T::source_, &T::SetSource>(PR_SOURCE, peGeometry),
      // The item names, one a line.
      Custom<T>(
          PR_TEXT, peNone,
          [](const T& o) {
            std::string text;
            for (int i = 0; i < o.ItemCount(); ++i)
              text += (i ? "\r\n" : "") + o.Data(i).name;
            return TPropValue::Str(std::move(text));
          },
          nullptr),
      Access<&T::ItemCount, nullptr>(PR_COUNT, peNone),
      Flag<&T::auto_scrap_>(PR_AUTOSCRAP),
      Flag<&T::rclick_scrap_>(PR_RCLICKSCRAP),
      Flag<&T::paused_>(PR_PAUSED),
      Field<&T::on_select_>(PR_ONSELECT),
      Field<&T::on_map_in_>(PR_ONMAPIN),
      Field<&T::on_map_out_>(PR_ONMAPOUT),
      Field<&T::on_idle_>(PR_ONIDLE),
      Field<&T::on_play_end_>(PR_ONPLAYEND),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaControl::Props, kRows);
  return kTable;
}

void TNovaPrevMenu::SyncKind(TSerializer& s) {
  std::string source = source_;
  s.String(source);
  s.U8(auto_scrap_);
  s.U8(rclick_scrap_);
  s.U8(paused_);
  s.String(on_map_in_);
  s.String(on_map_out_);
  s.String(on_idle_);
  s.String(on_select_);
  s.String(on_play_end_);
  std::vector<uint8_t> enabled, visible, selected;
  if (s.Saving()) {
    enabled = enabled_;
    visible = visible_;
    selected = selected_;
  }
  s.Bytes(enabled, "item flag count", Since{127});
  s.Bytes(visible, "item flag count", Since{132});
  s.Bytes(selected, "item flag count", Since{136});
  if (s.Saving())
    return;
  SetSource(source);
  for (size_t i = 0; i < enabled.size() && i < items_.size(); ++i)
    SetItemEnabled(static_cast<int>(i), enabled[i] != 0);
  for (size_t i = 0; i < visible.size() && i < items_.size(); ++i)
    SetItemVisible(static_cast<int>(i), visible[i] != 0);
  for (size_t i = 0; i < selected.size() && i < items_.size(); ++i)
    SetItemSelected(static_cast<int>(i), selected[i] != 0);
}

} // namespace nova
