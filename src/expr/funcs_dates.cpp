// SPDX-License-Identifier: MIT
// Built-in date functions. Date-time values are reals counting days from 1899-12-30; the
// integer part is the date, the fraction the time of day.
#include <cmath>

#include "base/nova_error.h"
#include "expr/private/expr_texts.h"
#include "expr/private/func_call.h"

namespace nova {

namespace {

constexpr int64_t kMsPerDay = 86400000;
// Days from 0001-01-01 (day 1) to 1899-12-30.
constexpr int64_t kDateDelta = 693594;

bool IsLeap(int32_t y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }
int32_t DaysInMonth(int32_t y, int32_t m) {
  static const int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Day number counted from 0001-01-01 = 1.
int64_t DayNumber(int32_t y, int32_t m, int32_t d) {
  int64_t days = d;
  for (int32_t i = 1; i < m; ++i)
    days += DaysInMonth(y, i);
  int64_t py = y - 1;
  return days + py * 365 + py / 4 - py / 100 + py / 400;
}

struct Stamp {
  int64_t date; // from 0001-01-01 = 1
  int64_t time; // ms of the day
};

Stamp ToStamp(long double dt) {
  long double ms = std::nearbyint(dt * kMsPerDay);
  if (!(std::fabs(ms) < 9.0e18L))
    throw ENovaError("Invalid floating point operation");
  int64_t total = static_cast<int64_t>(ms);
  int64_t date = total >= 0 ? total / kMsPerDay : -((-total) / kMsPerDay);
  int64_t time = (total >= 0 ? total : -total) % kMsPerDay;
  return {date + kDateDelta, time};
}

struct Ymd {
  int32_t y = 0, m = 0, d = 0;
};

Ymd DecodeDay(int64_t date) {
  Ymd out;
  if (date <= 0 || date > DayNumber(9999, 12, 31))
    return out;
  // Days since 1970-01-01, then the civil-from-days conversion.
  int64_t z = date - DayNumber(1970, 1, 1) + 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  out.d = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
  out.m = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
  out.y = static_cast<int32_t>(yoe + era * 400 + (out.m <= 2));
  return out;
}

int32_t Week(long double dt) { return static_cast<int32_t>((ToStamp(dt).date % 7 + 7) % 7 + 1); }

void SetIfVar(const TFuncCall& c, size_t i, int32_t v) {
  if (c.IsVar(i))
    c.A(i).SetInt(v);
}

} // namespace

bool CallDateFunc(const TFuncCall& c) {
  switch (c.id) {
  case 51: {
    int32_t y = c.Int(0), m = c.Int(1), d = c.Int(2);
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) {
      throw ENovaError("Invalid argument to date encode");
    }
    c.dest.SetReal(static_cast<long double>(DayNumber(y, m, d) - kDateDelta));
    return true;
  }
  case 52: {
    int32_t h = c.Int(0), m = c.Int(1), s = c.Int(2);
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) {
      throw ENovaError("Invalid argument to time encode");
    }
    c.dest.SetReal(static_cast<long double>(h * 3600000 + m * 60000 + s * 1000) / kMsPerDay);
    return true;
  }
  case 53: {
    Ymd v = DecodeDay(ToStamp(c.Real(0)).date);
    SetIfVar(c, 1, v.y);
    SetIfVar(c, 2, v.m);
    SetIfVar(c, 3, v.d);
    return true;
  }
  case 54: {
    int64_t t = ToStamp(c.Real(0)).time;
    SetIfVar(c, 1, static_cast<int32_t>(t / 3600000));
    SetIfVar(c, 2, static_cast<int32_t>(t / 60000 % 60));
    SetIfVar(c, 3, static_cast<int32_t>(t / 1000 % 60));
    return true;
  }
  case 55:
    c.dest.SetInt(DecodeDay(ToStamp(c.Real(0)).date).y);
    return true;
  case 56:
    c.dest.SetInt(DecodeDay(ToStamp(c.Real(0)).date).m);
    return true;
  case 57:
    c.dest.SetInt(DecodeDay(ToStamp(c.Real(0)).date).d);
    return true;
  case 58:
    c.dest.SetInt(static_cast<int32_t>(ToStamp(c.Real(0)).time / 3600000));
    return true;
  case 59:
    c.dest.SetInt(static_cast<int32_t>(ToStamp(c.Real(0)).time / 60000 % 60));
    return true;
  case 60:
    c.dest.SetInt(static_cast<int32_t>(ToStamp(c.Real(0)).time / 1000 % 60));
    return true;
  case 61:
    c.dest.SetInt(Week(c.Real(0)));
    return true;
  case 62: {
    static const char* kNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                   "Thursday", "Friday", "Saturday"};
    c.dest.SetStr(kNames[Week(c.Real(0)) - 1]);
    return true;
  }
  case 63: {
    int w = Week(c.Real(0)) - 1;
    c.dest.SetStr(ExprText(static_cast<TExprText>(static_cast<int>(TExprText::WeekSun) + w)));
    return true;
  }
  default:
    return false;
  }
}

} // namespace nova
