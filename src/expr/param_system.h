// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

#include "expr/expr_hosts.h"
#include "expr/params.h"

namespace nova {

class TParamCollection;

// System-variable indices (the order the table creates them in).
enum TSystemVar : uint8_t {
  svResult = 0,
  svLClick,
  svRClick,
  svLPush,
  svRPush,
  svMouseX,
  svMouseY,
  svTextDelay,
  svHistoryCount,
  svParamCount,
  svParamStr,
  svSender,
  svScrWidth,
  svScrHeight,
  svTickCount,
  svPCTickCount,
  svUpdateCount,
  svYear,
  svMonth,
  svDay,
  svWeek,
  svHour,
  svMin,
  svSec,
  svFonts,
  svFixedFonts,
  svFullScr,
  svCursor,
  svSelStr,
  svSelIndex,
  svPi,
  svCGDither,
  sv1Hour,
  sv1Min,
  sv1Sec,
  svKeyPush,
  svKeyClick,
  svDisplayModeCount,
  svDisplayModeIndex,
  svTitle,
  svSoundON,
  svActiveCompo,
  svKeyRepeat,
  svHistoryMaxCount,
  svTemp,
  svMidiPort,
  svMidiPorts,
  svWheelDown,
  svWheelUp,
  svIsDebug,
  svStackCount,
};

struct TSystemVarInfo {
  const char* name;
  uint8_t type; // own type; PT_NONE for the two aliases
  bool writable;
};
const TSystemVarInfo& SystemVarInfo(int index);

// A system variable: computes its value on every read and turns writes into actions.
class TParamSystem final : public TCustomParam {
public:
  TParamSystem(TParamCollection& owner, uint8_t index) : owner_(owner), index_(index) {}
  uint8_t Index() const { return index_; }

  int32_t Count() const override;
  void SetCount(int32_t n) override;
  uint8_t DataType() const override;
  bool AsFlag() const override { return FlagAt(-1); }
  long double AsReal() const override { return RealAt(-1); }
  int32_t AsInt() const override { return IntAt(-1); }
  std::string AsStr() const override { return StrAt(-1); }
  void SetFlag(bool v) override { SetFlagAt(-1, v); }
  void SetReal(long double v) override { SetRealAt(-1, v); }
  void SetInt(int32_t v) override { SetIntAt(-1, v); }
  void SetStr(std::string_view v) override { SetStrAt(-1, v); }
  int32_t IntAt(int32_t i) const override;
  void SetIntAt(int32_t i, int32_t v) override;
  long double RealAt(int32_t i) const override;
  void SetRealAt(int32_t i, long double v) override;
  bool FlagAt(int32_t i) const override;
  void SetFlagAt(int32_t i, bool v) override;
  std::string StrAt(int32_t i) const override;
  void SetStrAt(int32_t i, std::string_view v) override;
  int32_t DimCount() const override;
  int32_t DimSize(int32_t i) const override;
  void AssignAll(const TCustomParam& src) override;
  void SetDims(const std::vector<int32_t>& dims) override;
  void FillInt(int32_t v) override;
  void FillReal(long double v) override;
  void FillFlag(bool v) override;
  void FillStr(std::string_view v) override;
  void CopyFrom(const TCustomParam& src) override;
  void MakePlain() override;
  // A plain value block of the own type, so snapshots of system variables round-trip.
  void SaveToStream(BinaryWriter& w) const override;
  void LoadFromStream(BinaryReader& r) override;
  bool IsSystem() const override { return true; }

private:
  // The aliased value of `@Result` / `@Temp`; null when there is none.
  TCustomParam* Alias() const;
  // Own-type value of element i (-1: a plain read).
  TSysValue Read(int32_t i) const;
  void Write(TSysValue v) const;
  // Converts a written value to the own type (a string that does not convert is dropped) and
  // writes it, when the variable is writable.
  void Store(const TSysValue& in) const;

  TParamCollection& owner_;
  uint8_t index_;
};

} // namespace nova
