// SPDX-License-Identifier: MIT
// Built-in functions on numbers and conversions.
#include <cmath>

#include "base/nova_error.h"
#include "expr/private/convert.h"
#include "expr/private/func_call.h"
#include "expr/random.h"

namespace nova {

namespace {

// Real results must be numbers: an invalid operation or an overflow is an error.
long double Checked(long double v) {
  if (std::isnan(v))
    throw ENovaError("Invalid floating point operation");
  if (std::isinf(v))
    throw ENovaError("Floating point overflow");
  return v;
}

} // namespace

bool CallNumberFunc(const TFuncCall& c) {
  switch (c.id) {
  case 20:
    c.dest.SetFlag(!c.Flag(0));
    return true;
  case 26:
    c.dest.SetInt(GlobalRandom().Next(c.Int(0)));
    return true;
  case 37:
    c.dest.SetInt(RealToInt(c.Real(0)));
    return true;
  case 38:
    c.dest.SetReal(c.Real(0));
    return true;
  case 39:
    c.dest.SetReal(Checked(std::sin(c.Real(0))));
    return true;
  case 40:
    c.dest.SetReal(Checked(std::cos(c.Real(0))));
    return true;
  case 41:
    c.dest.SetReal(Checked(std::tan(c.Real(0))));
    return true;
  case 42:
    c.dest.SetReal(Checked(std::asin(c.Real(0))));
    return true;
  case 43:
    c.dest.SetReal(Checked(std::acos(c.Real(0))));
    return true;
  case 44:
    c.dest.SetReal(Checked(std::atan(c.Real(0))));
    return true;
  case 45:
    c.dest.SetReal(Checked(std::atan2(c.Real(0), c.Real(1))));
    return true;
  case 46:
    c.dest.SetReal(Checked(std::hypot(c.Real(0), c.Real(1))));
    return true;
  case 48: {
    uint32_t v = static_cast<uint32_t>(c.Int(0));
    c.dest.SetInt(static_cast<int32_t>(c.Int(0) < 0 ? 0u - v : v));
    return true;
  }
  case 49:
    c.dest.SetReal(std::fabs(c.Real(0)));
    return true;
  case 126:
    c.dest.SetInt(std::min(c.Int(0), c.Int(1)));
    return true;
  case 127:
    c.dest.SetInt(std::max(c.Int(0), c.Int(1)));
    return true;
  case 128:
    c.dest.SetReal(std::min(c.Real(0), c.Real(1)));
    return true;
  case 129:
    c.dest.SetReal(std::max(c.Real(0), c.Real(1)));
    return true;
  case 130:
    c.dest.SetInt(c.A(0).DataType());
    return true;
  default:
    return false;
  }
}

} // namespace nova
