// SPDX-License-Identifier: MIT
#include "script/item_funcs.h"

#include <charconv>
#include <optional>

#include "base/sjis.h"
#include "expr/params.h"
#include "scene/kinds/all_kinds.h"
#include "scene/prop_params.h"

namespace nova {
namespace {

enum : uint8_t {
  kGetCheck = 24,
  kSetCheck = 25,
  kIndexOfMenu = 47,
  kGetEnabled = 131,
  kSetEnabled = 132,
  kGetVisible = 140,
  kSetVisible = 141,
  kGetGroupIndex = 145,
  kGetSelected = 146,
  kSetSelected = 147,
  kGetItem = 163,
};

// Lines split at CR, LF or CR LF.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
      if (i < text.size() || start < text.size())
        lines.push_back(text.substr(start, i - start));
      if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n')
        ++i;
      start = i + 1;
    }
  }
  return lines;
}

int32_t IndexOfMenu(TNovaObject& obj, const std::string& text) {
  TParamStr items;
  GetPropInto(obj, PR_TEXT, items);
  const std::vector<std::string> lines = Lines(items.AsStr());
  for (size_t i = 0; i < lines.size(); ++i) {
    if (SameTextJ(lines[i], text))
      return static_cast<int32_t>(i);
  }
  return -1;
}

// A decimal number, surrounding spaces allowed; none for anything else.
std::optional<int32_t> Number(std::string_view s) {
  while (!s.empty() && s.front() == ' ')
    s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ')
    s.remove_suffix(1);
  if (!s.empty() && s.front() == '+')
    s.remove_prefix(1);
  int32_t n = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size())
    return std::nullopt;
  return n;
}

// The item index an argument gives; on a preview menu a text that is no number names the item.
int32_t ItemIndex(TNovaObject& obj, const TCustomParam& item) {
  if (item.DataType() != PT_STR || obj.GetKind() != LT_PREVMENU)
    return item.AsInt();
  const std::string text = item.AsStr();
  if (const std::optional<int32_t> n = Number(text))
    return *n;
  const auto& menu = static_cast<const TNovaPrevMenu&>(obj);
  for (int i = 0; i < menu.ItemCount(); ++i) {
    if (menu.GetItemText(i) == text)
      return i;
  }
  return -1;
}

} // namespace

bool CallItemFunc(TNovaBaseList& scene, TCustomParam& dest, uint8_t id,
                  std::span<TCustomParam* const> args) {
  switch (id) {
  case kGetCheck:
  case kSetCheck:
  case kIndexOfMenu:
  case kGetEnabled:
  case kSetEnabled:
  case kGetVisible:
  case kSetVisible:
  case kGetGroupIndex:
  case kGetSelected:
  case kSetSelected:
  case kGetItem:
    break;
  default:
    return false;
  }
  if (args.size() < 2 || !args[0] || !args[1])
    return true;
  TNovaObject* obj = scene.FindByName(args[0]->AsStr());
  if (id == kIndexOfMenu) {
    dest.SetInt(obj ? IndexOfMenu(*obj, args[1]->AsStr()) : -1);
    return true;
  }
  if (!obj)
    return true;
  const bool value = args.size() > 2 && args[2] && args[2]->AsFlag();
  const int32_t index = id == kGetCheck || id == kSetCheck || id == kGetItem
                            ? args[1]->AsInt()
                            : ItemIndex(*obj, *args[1]);
  switch (id) {
  case kGetCheck:
    dest.SetFlag(obj->GetItemChecked(index));
    break;
  case kSetCheck:
    obj->SetItemChecked(index, value);
    break;
  case kGetEnabled:
    dest.SetFlag(obj->GetItemEnabled(index));
    break;
  case kSetEnabled:
    obj->SetItemEnabled(index, value);
    break;
  case kGetVisible:
    dest.SetFlag(obj->GetItemVisible(index));
    break;
  case kSetVisible:
    obj->SetItemVisible(index, value);
    break;
  case kGetGroupIndex:
    dest.SetInt(obj->GetItemGroup(index));
    break;
  case kGetSelected:
    dest.SetFlag(obj->GetItemSelected(index));
    break;
  case kSetSelected:
    obj->SetItemSelected(index, value);
    break;
  default:
    dest.SetStr(obj->GetItemText(index));
  }
  return true;
}

} // namespace nova
