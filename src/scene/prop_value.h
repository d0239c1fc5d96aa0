// SPDX-License-Identifier: MIT
// One property value as GetProp answers it and SetProp takes it; converts between the four
// types by the rules of script values, so a caller may hand any type to any property.
#pragma once
#include <cstdint>
#include <ostream>
#include <string>

#include "scene/prop_table.h"

namespace nova {

struct TPropValue {
  TPropType type = ptInt;
  int32_t i = 0;
  long double r = 0;
  bool f = false;
  std::string s;

  static TPropValue Int(int32_t v);
  static TPropValue Real(long double v);
  static TPropValue Flag(bool v);
  static TPropValue Str(std::string v);

  int32_t AsInt() const;
  long double AsReal() const;
  bool AsFlag() const;
  std::string AsStr() const;
  // This value converted to `to`.
  TPropValue As(TPropType to) const;
  bool operator==(const TPropValue& o) const;
};

// For test diagnostics: "int 3", "str \"x\"".
std::string Describe(const TPropValue& v);
inline void PrintTo(const TPropValue& v, std::ostream* os) { *os << Describe(v); }

} // namespace nova
