// SPDX-License-Identifier: MIT
// Built-in functions on array variables. "One-dimensional" includes a plain value.
#include <algorithm>
#include <numeric>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "expr/private/convert.h"
#include "expr/private/func_call.h"
#include "expr/private/limits.h"

namespace nova {

namespace {

// Applies `f` to the element vector of a value of one of the four classes; false for others
// (system variables, unresolved references).
template <typename F> bool WithElements(TCustomParam& p, F&& f) {
  TCustomParam* t = const_cast<TCustomParam*>(p.Target());
  if (auto* a = dynamic_cast<TParamInt*>(t))
    return f(*a, a->Elements()), true;
  if (auto* a = dynamic_cast<TParamFloat*>(t))
    return f(*a, a->Elements()), true;
  if (auto* a = dynamic_cast<TParamFlag*>(t))
    return f(*a, a->Elements()), true;
  if (auto* a = dynamic_cast<TParamStr*>(t))
    return f(*a, a->Elements()), true;
  return false;
}

// Reads element i of `src` converted to the element type of `Vec`.
template <typename T> T Converted(const TCustomParam& src, int32_t i) {
  if constexpr (std::is_same_v<T, int32_t>)
    return src.IntAt(i);
  if constexpr (std::is_same_v<T, long double>)
    return src.RealAt(i);
  if constexpr (std::is_same_v<T, uint8_t>)
    return src.FlagAt(i);
  if constexpr (std::is_same_v<T, std::string>)
    return src.StrAt(i);
}

void SetOneDim(TCustomParam& p, int32_t n) { p.SetDims({n}); }

// Inserts the elements of `src` (converted) at `at`.
int32_t InsertElements(TCustomParam& dest, const TCustomParam& src, int32_t at) {
  if (static_cast<int64_t>(dest.Count()) + src.Count() > kMaxElements) {
    dest.SetDims({dest.Count() + src.Count()});
  }
  WithElements(dest, [&](auto& owner, auto& elems) {
    using T = typename std::decay_t<decltype(elems)>::value_type;
    std::vector<T> add;
    for (int32_t i = 0, n = src.Count(); i < n; ++i)
      add.push_back(Converted<T>(src, i));
    elems.insert(elems.begin() + at, add.begin(), add.end());
    int32_t total = static_cast<int32_t>(elems.size());
    SetOneDim(owner, total);
  });
  return dest.Count();
}

std::vector<std::string> SplitLines(std::string_view s) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < s.size()) {
    size_t j = i;
    while (j < s.size() && s[j] != '\r' && s[j] != '\n')
      ++j;
    out.emplace_back(s.substr(i, j - i));
    if (j < s.size() && s[j] == '\r')
      ++j;
    if (j < s.size() && s[j] == '\n')
      ++j;
    i = j;
  }
  return out;
}

std::vector<std::string> SplitAtChars(std::string_view s, std::string_view delims) {
  std::vector<uint16_t> set;
  for (size_t i = 0; i < delims.size(); i += CharBytes(delims, i))
    set.push_back(CharCodeAt(delims, i));
  std::vector<std::string> out;
  std::string cur;
  for (size_t i = 0; i < s.size();) {
    size_t n = CharBytes(s, i);
    if (std::find(set.begin(), set.end(), CharCodeAt(s, i)) != set.end()) {
      out.push_back(cur);
      cur.clear();
    } else {
      cur.append(s.substr(i, n));
    }
    i += n;
  }
  if (!cur.empty())
    out.push_back(cur);
  return out;
}

// Locale-like string order: letters compare without case first, lower case before upper.
bool StrLess(const std::string& a, const std::string& b) {
  int c = CompareTextJ(a, b);
  if (c != 0)
    return c < 0;
  auto swap_case = [](std::string s) {
    for (char& ch : s) {
      if (ch >= 'a' && ch <= 'z')
        ch = static_cast<char>(ch - 32);
      else if (ch >= 'A' && ch <= 'Z')
        ch = static_cast<char>(ch + 32);
    }
    return s;
  };
  return swap_case(a) < swap_case(b);
}

int32_t SortStr(TCustomParam& v, bool descending, bool numeric) {
  int32_t n = v.Count();
  std::vector<int32_t> order(static_cast<size_t>(n));
  std::iota(order.begin(), order.end(), 0);
  if (numeric) {
    std::vector<long double> keys;
    for (int32_t i = 0; i < n; ++i)
      keys.push_back(v.RealAt(i));
    std::stable_sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
      return descending ? keys[b] < keys[a] : keys[a] < keys[b];
    });
  } else {
    std::vector<std::string> keys;
    for (int32_t i = 0; i < n; ++i)
      keys.push_back(v.StrAt(i));
    std::stable_sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
      return descending ? StrLess(keys[b], keys[a]) : StrLess(keys[a], keys[b]);
    });
  }
  WithElements(v, [&](auto&, auto& elems) {
    auto copy = elems;
    for (size_t i = 0; i < order.size(); ++i)
      elems[i] = copy[static_cast<size_t>(order[i])];
  });
  return n;
}

} // namespace

bool CallArrayFunc(const TFuncCall& c) {
  switch (c.id) {
  case 4: {
    TCustomParam& v = c.Var(0);
    c.dest.SetInt(c.Has(1) ? v.DimSize(v.DimCount() - 1 - c.Int(1)) : v.Count());
    return true;
  }
  case 21: {
    TCustomParam& v = c.Var(0);
    std::vector<int32_t> dims;
    for (size_t i = 1; i < c.Count(); ++i)
      dims.push_back(c.Int(i));
    v.SetDims(dims);
    return true;
  }
  case 22: {
    TCustomParam& v = c.Var(0);
    switch (v.DataType()) {
    case PT_FLOAT:
      v.FillReal(c.Real(1));
      break;
    case PT_BOOL:
      v.FillFlag(c.Flag(1));
      break;
    case PT_STR:
      v.FillStr(c.Str(1));
      break;
    default:
      v.FillInt(c.Int(1));
      break;
    }
    return true;
  }
  case 23:
    c.Var(0).CopyFrom(c.Var(1));
    return true;
  case 28: {
    const TCustomParam& v = c.A(0);
    std::string delim = c.Has(1) ? c.Str(1) : "\r\n";
    std::string out;
    for (int32_t i = 0, n = v.Count(); i < n; ++i) {
      out += (i ? delim : "") + v.StrAt(i);
      CheckStringSize(out.size(), "ArrayToString");
    }
    c.dest.SetStr(out);
    return true;
  }
  case 29: {
    std::string text = c.Str(0);
    std::string delim = c.Has(2) ? c.Str(2) : "\r\n";
    std::vector<std::string> parts = delim == "\r\n" ? SplitLines(text) : SplitAtChars(text, delim);
    if (c.IsVar(1)) {
      TCustomParam& v = c.A(1);
      if (parts.empty()) {
        v.SetStr("");
      } else {
        v.SetDims({static_cast<int32_t>(parts.size())});
        for (size_t i = 0; i < parts.size(); ++i)
          v.SetStrAt(static_cast<int32_t>(i), parts[i]);
      }
    }
    c.dest.SetInt(static_cast<int32_t>(parts.size()));
    return true;
  }
  case 30:
    c.dest.SetInt(c.A(0).IndexOfStr(c.Str(1), c.Has(2) ? c.Flag(2) : true, c.Has(3) && c.Flag(3)));
    return true;
  case 31:
    c.dest.SetInt(SortStr(c.A(0), c.Has(1) && c.Flag(1), c.Has(2) && c.Flag(2)));
    return true;
  case 66:
  case 67: {
    TCustomParam& v = c.A(0);
    const TCustomParam& src = c.A(c.id == 66 ? 1 : 2);
    if (v.DimCount() > 1 || src.DimCount() > 1 || !c.IsVar(0)) {
      c.dest.SetInt(v.Count());
      return true;
    }
    int32_t at = v.Count();
    if (c.id == 67)
      at = std::clamp(c.Int(1), 0, v.Count());
    c.dest.SetInt(InsertElements(v, src, at));
    return true;
  }
  case 68: {
    TCustomParam& v = c.A(0);
    int32_t count = v.Count();
    if (v.DimCount() > 1 || !c.IsVar(0) || count == 0) {
      c.dest.SetInt(count);
      return true;
    }
    int32_t at = std::clamp(c.Int(1), 0, count - 1);
    int32_t n = std::clamp(c.Int(2), 0, count - at);
    WithElements(
        v, [&](auto&, auto& elems) { elems.erase(elems.begin() + at, elems.begin() + at + n); });
    v.SetDims({count - n});
    c.dest.SetInt(v.Count());
    return true;
  }
  case 70: {
    TCustomParam& v = c.Var(0);
    const TCustomParam& src = c.A(1);
    std::vector<int32_t> dims = src.Dims();
    int32_t n = src.Count();
    std::vector<std::string> strs;
    std::vector<long double> reals;
    for (int32_t i = 0; i < n; ++i) {
      if (v.DataType() == PT_STR)
        strs.push_back(src.StrAt(i));
      else
        reals.push_back(v.DataType() == PT_BOOL ? src.FlagAt(i) : src.RealAt(i));
    }
    if (dims.empty()) {
      v.MakePlain();
      v.SetCount(n);
    } else {
      v.SetDims(dims);
    }
    for (int32_t i = 0; i < n; ++i) {
      switch (v.DataType()) {
      case PT_STR:
        v.SetStrAt(i, strs[static_cast<size_t>(i)]);
        break;
      case PT_INT:
        v.SetIntAt(i, src.IntAt(i));
        break;
      case PT_BOOL:
        v.SetFlagAt(i, reals[static_cast<size_t>(i)] != 0);
        break;
      default:
        v.SetRealAt(i, reals[static_cast<size_t>(i)]);
        break;
      }
    }
    c.dest.SetFlag(true);
    return true;
  }
  case 164:
  case 165: {
    TCustomParam& v = c.A(0);
    if (v.DimCount() == 1 && c.IsVar(0)) {
      if (c.id == 164)
        v.Unique();
      else
        v.RemoveValue(c.Has(1) ? &c.A(1) : nullptr);
    }
    c.dest.SetInt(v.Count());
    return true;
  }
  default:
    return false;
  }
}

} // namespace nova
