// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <span>
#include <string>

namespace nova {

class TCustomParam;

// The call manager's side of `@Result` and `DeleteStack`. Registered by the script layer.
class IExprCallHost {
public:
  virtual ~IExprCallHost() = default;
  // Result value of the innermost call frame; null when the call stack is empty.
  virtual TCustomParam* TopResult() = 0;
  // Result-type byte of the page being executed (1 when its header gives none); 0 when none.
  virtual uint8_t ResultType() = 0;
  // `DeleteStack(index)`: false when index is not on the call stack.
  virtual bool DeleteStack(int32_t index) = 0;
};

// Local date and time as the clock variables and date functions need it.
struct TLocalTime {
  int32_t year = 0, month = 0, day = 0;
  int32_t hour = 0, minute = 0, second = 0, millisecond = 0;
  int32_t day_of_week = 0; // 1 = Sunday .. 7 = Saturday
};

// The clock behind `@PCTickCount` and the date variables. The platform layer implements it
// (a virtual clock when headless), so every read is deterministic in tests.
class IExprClock {
public:
  virtual ~IExprClock() = default;
  virtual TLocalTime LocalNow() = 0;
  // Milliseconds since boot.
  virtual uint32_t TickCountMs() = 0;
};

// A value a system variable reads or writes, in that variable's own type.
struct TSysValue {
  uint8_t type = 0;
  int32_t i = 0;
  long double r = 0;
  bool b = false;
  std::string s;
};

// Higher layers (scene, shell, media, script) serve the system variables whose state they own.
// Indices are the system-variable indices 0..50; an unserved index reads its zero value.
class ISystemVarHost {
public:
  virtual ~ISystemVarHost() = default;
  // Fills `out` (already typed) for element `element` (0 for plain reads); false: not served.
  virtual bool ReadSystem(int index, int32_t element, TSysValue& out) = 0;
  // Called with the value converted to the variable's own type; only for writable variables.
  virtual void WriteSystem(int index, const TSysValue& value) = 0;
  // Element count of an array system variable (`@ParamStr`, `@MidiPorts`); -1: not served.
  virtual int32_t SystemCount(int index) = 0;
};

// Built-in functions of higher layers (components, files, dialogs, tables, save data).
class IFuncHost {
public:
  virtual ~IFuncHost() = default;
  // Performs function `id` when this host provides it; false when it does not.
  virtual bool CallFunc(TCustomParam& dest, uint8_t id, std::span<TCustomParam* const> args) = 0;
  // Value type of component property `id` (0..169), for the result of `GetProp`.
  virtual uint8_t PropertyType(int32_t id) = 0;
};

// The hosts a variable table reaches up to; each may be null (not connected yet).
struct TExprHosts {
  IExprCallHost* call = nullptr;
  IExprClock* clock = nullptr;
  ISystemVarHost* system = nullptr;
  IFuncHost* funcs = nullptr;
};

} // namespace nova
