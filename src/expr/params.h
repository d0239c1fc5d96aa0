// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "expr/param_types.h"

namespace nova {

class BinaryReader;
class BinaryWriter;
class TParamCollection;
class TParamCollectionItem;

// A typed value: a plain value or a multi-dimensional array (row-major, last subscript
// fastest). Every value converts itself to and from the other types on request.
// The base class answers zero values and ignores writes; concrete classes override.
class TCustomParam {
public:
  virtual ~TCustomParam() = default;

  virtual int32_t Count() const { return 1; }
  virtual void SetCount(int32_t n) {}
  virtual uint8_t DataType() const { return PT_INT; }

  virtual bool AsFlag() const { return false; }
  virtual long double AsReal() const { return 0; }
  virtual int32_t AsInt() const { return 0; }
  virtual std::string AsStr() const { return {}; }
  // Each makes the value plain first, then stores into element 0, converted.
  virtual void SetFlag(bool v) {}
  virtual void SetReal(long double v) {}
  virtual void SetInt(int32_t v) {}
  virtual void SetStr(std::string_view v) {}

  virtual int32_t IntAt(int32_t i) const { return 0; }
  virtual void SetIntAt(int32_t i, int32_t v) {}
  virtual long double RealAt(int32_t i) const { return 0; }
  virtual void SetRealAt(int32_t i, long double v) {}
  virtual bool FlagAt(int32_t i) const { return false; }
  virtual void SetFlagAt(int32_t i, bool v) {}
  virtual std::string StrAt(int32_t i) const { return {}; }
  virtual void SetStrAt(int32_t i, std::string_view v) {}

  // Length of the dimension list, or 1 for a plain value.
  virtual int32_t DimCount() const;
  // Size of dimension i, or 1 when i is outside the list.
  virtual int32_t DimSize(int32_t i) const;
  virtual const std::vector<int32_t>& Dims() const { return dims_; }
  // Copies dimensions and elements from a value of the same class.
  virtual void AssignAll(const TCustomParam& src) {}
  // Every size must be above 0; the element count becomes their product.
  virtual void SetDims(const std::vector<int32_t>& dims);
  virtual void FillInt(int32_t v) {}
  virtual void FillReal(long double v) {}
  virtual void FillFlag(bool v) {}
  virtual void FillStr(std::string_view v) {}
  // Like AssignAll, but checks the class ("CopyMem:変数の型があいません").
  virtual void CopyFrom(const TCustomParam& src);
  virtual void SaveToStream(BinaryWriter& w) const;
  virtual void LoadFromStream(BinaryReader& r);
  virtual void MakePlain();
  virtual void Unique() {}
  // Removes every element equal to v (v null: zeros, or empty strings).
  virtual void RemoveValue(const TCustomParam* v) {}
  virtual int32_t IndexOfStr(std::string_view s, bool case_sensitive, bool partial) const;

  // The referenced value of a reference, else this value itself (never null).
  virtual const TCustomParam* Target() const { return this; }
  // Not virtual: asked for every argument of every operation.
  bool IsReference() const { return reference_; }
  virtual bool IsSystem() const { return false; }

  // Back to a single zero element with no dimensions (temporaries are reused this way).
  virtual void Clear() {}

protected:
  std::vector<int32_t> dims_;
  bool reference_ = false;
};

// Element storage and element-wise conversions shared by the four concrete classes.
template <typename T> class TParamArray : public TCustomParam {
public:
  TParamArray() : elems_(1) {}

  int32_t Count() const override { return static_cast<int32_t>(elems_.size()); }
  void SetCount(int32_t n) override;

  bool AsFlag() const override { return FlagAt(0); }
  long double AsReal() const override { return RealAt(0); }
  int32_t AsInt() const override { return IntAt(0); }
  std::string AsStr() const override { return StrAt(0); }
  void SetFlag(bool v) override;
  void SetReal(long double v) override;
  void SetInt(int32_t v) override;
  void SetStr(std::string_view v) override;

  int32_t IntAt(int32_t i) const override;
  void SetIntAt(int32_t i, int32_t v) override;
  long double RealAt(int32_t i) const override;
  void SetRealAt(int32_t i, long double v) override;
  bool FlagAt(int32_t i) const override;
  void SetFlagAt(int32_t i, bool v) override;
  std::string StrAt(int32_t i) const override;
  void SetStrAt(int32_t i, std::string_view v) override;

  void AssignAll(const TCustomParam& src) override;
  void FillInt(int32_t v) override;
  void FillReal(long double v) override;
  void FillFlag(bool v) override;
  void FillStr(std::string_view v) override;
  void SaveToStream(BinaryWriter& w) const override;
  void LoadFromStream(BinaryReader& r) override;
  void MakePlain() override;
  void Unique() override;
  void RemoveValue(const TCustomParam* v) override;
  void Clear() override;

  const std::vector<T>& Elements() const { return elems_; }
  std::vector<T>& Elements() { return elems_; }
  const T& At(int32_t i) const;
  T& At(int32_t i);

protected:
  std::vector<T> elems_;
};

class TParamInt final : public TParamArray<int32_t> {
public:
  uint8_t DataType() const override { return PT_INT; }
};

class TParamFloat final : public TParamArray<long double> {
public:
  uint8_t DataType() const override { return PT_FLOAT; }
};

// Flags are stored as bytes, 0 or 1.
class TParamFlag final : public TParamArray<uint8_t> {
public:
  uint8_t DataType() const override { return PT_BOOL; }
};

class TParamStr final : public TParamArray<std::string> {
public:
  uint8_t DataType() const override { return PT_STR; }
};

// A reference to a named variable or to one element of it. Element reads and writes go to the
// referenced variable's element at the element index; array operations to the whole variable.
// Unresolved: reads give zero values, the type is PT_NONE and writes do nothing.
class TParamVar final : public TCustomParam {
public:
  TParamVar() { reference_ = true; }
  explicit TParamVar(std::string name) : name_(std::move(name)) { reference_ = true; }

  // The name this reference was written with (an argument's variable name).
  const std::string& Name() const { return name_; }
  void SetName(std::string_view name) { name_.assign(name); }
  // Binds to element `index` of a variable of the table (or clears the binding with null).
  void Bind(TParamCollectionItem* item, int32_t index);
  // Binds to a whole variable, as an argument naming it: plain reads and writes act on the
  // variable itself. A variable that is itself a reference passes on its element.
  void BindWhole(TParamCollectionItem* item);
  void Unbind();
  bool Resolved() const;
  TParamCollectionItem* Item() const;
  int32_t Index() const { return index_; }
  // Name of the referenced variable (empty when unresolved).
  std::string RefName() const;
  uint8_t Reserved() const { return reserved_; }

  int32_t Count() const override;
  void SetCount(int32_t n) override;
  uint8_t DataType() const override;
  bool AsFlag() const override;
  long double AsReal() const override;
  int32_t AsInt() const override;
  std::string AsStr() const override;
  void SetFlag(bool v) override;
  void SetReal(long double v) override;
  void SetInt(int32_t v) override;
  void SetStr(std::string_view v) override;
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
  const std::vector<int32_t>& Dims() const override;
  void AssignAll(const TCustomParam& src) override;
  void SetDims(const std::vector<int32_t>& dims) override;
  void FillInt(int32_t v) override;
  void FillReal(long double v) override;
  void FillFlag(bool v) override;
  void FillStr(std::string_view v) override;
  void CopyFrom(const TCustomParam& src) override;
  // Writes dims (none), own name, referenced name, reserved byte, element index.
  void SaveToStream(BinaryWriter& w) const override;
  // Reads the same; binding is done by the table that knows the names (LoadRef).
  void LoadFromStream(BinaryReader& r) override;
  void MakePlain() override;
  void Unique() override;
  void RemoveValue(const TCustomParam* v) override;
  int32_t IndexOfStr(std::string_view s, bool case_sensitive, bool partial) const override;
  const TCustomParam* Target() const override;
  void Clear() override;

  // The referenced name read by LoadFromStream, for the table to resolve.
  const std::string& LoadedRefName() const { return loaded_ref_; }

private:
  TCustomParam* Live() const;

  std::string name_;
  TParamCollectionItem* item_ = nullptr;
  uint32_t serial_ = 0;
  uint8_t reserved_ = 0;
  int32_t index_ = 0;
  bool whole_ = false;
  std::string loaded_ref_;
};

// A new value object of a type (PT_NONE gives an unresolved TParamVar).
std::unique_ptr<TCustomParam> NewParam(uint8_t type);
// A standalone copy of a value of type 1..4: its type, dimensions and elements.
std::unique_ptr<TCustomParam> CloneParam(const TCustomParam& src);

extern template class TParamArray<int32_t>;
extern template class TParamArray<long double>;
extern template class TParamArray<uint8_t>;
extern template class TParamArray<std::string>;

} // namespace nova
