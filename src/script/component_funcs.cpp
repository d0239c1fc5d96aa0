// SPDX-License-Identifier: MIT
#include "script/component_funcs.h"

#include "expr/params.h"
#include "scene/component_factory.h"
#include "scene/kinds/all_kinds.h"
#include "scene/message_records.h"
#include "scene/prop_params.h"
#include "script/item_funcs.h"

namespace nova {
namespace {

enum : uint8_t {
  kGetProp = 2,
  kSetProp = 3,
  kExists = 19,
  kListCompo = 32,
  kToClientX = 33,
  kToClientY = 34,
  kToScreenX = 35,
  kToScreenY = 36,
  kInPrimary = 69,
  kGetHistoryCount = 142,
  kGetHistoryMaxCount = 143,
  kSetHistoryMaxCount = 144,
  kInCabinet = 154,
  kCreateObject = 161,
  kDeleteObject = 162,
};

std::string Arg(std::span<TCustomParam* const> args, size_t i) {
  return i < args.size() && args[i] ? args[i]->AsStr() : std::string();
}
int32_t IntArg(std::span<TCustomParam* const> args, size_t i) {
  return i < args.size() && args[i] ? args[i]->AsInt() : 0;
}

} // namespace

uint8_t TComponentFuncs::PropertyType(int32_t id) { return PropParamType(id); }

bool TComponentFuncs::CallFunc(TCustomParam& dest, uint8_t id,
                               std::span<TCustomParam* const> args) {
  switch (id) {
  case kGetProp:
    if (TNovaObject* obj = scene_.FindByName(Arg(args, 0)))
      GetPropInto(*obj, IntArg(args, 1), dest);
    return true;
  case kSetProp:
    if (TNovaObject* obj = scene_.FindByName(Arg(args, 0)); obj && args.size() > 2 && args[2])
      SetPropFrom(*obj, IntArg(args, 1), *args[2]);
    return true;
  case kExists: {
    const std::string name = Arg(args, 0);
    dest.SetFlag(!name.empty() && scene_.FindByName(name));
    return true;
  }
  case kListCompo: {
    // Kinds outside the component kinds list every kind.
    const int32_t kind = IntArg(args, 1);
    const TNovaObject* inside = &scene_;
    if (args.empty() || !args[0])
      return true;
    if (args.size() > 2 && !(inside = scene_.FindByName(Arg(args, 2))))
      return true;
    std::vector<std::string> names;
    const int count =
        scene_.ListNames(names, kind > 0 && kind < 28 ? static_cast<uint8_t>(kind) : 0, inside);
    TCustomParam& list = *args[0];
    if (names.empty()) {
      list.SetStr("");
    } else {
      list.SetDims({static_cast<int32_t>(names.size())});
      for (size_t i = 0; i < names.size(); ++i)
        list.SetStrAt(static_cast<int32_t>(i), names[i]);
    }
    dest.SetInt(count);
    return true;
  }
  case kToClientX:
  case kToClientY:
  case kToScreenX:
  case kToScreenY: {
    const bool vertical = id == kToClientY || id == kToScreenY;
    int32_t x = vertical ? 0 : IntArg(args, 1), y = vertical ? IntArg(args, 1) : 0;
    TNovaObject* obj = scene_.FindByName(Arg(args, 0));
    if (TNovaControl* c = obj ? obj->AsControl() : nullptr) {
      if (id == kToClientX || id == kToClientY)
        c->ScreenToClient(x, y);
      else
        c->ClientToScreen(x, y);
    }
    dest.SetInt(vertical ? y : x);
    return true;
  }
  case kInPrimary:
  case kInCabinet: {
    TNovaObject* obj = scene_.FindByName(Arg(args, 0));
    TNovaControl* c = obj ? obj->AsControl() : nullptr;
    if (id == kInCabinet)
      dest.SetFlag(obj && obj->IsInCabinet());
    else
      dest.SetFlag(c && c->GetBase() == scene_.Front() && !c->IsInCabinet());
    return true;
  }
  case kCreateObject: {
    // Only the kind numbers themselves: a larger number must not wrap onto some kind.
    const int32_t kind = IntArg(args, 0);
    TNovaObject* obj = kind >= 0 && kind < kNovaKindCount
                           ? CreateByKind(&scene_, static_cast<uint8_t>(kind))
                           : nullptr;
    if (obj) {
      // An empty name keeps the default one, so the component stays reachable by name.
      if (const std::string name = Arg(args, 1); !name.empty())
        obj->SetName(name);
      if (TNovaControl* c = obj->AsControl()) {
        TNovaControl* parent = args.size() > 2 ? scene_.FindControl(Arg(args, 2)) : nullptr;
        c->SetParent(parent ? parent : scene_.Front());
      }
    }
    dest.SetFlag(obj != nullptr);
    return true;
  }
  case kDeleteObject: {
    const std::string name = Arg(args, 0);
    TNovaObject* obj = name.empty() ? nullptr : scene_.FindByName(name);
    const bool base = obj && obj->AsControl() && obj->AsControl()->IsLayer();
    if (obj && !base)
      obj->FreeLater();
    dest.SetFlag(obj && !base);
    return true;
  }
  case kGetHistoryCount:
  case kGetHistoryMaxCount: {
    TNovaHistoryFormat* format = scene_.MessageRecords().formats.Find(Arg(args, 0));
    const TNovaNewHistory* h = format ? &format->History() : nullptr;
    dest.SetInt(!h ? -1 : id == kGetHistoryCount ? h->Count() : h->MaxCount());
    return true;
  }
  case kSetHistoryMaxCount: {
    TNovaHistoryFormat* format = scene_.MessageRecords().formats.Find(Arg(args, 0));
    if (format)
      format->History().SetMaxCount(IntArg(args, 1));
    dest.SetFlag(format != nullptr);
    return true;
  }
  default:
    return CallItemFunc(scene_, dest, id, args) || (next_ && next_->CallFunc(dest, id, args));
  }
}

} // namespace nova
