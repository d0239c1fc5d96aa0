// SPDX-License-Identifier: MIT
#include "expr/params.h"

#include <algorithm>
#include <unordered_set>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/sjis.h"
#include "expr/private/convert.h"
#include "expr/private/expr_texts.h"
#include "expr/private/limits.h"

namespace nova {

namespace {

[[noreturn]] void BadIndex(int32_t i) {
  throw ENovaError(FormatText(TExprText::BadIndex, IntToStr(i)));
}

// Element conversions of each storage type.
template <typename T> struct Elem;

template <> struct Elem<int32_t> {
  static int32_t ToInt(int32_t v) { return v; }
  static long double ToReal(int32_t v) { return v; }
  static bool ToFlag(int32_t v) { return v != 0; }
  static std::string ToStr(int32_t v) { return IntToStr(v); }
  static int32_t FromInt(int32_t v) { return v; }
  static int32_t FromReal(long double v) { return RealToInt(v); }
  static int32_t FromFlag(bool v) { return v ? 1 : 0; }
  static int32_t FromStr(std::string_view v) { return StrToIntDef(v, 0); }
  static int32_t From(const TCustomParam& p) { return p.AsInt(); }
  static void Write(BinaryWriter& w, int32_t v) { w.I32(v); }
  static int32_t Read(BinaryReader& r) { return r.I32(); }
  static constexpr size_t kMinBytes = 4;
};

template <> struct Elem<long double> {
  static int32_t ToInt(long double v) { return RealToInt(v); }
  static long double ToReal(long double v) { return v; }
  static bool ToFlag(long double v) { return v != 0; }
  static std::string ToStr(long double v) { return RealToStr(v); }
  static long double FromInt(int32_t v) { return v; }
  static long double FromReal(long double v) { return v; }
  static long double FromFlag(bool v) { return v ? 1 : 0; }
  static long double FromStr(std::string_view v) { return StrToRealDef(v, 0); }
  static long double From(const TCustomParam& p) { return p.AsReal(); }
  static void Write(BinaryWriter& w, long double v) { w.Extended(v); }
  static long double Read(BinaryReader& r) { return r.Extended(); }
  static constexpr size_t kMinBytes = 10;
};

template <> struct Elem<uint8_t> {
  static int32_t ToInt(uint8_t v) { return v ? 1 : 0; }
  static long double ToReal(uint8_t v) { return v ? 1 : 0; }
  static bool ToFlag(uint8_t v) { return v != 0; }
  static std::string ToStr(uint8_t v) { return FlagToStr(v != 0); }
  static uint8_t FromInt(int32_t v) { return v != 0; }
  static uint8_t FromReal(long double v) { return v != 0; }
  static uint8_t FromFlag(bool v) { return v; }
  static uint8_t FromStr(std::string_view v) { return v == "TRUE"; }
  static uint8_t From(const TCustomParam& p) { return p.AsFlag(); }
  static void Write(BinaryWriter& w, uint8_t v) { w.U8(v ? 1 : 0); }
  static uint8_t Read(BinaryReader& r) { return r.U8() != 0; }
  static constexpr size_t kMinBytes = 1;
};

template <> struct Elem<std::string> {
  static int32_t ToInt(const std::string& v) { return StrToIntDef(v, 0); }
  static long double ToReal(const std::string& v) { return StrToRealDef(v, 0); }
  static bool ToFlag(const std::string& v) {
    if (v == "TRUE")
      return true;
    if (v == "FALSE")
      return false;
    return StrToIntDef(v, 0) != 0;
  }
  static const std::string& ToStr(const std::string& v) { return v; }
  static std::string FromInt(int32_t v) { return IntToStr(v); }
  static std::string FromReal(long double v) { return RealToStr(v); }
  static std::string FromFlag(bool v) { return FlagToStr(v); }
  static std::string FromStr(std::string_view v) { return std::string(v); }
  static std::string From(const TCustomParam& p) { return p.AsStr(); }
  static void Write(BinaryWriter& w, const std::string& v) { w.String(v); }
  static std::string Read(BinaryReader& r) { return r.String(); }
  static constexpr size_t kMinBytes = 4;
};

// Reads a value block's dimension list (shared by every class).
std::vector<int32_t> ReadDims(BinaryReader& r) {
  int32_t d = r.I32();
  r.CheckCount(d, 4, "dimension count");
  std::vector<int32_t> dims(static_cast<size_t>(d));
  for (auto& v : dims)
    v = r.I32();
  return dims;
}

void WriteDims(BinaryWriter& w, const std::vector<int32_t>& dims) {
  w.I32(static_cast<int32_t>(dims.size()));
  for (int32_t v : dims)
    w.I32(v);
}

} // namespace

// ---- TCustomParam -------------------------------------------------------------------------

int32_t TCustomParam::DimCount() const {
  return dims_.empty() ? 1 : static_cast<int32_t>(dims_.size());
}

int32_t TCustomParam::DimSize(int32_t i) const {
  if (i < 0 || static_cast<size_t>(i) >= dims_.size())
    return 1;
  return dims_[static_cast<size_t>(i)];
}

void TCustomParam::SetDims(const std::vector<int32_t>& dims) {
  int64_t product = 1;
  bool ok = true;
  for (int32_t v : dims) {
    if (v <= 0)
      ok = false;
    product *= ok ? v : 1;
    if (product > kMaxElements)
      ok = false;
  }
  if (!ok) {
    std::string joined;
    for (size_t i = 0; i < dims.size(); ++i)
      joined += (i ? "," : "") + IntToStr(dims[i]);
    throw ENovaError(FormatText(TExprText::BadDims, joined));
  }
  dims_ = dims;
  SetCount(static_cast<int32_t>(product));
}

void TCustomParam::CopyFrom(const TCustomParam& src) {
  if (src.Target()->DataType() != DataType() || src.Target()->IsSystem()) {
    throw ENovaError(ExprText(TExprText::CopyTypeMismatch));
  }
  AssignAll(src);
}

void TCustomParam::SaveToStream(BinaryWriter& w) const { WriteDims(w, dims_); }
void TCustomParam::LoadFromStream(BinaryReader& r) { dims_ = ReadDims(r); }

void TCustomParam::MakePlain() {
  if (dims_.empty())
    return;
  dims_.clear();
  SetCount(1);
}

int32_t TCustomParam::IndexOfStr(std::string_view s, bool case_sensitive, bool partial) const {
  std::string key = (partial && !case_sensitive) ? LowerCaseJ(s) : std::string(s);
  for (int32_t i = 0, n = Count(); i < n; ++i) {
    std::string e = StrAt(i);
    bool hit;
    if (partial) {
      hit = (case_sensitive ? e : LowerCaseJ(e)).find(key) != std::string::npos;
    } else {
      hit = case_sensitive ? e == key : SameTextJ(e, key);
    }
    if (hit)
      return i;
  }
  return -1;
}

// ---- TParamArray<T> -----------------------------------------------------------------------

template <typename T> const T& TParamArray<T>::At(int32_t i) const {
  if (i < 0 || static_cast<size_t>(i) >= elems_.size())
    BadIndex(i);
  return elems_[static_cast<size_t>(i)];
}

template <typename T> T& TParamArray<T>::At(int32_t i) {
  if (i < 0 || static_cast<size_t>(i) >= elems_.size())
    BadIndex(i);
  return elems_[static_cast<size_t>(i)];
}

template <typename T> void TParamArray<T>::SetCount(int32_t n) {
  elems_.resize(static_cast<size_t>(std::max(n, 0)));
}

template <typename T> void TParamArray<T>::SetFlag(bool v) {
  MakePlain();
  At(0) = Elem<T>::FromFlag(v);
}
template <typename T> void TParamArray<T>::SetReal(long double v) {
  T e = Elem<T>::FromReal(v);
  MakePlain();
  At(0) = std::move(e);
}
template <typename T> void TParamArray<T>::SetInt(int32_t v) {
  MakePlain();
  At(0) = Elem<T>::FromInt(v);
}
template <typename T> void TParamArray<T>::SetStr(std::string_view v) {
  MakePlain();
  if constexpr (std::is_same_v<T, std::string>) {
    At(0).assign(v);
  } else {
    At(0) = Elem<T>::FromStr(v);
  }
}

template <typename T> int32_t TParamArray<T>::IntAt(int32_t i) const {
  return Elem<T>::ToInt(At(i));
}
template <typename T> long double TParamArray<T>::RealAt(int32_t i) const {
  return Elem<T>::ToReal(At(i));
}
template <typename T> bool TParamArray<T>::FlagAt(int32_t i) const {
  return Elem<T>::ToFlag(At(i));
}
template <typename T> std::string TParamArray<T>::StrAt(int32_t i) const {
  return Elem<T>::ToStr(At(i));
}
template <typename T> void TParamArray<T>::SetIntAt(int32_t i, int32_t v) {
  At(i) = Elem<T>::FromInt(v);
}
template <typename T> void TParamArray<T>::SetRealAt(int32_t i, long double v) {
  T e = Elem<T>::FromReal(v);
  At(i) = std::move(e);
}
template <typename T> void TParamArray<T>::SetFlagAt(int32_t i, bool v) {
  At(i) = Elem<T>::FromFlag(v);
}
template <typename T> void TParamArray<T>::SetStrAt(int32_t i, std::string_view v) {
  if constexpr (std::is_same_v<T, std::string>) {
    At(i).assign(v);
  } else {
    At(i) = Elem<T>::FromStr(v);
  }
}

template <typename T> void TParamArray<T>::AssignAll(const TCustomParam& src) {
  if (auto* same = dynamic_cast<const TParamArray<T>*>(&src)) {
    if (same != this) {
      dims_ = same->dims_;
      elems_ = same->elems_;
    }
    return;
  }
  // Any other value (a reference, a system variable) is copied element by element.
  std::vector<int32_t> dims = src.Dims();
  int32_t n = src.Count();
  std::vector<T> elems(static_cast<size_t>(std::max(n, 0)));
  for (int32_t i = 0; i < n; ++i) {
    if constexpr (std::is_same_v<T, int32_t>)
      elems[i] = src.IntAt(i);
    if constexpr (std::is_same_v<T, long double>)
      elems[i] = src.RealAt(i);
    if constexpr (std::is_same_v<T, uint8_t>)
      elems[i] = src.FlagAt(i);
    if constexpr (std::is_same_v<T, std::string>)
      elems[i] = src.StrAt(i);
  }
  dims_ = std::move(dims);
  elems_ = std::move(elems);
}

template <typename T> void TParamArray<T>::FillInt(int32_t v) {
  std::fill(elems_.begin(), elems_.end(), Elem<T>::FromInt(v));
}
template <typename T> void TParamArray<T>::FillReal(long double v) {
  std::fill(elems_.begin(), elems_.end(), Elem<T>::FromReal(v));
}
template <typename T> void TParamArray<T>::FillFlag(bool v) {
  std::fill(elems_.begin(), elems_.end(), Elem<T>::FromFlag(v));
}
template <typename T> void TParamArray<T>::FillStr(std::string_view v) {
  std::fill(elems_.begin(), elems_.end(), Elem<T>::FromStr(v));
}

template <typename T> void TParamArray<T>::SaveToStream(BinaryWriter& w) const {
  WriteDims(w, dims_);
  w.I32(static_cast<int32_t>(elems_.size()));
  for (const T& e : elems_)
    Elem<T>::Write(w, e);
}

template <typename T> void TParamArray<T>::LoadFromStream(BinaryReader& r) {
  std::vector<int32_t> dims = ReadDims(r);
  int32_t n = r.I32();
  r.CheckCount(n, Elem<T>::kMinBytes, "element count");
  std::vector<T> elems(static_cast<size_t>(n));
  for (T& e : elems)
    e = Elem<T>::Read(r);
  dims_ = std::move(dims);
  elems_ = std::move(elems);
}

template <typename T> void TParamArray<T>::MakePlain() {
  if (dims_.empty())
    return;
  dims_.clear();
  elems_.resize(1);
}

template <typename T> void TParamArray<T>::Unique() {
  std::vector<T> out;
  out.reserve(elems_.size());
  if constexpr (std::is_same_v<T, long double>) {
    for (const T& e : elems_) {
      if (std::find(out.begin(), out.end(), e) == out.end())
        out.push_back(e);
    }
  } else {
    std::unordered_set<T> seen;
    for (const T& e : elems_) {
      if (seen.insert(e).second)
        out.push_back(e);
    }
  }
  elems_ = std::move(out);
}

template <typename T> void TParamArray<T>::RemoveValue(const TCustomParam* v) {
  T key = v ? Elem<T>::From(*v) : T{};
  elems_.erase(std::remove(elems_.begin(), elems_.end(), key), elems_.end());
}

template <typename T> void TParamArray<T>::Clear() {
  dims_.clear();
  elems_.resize(1);
  elems_[0] = T{};
}

template class TParamArray<int32_t>;
template class TParamArray<long double>;
template class TParamArray<uint8_t>;
template class TParamArray<std::string>;

// ---- factories ----------------------------------------------------------------------------

std::unique_ptr<TCustomParam> NewParam(uint8_t type) {
  switch (type) {
  case PT_INT:
    return std::make_unique<TParamInt>();
  case PT_FLOAT:
    return std::make_unique<TParamFloat>();
  case PT_BOOL:
    return std::make_unique<TParamFlag>();
  case PT_STR:
    return std::make_unique<TParamStr>();
  default:
    return std::make_unique<TParamVar>();
  }
}

std::unique_ptr<TCustomParam> CloneParam(const TCustomParam& src) {
  auto out = NewParam(src.DataType());
  out->AssignAll(src);
  return out;
}

} // namespace nova
