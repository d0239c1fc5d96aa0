// SPDX-License-Identifier: MIT
#include "expr/param_system.h"

#include <array>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/run_state.h"
#include "expr/param_collection.h"
#include "expr/private/convert.h"
#include "expr/private/expr_texts.h"

namespace nova {

namespace {

constexpr uint8_t N = PT_NONE, I = PT_INT, R = PT_FLOAT, F = PT_BOOL, S = PT_STR;

constexpr std::array<TSystemVarInfo, TParamCollection::kSystemCount> kSystemVars = {{
    {"@Result", N, true},
    {"@LClick", F, true},
    {"@RClick", F, true},
    {"@LPush", F, false},
    {"@RPush", F, false},
    {"@MouseX", I, true},
    {"@MouseY", I, true},
    {"@TextDelay", I, true},
    {"@HistoryCount", I, false},
    {"@ParamCount", I, false},
    {"@ParamStr", S, false},
    {"@Sender", S, false},
    {"@ScrWidth", I, false},
    {"@ScrHeight", I, false},
    {"@TickCount", I, false},
    {"@PCTickCount", I, false},
    {"@UpdateCount", I, false},
    {"@Year", I, false},
    {"@Month", I, false},
    {"@Day", I, false},
    {"@Week", I, false},
    {"@Hour", I, false},
    {"@Min", I, false},
    {"@Sec", I, false},
    {"@Fonts", S, false},
    {"@FixedFonts", S, false},
    {"@FullScr", F, true},
    {"@Cursor", S, true},
    {"@SelStr", S, true},
    {"@SelIndex", I, true},
    {"@Pi", R, false},
    {"@CGDither", F, true},
    {"@1Hour", R, false},
    {"@1Min", R, false},
    {"@1Sec", R, false},
    {"@KeyPush", F, false},
    {"@KeyClick", F, false},
    {"@DisplayModeCount", I, false},
    {"@DisplayModeIndex", I, true},
    {"@Title", S, false},
    {"@SoundON", F, true},
    {"@ActiveCompo", S, true},
    {"@KeyRepeat", F, false},
    {"@HistoryMaxCount", I, true},
    {"@Temp", N, true},
    {"@MidiPort", S, true},
    {"@MidiPorts", S, false},
    {"@WheelDown", F, false},
    {"@WheelUp", F, false},
    {"@IsDebug", F, false},
    {"@StackCount", I, false},
}};

constexpr int32_t kKeyCount = 258;

bool IsKeyArray(int index) {
  return index == svKeyPush || index == svKeyClick || index == svKeyRepeat;
}
bool IsStrArray(int index) { return index == svParamStr || index == svMidiPorts; }

// π as the 80-bit real with mantissa C90FDAA22168C235 and exponent field 4000 hexadecimal.
long double Pi80() {
  const uint8_t bytes[10] = {0x35, 0xC2, 0x68, 0x21, 0xA2, 0xDA, 0x0F, 0xC9, 0x00, 0x40};
  BinaryReader r(bytes, "pi");
  return r.Extended();
}

int32_t SysToInt(const TSysValue& v) {
  switch (v.type) {
  case PT_FLOAT:
    return RealToInt(v.r);
  case PT_BOOL:
    return v.b ? 1 : 0;
  case PT_STR:
    return StrToIntDef(v.s, 0);
  default:
    return v.i;
  }
}

long double SysToReal(const TSysValue& v) {
  switch (v.type) {
  case PT_FLOAT:
    return v.r;
  case PT_BOOL:
    return v.b ? 1 : 0;
  case PT_STR:
    return StrToIntDef(v.s, 0);
  default:
    return v.i;
  }
}

bool SysToFlag(const TSysValue& v) {
  switch (v.type) {
  case PT_FLOAT:
    return v.r != 0;
  case PT_BOOL:
    return v.b;
  case PT_STR:
    return !v.s.empty();
  default:
    return v.i != 0;
  }
}

std::string SysToStr(const TSysValue& v) {
  switch (v.type) {
  case PT_FLOAT:
    return RealToStr(v.r);
  case PT_BOOL:
    return FlagToStr(v.b);
  case PT_STR:
    return v.s;
  default:
    return IntToStr(v.i);
  }
}

} // namespace

const TSystemVarInfo& SystemVarInfo(int index) {
  if (index < 0 || index >= TParamCollection::kSystemCount) {
    throw ENovaError(ExprText(TExprText::InternalError));
  }
  return kSystemVars[static_cast<size_t>(index)];
}

TCustomParam* TParamSystem::Alias() const {
  if (index_ == svResult) {
    IExprCallHost* call = owner_.Hosts().call;
    return call ? call->TopResult() : nullptr;
  }
  if (index_ == svTemp) {
    if (owner_.temp_name.empty())
      return nullptr;
    TParamCollectionItem* item = owner_.Find(owner_.temp_name);
    if (!item || item->Value() == this)
      return nullptr;
    return item->Value();
  }
  return nullptr;
}

TSysValue TParamSystem::Read(int32_t i) const {
  TSysValue v;
  v.type = SystemVarInfo(index_).type;
  switch (index_) {
  case svTextDelay:
    v.i = owner_.text_delay;
    return v;
  case svCursor:
    v.s = owner_.cursor;
    return v;
  case svSelStr:
    v.s = owner_.sel_str;
    return v;
  case svSelIndex:
    v.i = owner_.sel_index;
    return v;
  case svPi:
    v.r = Pi80();
    return v;
  case sv1Hour:
    v.r = 1.0L / 24;
    return v;
  case sv1Min:
    v.r = 1.0L / 1440;
    return v;
  case sv1Sec:
    v.r = 1.0L / 86400;
    return v;
  case svIsDebug:
    v.b = false;
    return v;
  case svStackCount:
    v.i = owner_.current_frame;
    return v;
  case svTickCount:
    v.i = static_cast<int32_t>(RunState().GameClock);
    return v;
  case svUpdateCount:
    v.i = static_cast<int32_t>(RunState().FrameCounter);
    return v;
  default:
    break;
  }
  if (IExprClock* clock = owner_.Hosts().clock) {
    if (index_ == svPCTickCount) {
      v.i = static_cast<int32_t>(clock->TickCountMs());
      return v;
    }
    if (index_ >= svYear && index_ <= svSec) {
      TLocalTime t = clock->LocalNow();
      const int32_t parts[] = {t.year, t.month, t.day, t.day_of_week, t.hour, t.minute, t.second};
      v.i = parts[index_ - svYear];
      return v;
    }
  }
  if (IsKeyArray(index_) && (i < 0 || i >= kKeyCount))
    return v;
  int32_t element = i;
  if (IsStrArray(index_) && i < 0)
    element = 0;
  if (!IsKeyArray(index_) && !IsStrArray(index_))
    element = 0;
  if (ISystemVarHost* host = owner_.Hosts().system) {
    if (!host->ReadSystem(index_, element, v)) {
      uint8_t type = v.type;
      v = TSysValue();
      v.type = type;
    }
  }
  return v;
}

void TParamSystem::Write(TSysValue v) const {
  switch (index_) {
  case svTextDelay:
    owner_.text_delay = v.i;
    return;
  case svCursor:
    owner_.cursor = v.s;
    return;
  case svSelStr:
    owner_.sel_str = v.s;
    return;
  case svSelIndex:
    owner_.sel_index = v.i;
    return;
  default:
    break;
  }
  if (ISystemVarHost* host = owner_.Hosts().system)
    host->WriteSystem(index_, v);
}

int32_t TParamSystem::Count() const {
  if (index_ == svResult || index_ == svTemp) {
    TCustomParam* a = Alias();
    return a ? a->Count() : 1;
  }
  if (IsKeyArray(index_))
    return kKeyCount;
  if (IsStrArray(index_)) {
    ISystemVarHost* host = owner_.Hosts().system;
    int32_t n = host ? host->SystemCount(index_) : -1;
    return n >= 0 ? n : 0;
  }
  return 1;
}

uint8_t TParamSystem::DataType() const {
  if (index_ == svResult) {
    IExprCallHost* call = owner_.Hosts().call;
    return call ? call->ResultType() : PT_NONE;
  }
  if (index_ == svTemp) {
    TCustomParam* a = Alias();
    return a ? a->DataType() : PT_NONE;
  }
  return SystemVarInfo(index_).type;
}

int32_t TParamSystem::IntAt(int32_t i) const {
  if (index_ == svResult || index_ == svTemp) {
    TCustomParam* a = Alias();
    return a ? (i < 0 ? a->AsInt() : a->IntAt(i)) : 0;
  }
  return SysToInt(Read(i));
}

long double TParamSystem::RealAt(int32_t i) const {
  if (index_ == svResult || index_ == svTemp) {
    TCustomParam* a = Alias();
    return a ? (i < 0 ? a->AsReal() : a->RealAt(i)) : 0;
  }
  return SysToReal(Read(i));
}

bool TParamSystem::FlagAt(int32_t i) const {
  if (index_ == svResult || index_ == svTemp) {
    TCustomParam* a = Alias();
    return a ? (i < 0 ? a->AsFlag() : a->FlagAt(i)) : false;
  }
  return SysToFlag(Read(i));
}

std::string TParamSystem::StrAt(int32_t i) const {
  if (index_ == svResult || index_ == svTemp) {
    TCustomParam* a = Alias();
    return a ? (i < 0 ? a->AsStr() : a->StrAt(i)) : std::string();
  }
  return SysToStr(Read(i));
}

void TParamSystem::Store(const TSysValue& in) const {
  if (!SystemVarInfo(index_).writable || index_ == svResult || index_ == svTemp)
    return;
  TSysValue v;
  v.type = SystemVarInfo(index_).type;
  switch (v.type) {
  case PT_FLOAT:
    if (in.type == PT_STR) {
      auto r = ParseReal(in.s);
      if (!r)
        return;
      v.r = *r;
    } else {
      v.r = SysToReal(in);
    }
    break;
  case PT_BOOL:
    v.b = in.type == PT_STR ? StrToIntDef(in.s, 0) != 0 : SysToFlag(in);
    break;
  case PT_STR:
    v.s = SysToStr(in);
    break;
  default:
    if (in.type == PT_STR) {
      auto n = ParseInt(in.s);
      if (!n)
        return;
      v.i = *n;
    } else {
      v.i = SysToInt(in);
    }
    break;
  }
  Write(std::move(v));
}

void TParamSystem::SetIntAt(int32_t i, int32_t v) {
  if (TCustomParam* a = Alias())
    return i < 0 ? a->SetInt(v) : a->SetIntAt(i, v);
  TSysValue in;
  in.type = PT_INT;
  in.i = v;
  Store(in);
}

void TParamSystem::SetRealAt(int32_t i, long double v) {
  if (TCustomParam* a = Alias())
    return i < 0 ? a->SetReal(v) : a->SetRealAt(i, v);
  TSysValue in;
  in.type = PT_FLOAT;
  in.r = v;
  Store(in);
}

void TParamSystem::SetFlagAt(int32_t i, bool v) {
  if (TCustomParam* a = Alias())
    return i < 0 ? a->SetFlag(v) : a->SetFlagAt(i, v);
  TSysValue in;
  in.type = PT_BOOL;
  in.b = v;
  Store(in);
}

void TParamSystem::SetStrAt(int32_t i, std::string_view v) {
  if (TCustomParam* a = Alias())
    return i < 0 ? a->SetStr(v) : a->SetStrAt(i, v);
  TSysValue in;
  in.type = PT_STR;
  in.s.assign(v);
  Store(in);
}

int32_t TParamSystem::DimCount() const {
  TCustomParam* a = Alias();
  return a ? a->DimCount() : 1;
}

int32_t TParamSystem::DimSize(int32_t i) const {
  if (TCustomParam* a = Alias())
    return a->DimSize(i);
  return i == 0 ? Count() : 1;
}

void TParamSystem::SetCount(int32_t n) {
  if (TCustomParam* a = Alias())
    a->SetCount(n);
}
void TParamSystem::AssignAll(const TCustomParam& src) {
  if (TCustomParam* a = Alias())
    a->AssignAll(src);
}
void TParamSystem::SetDims(const std::vector<int32_t>& dims) {
  if (TCustomParam* a = Alias())
    a->SetDims(dims);
}
void TParamSystem::FillInt(int32_t v) {
  if (TCustomParam* a = Alias())
    a->FillInt(v);
}
void TParamSystem::FillReal(long double v) {
  if (TCustomParam* a = Alias())
    a->FillReal(v);
}
void TParamSystem::FillFlag(bool v) {
  if (TCustomParam* a = Alias())
    a->FillFlag(v);
}
void TParamSystem::FillStr(std::string_view v) {
  if (TCustomParam* a = Alias())
    a->FillStr(v);
}
void TParamSystem::CopyFrom(const TCustomParam& src) {
  if (TCustomParam* a = Alias())
    a->CopyFrom(src);
}
void TParamSystem::MakePlain() {
  if (TCustomParam* a = Alias())
    a->MakePlain();
}

void TParamSystem::SaveToStream(BinaryWriter& w) const {
  if (TCustomParam* a = Alias())
    return a->SaveToStream(w);
  auto plain = NewParam(DataType());
  switch (DataType()) {
  case PT_INT:
    plain->SetInt(AsInt());
    break;
  case PT_FLOAT:
    plain->SetReal(AsReal());
    break;
  case PT_BOOL:
    plain->SetFlag(AsFlag());
    break;
  case PT_STR:
    plain->SetStr(AsStr());
    break;
  default:
    break;
  }
  plain->SaveToStream(w);
}

void TParamSystem::LoadFromStream(BinaryReader& r) {
  if (TCustomParam* a = Alias())
    return a->LoadFromStream(r);
  auto plain = NewParam(DataType());
  plain->LoadFromStream(r);
  switch (DataType()) {
  case PT_INT:
    SetInt(plain->AsInt());
    break;
  case PT_FLOAT:
    SetReal(plain->AsReal());
    break;
  case PT_BOOL:
    SetFlag(plain->AsFlag());
    break;
  case PT_STR:
    SetStr(plain->AsStr());
    break;
  default:
    break;
  }
}

} // namespace nova
