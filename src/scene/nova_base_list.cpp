// SPDX-License-Identifier: MIT
// The scene's registry, look-ups, layers, keys, pointer state and focus.
#include "scene/nova_base_list.h"

#include <algorithm>

#include "scene/component_factory.h"
#include "scene/scene_host.h"

namespace nova {
namespace {

const std::string kBase0("\x01"
                         "BASE0");
const std::string kBase1("\x01"
                         "BASE1");
const std::string kOtherLayer("\x01");

} // namespace

void TNovaBaseList::CreateLayers() {
  for (int i = 0; i < 2; ++i) {
    layers_[static_cast<size_t>(i)] = std::make_unique<TNovaBase>(this, i);
    TNovaBase& layer = *layers_[static_cast<size_t>(i)];
    layer.name_ = i == 0 ? kBase0 : kBase1;
    layer.width_ = width_;
    layer.height_ = height_;
  }
}

void TNovaBaseList::DestroyAll() {
  transition_.reset();
  for (auto& layer : layers_)
    if (layer) {
      Destroy(layer.get());
      layer.reset();
    }
  events_.Clear();
  while (!objects_.empty())
    Destroy(objects_.back());
  pending_.clear();
  focus_ = nullptr;
}

void TNovaBaseList::Reset() {
  DestroyAll();
  CreateLayers();
  SetSceneSize(width_, height_);
  int32_t x = 0, y = 0;
  if (host_)
    host_->PointerPosition(x, y);
  for (auto& layer : layers_) {
    layer->pointer_x = x;
    layer->pointer_y = y;
  }
  front_ = 0;
  refocus_requested_ = false;
}

void TNovaBaseList::Adopt(TNovaObject* obj) {
  if (obj->WantsDefaultName())
    Rename(obj, UniqueName("object"));
  Register(obj);
  if (obj->AsControl() && !focus_)
    refocus_requested_ = true;
}

void TNovaBaseList::Register(TNovaObject* obj) {
  if (!obj || !registered_.emplace(obj, ++registrations_).second)
    return;
  objects_.push_back(obj);
  IndexName(obj);
}

void TNovaBaseList::Unregister(TNovaObject* obj) {
  if (!registered_.count(obj))
    return;
  UnindexName(obj);
  registered_.erase(obj);
  // Searched from the end: the scene is torn down from its newest component.
  const auto it = std::find(objects_.rbegin(), objects_.rend(), obj);
  objects_.erase(std::next(it).base());
}

void TNovaBaseList::Rename(TNovaObject* obj, std::string name) {
  if (!registered_.count(obj)) {
    obj->name_ = std::move(name);
    return;
  }
  UnindexName(obj);
  obj->name_ = std::move(name);
  IndexName(obj);
}

void TNovaBaseList::IndexName(TNovaObject* obj) {
  std::vector<TNovaObject*>& named = by_name_[obj->name_];
  const uint64_t order = registered_.at(obj);
  auto at = named.end();
  while (at != named.begin() && registered_.at(*std::prev(at)) > order)
    --at;
  named.insert(at, obj);
}

void TNovaBaseList::UnindexName(TNovaObject* obj) {
  const auto named = by_name_.find(obj->name_);
  if (named == by_name_.end())
    return;
  std::erase(named->second, obj);
  if (!named->second.empty())
    return;
  by_name_.erase(named);
  if (taken_runs_.empty())
    return;
  // The name may be a stem followed by a number that UniqueName now has to offer again.
  const std::string& name = obj->name_;
  for (size_t cut = name.size(); cut > 0 && name[cut - 1] >= '0' && name[cut - 1] <= '9';) {
    --cut;
    const size_t digits = name.size() - cut;
    if (digits > 18)
      break;
    if (name[cut] == '0' && digits > 1)
      continue;
    const auto stem = taken_runs_.find(name.substr(0, cut));
    const int64_t n = std::stoll(name.substr(cut));
    if (stem != taken_runs_.end() && n >= stem->second.first && n < stem->second.end)
      stem->second.end = n;
  }
}

TNovaObject* TNovaBaseList::GetObject(int i) const {
  if (i < 0 || i >= GetObjectCount())
    return nullptr;
  return objects_[static_cast<size_t>(i)];
}

int TNovaBaseList::IndexOf(const TNovaObject* obj) const {
  if (!registered_.count(obj))
    return -1;
  const auto it = std::find(objects_.begin(), objects_.end(), obj);
  return static_cast<int>(it - objects_.begin());
}

bool TNovaBaseList::IsRegistered(const TNovaObject* obj) const { return registered_.count(obj); }

bool TNovaBaseList::IsAlive(const TNovaObject* obj) const {
  return obj && (registered_.count(obj) || obj == layers_[0].get() || obj == layers_[1].get());
}

void TNovaBaseList::FreeLater(TNovaObject* obj) {
  if (!IsRegistered(obj))
    return;
  if (std::find(pending_.begin(), pending_.end(), obj) == pending_.end())
    pending_.push_back(obj);
  Rename(obj, std::string());
}

bool TNovaBaseList::IsPendingDelete(const TNovaObject* obj) const {
  return std::find(pending_.begin(), pending_.end(), obj) != pending_.end();
}

void TNovaBaseList::Destroy(TNovaObject* obj) {
  const bool is_layer = obj && (obj == layers_[0].get() || obj == layers_[1].get());
  if (!obj || (!is_layer && !IsRegistered(obj)))
    return;
  if (TNovaControl* c = obj->AsControl()) {
    if (c->parent_) {
      // What it showed is drawn over at the next draw step.
      c->Invalidate();
      std::erase(c->parent_->children_, c);
      c->parent_ = nullptr;
      c->PlacementChanged();
    }
    c->DetachChildren();
    if (focus_ == c) {
      focus_ = nullptr;
      refocus_requested_ = true;
    }
    for (auto& layer : layers_)
      if (layer && layer->pointer_target == c)
        layer->pointer_target = nullptr;
    std::erase(selections_, c);
  }
  events_.RemoveWaitingOf(obj);
  events_.ForgetSender(obj);
  std::erase(pending_, obj);
  Unregister(obj);
  if (!is_layer)
    delete obj;
}

bool TNovaBaseList::NameTaken(const std::string& name) const { return by_name_.count(name) != 0; }

std::string TNovaBaseList::UniqueName(const std::string& stem, int64_t first) const {
  TTakenRun& run = taken_runs_[stem];
  if (first < run.first || first > run.end)
    run = {first, first};
  for (;; ++run.end) {
    std::string name = stem + std::to_string(run.end);
    if (!NameTaken(name))
      return name;
  }
}

TNovaObject* TNovaBaseList::FirstNamed(const std::string& name) const {
  const auto named = by_name_.find(name);
  return named == by_name_.end() ? nullptr : named->second.front();
}

TNovaObject* TNovaBaseList::FindByName(const std::string& name) const {
  if (name.empty() || name == kBase0)
    return Front();
  if (name == kOtherLayer || name == kBase1)
    return Back();
  const auto named = by_name_.find(name);
  if (named != by_name_.end())
    for (TNovaObject* o : named->second)
      if (!IsPendingDelete(o))
        return o;
  return nullptr;
}

TNovaControl* TNovaBaseList::FindControl(const std::string& name) const {
  if (name.empty())
    return Front();
  if (name == kOtherLayer)
    return Back();
  if (name == kBase0)
    return GetLayer(0);
  if (name == kBase1)
    return GetLayer(1);
  const auto named = by_name_.find(name);
  if (named != by_name_.end())
    for (TNovaObject* o : named->second)
      if (o->AsControl() && !IsPendingDelete(o))
        return o->AsControl();
  return nullptr;
}

int TNovaBaseList::ListNames(std::vector<std::string>& out, uint8_t kind,
                             const TNovaObject* parent) const {
  int count = 0;
  for (const TNovaObject* o : objects_) {
    if (kind != 0 && o->GetKind() != kind)
      continue;
    if (parent != this) {
      const TNovaControl* c = o->AsControl();
      if (!c || c->Parent() != parent)
        continue;
    }
    out.push_back(o->name_);
    ++count;
  }
  return count;
}

void TNovaBaseList::RemoveSelection(TNovaControl* c) { std::erase(selections_, c); }

// Keys.

void TNovaBaseList::SetKeyState(int code, bool down) {
  if (code < 0 || code > 255)
    return;
  const auto k = static_cast<size_t>(code);
  if ((key_down_[k] != 0) == down)
    return;
  key_down_[k] = down ? 1 : 0;
  key_repeat_[k] = down ? 1 : 0;
  if (down) {
    repeat_timer_[k] = kKeyRepeatFirstMs;
    key_down_happened_ = true;
    key_repeat_happened_ = true;
    keys_down_.push_back(code);
    keys_repeated_.push_back(code);
  } else {
    key_up_happened_ = true;
    keys_up_.push_back(code);
  }
}

void TNovaBaseList::SetKeyClicked(int code) {
  if (code >= 0 && code <= 255)
    key_clicked_[static_cast<size_t>(code)] = 1;
}

void TNovaBaseList::ReleaseKeys() {
  key_down_.fill(0);
  key_clicked_.fill(0);
  key_repeat_.fill(0);
  repeat_timer_.fill(0);
  key_down_happened_ = key_up_happened_ = key_repeat_happened_ = false;
  keys_down_.clear();
  keys_up_.clear();
  keys_repeated_.clear();
}

bool TNovaBaseList::KeyState(const std::array<uint8_t, 256>& keys, int code) const {
  // The wheel reads as two more keys: the front layer's latched wheel of this frame.
  if (code == VkmWheelDown)
    return Front()->wheel_down;
  if (code == VkmWheelUp)
    return Front()->wheel_up;
  return code >= 0 && code <= 255 && keys[static_cast<size_t>(code)];
}

bool TNovaBaseList::KeyDown(int code) const { return KeyState(key_down_, code); }
bool TNovaBaseList::KeyClickedBefore(int code) const { return KeyState(key_clicked_before_, code); }
bool TNovaBaseList::KeyRepeatBefore(int code) const { return KeyState(key_repeat_before_, code); }

// Pointer.

void TNovaBaseList::SetPointer(int32_t x, int32_t y) {
  for (auto& layer : layers_) {
    if (layer->pointer_x != x || layer->pointer_y != y)
      layer->pointer_moved = true;
    layer->pointer_x = x;
    layer->pointer_y = y;
  }
}

void TNovaBaseList::PressButton(bool right) {
  (right ? Front()->right_pressed : Front()->left_pressed) = true;
}

void TNovaBaseList::SetButtonHeld(bool right, bool held) {
  for (auto& layer : layers_)
    (right ? layer->right_held : layer->left_held) = held;
}

void TNovaBaseList::TurnWheel(bool down) {
  (down ? Front()->wheel_down_pressed : Front()->wheel_up_pressed) = true;
}

// Focus.

void TNovaBaseList::DropFocus() { focus_ = nullptr; }

void TNovaBaseList::SetFocus(TNovaControl* c) {
  if (c == focus_)
    return;
  TNovaControl* old = focus_;
  if (old && IsRegistered(old) && !old->Handler(chFocusOut).empty() && !old->GetName().empty() &&
      !old->EventsSuppressed())
    events_.Queue(old, old->Handler(chFocusOut), {}, PR_ONFOCUSOUT);
  focus_ = c;
  if (c && !c->Handler(chFocusIn).empty() && !c->EventsSuppressed())
    events_.Queue(c, c->Handler(chFocusIn), {}, PR_ONFOCUSIN);
  refocus_requested_ = false;
  if (focus_)
    focus_->FocusGained();
}

bool TNovaBaseList::FocusByName(const std::string& name) {
  TNovaControl* c = FindControl(name);
  if (!c || c->IsPaused() || !c->Visible() || !c->HandleKey())
    return false;
  SetFocus(c);
  return true;
}

// Properties of the scene itself: its size.

bool TNovaBaseList::Honours(int id, bool write) const {
  return id == PR_WIDTH || id == PR_HEIGHT || id == PR_NAME || id == PR_TAG || id == PR_PRIORITY ||
         (!write && id == PR_COMPOTYPE);
}

const TPropTable& TNovaBaseList::Props() {
  using T = TNovaBaseList;
  using namespace props;
  static constexpr std::array kRows{
      Custom<T>(
          PR_WIDTH, peGeometry, [](const T& o) { return TPropValue::Int(o.width_); },
          [](T& o, const TPropValue& v) { o.SetSceneSize(v.i, o.height_); }),
      Custom<T>(
          PR_HEIGHT, peGeometry, [](const T& o) { return TPropValue::Int(o.height_); },
          [](T& o, const TPropValue& v) { o.SetSceneSize(o.width_, v.i); }),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaComponent::Props, kRows);
  return kTable;
}

} // namespace nova
