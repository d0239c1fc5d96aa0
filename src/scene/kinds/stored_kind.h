// SPDX-License-Identifier: MIT
// Property storage for kinds whose own behaviour is built with their own library parts: every
// property the kind honours beyond the common ones is kept as a value, so scripts can set and
// read it and the kind's draw and update can build on it.
#pragma once
#include <map>

#include "scene/nova_control.h"

namespace nova {

template <uint8_t Kind, class Base> class TStoredKind : public Base {
public:
  using Base::Base;
  uint8_t GetKind() const override { return Kind; }
  bool IsPaused() const override { return Flag(PR_PAUSED); }
  const std::string& IdleHandler() const override { return Text(PR_ONIDLE); }

protected:
  bool ReadProp(int id, TPropValue& out) override {
    if (Base::ReadProp(id, out))
      return true;
    auto it = values_.find(id);
    if (it != values_.end())
      out = it->second;
    return true;
  }
  bool WriteProp(int id, const TPropValue& value) override {
    if (!Base::WriteProp(id, value))
      values_[id] = value;
    return true;
  }
  bool Flag(int id) const {
    auto it = values_.find(id);
    return it != values_.end() && it->second.f;
  }
  int32_t Int(int id) const {
    auto it = values_.find(id);
    return it != values_.end() ? it->second.i : 0;
  }
  const std::string& Text(int id) const {
    static const std::string empty;
    auto it = values_.find(id);
    return it != values_.end() ? it->second.s : empty;
  }

private:
  std::map<int, TPropValue> values_;
};

// The same for visual kinds, with the motion-end behaviour of kinds that play.
template <uint8_t Kind, class Base = TNovaControl>
class TStoredControl : public TStoredKind<Kind, Base> {
public:
  using TStoredKind<Kind, Base>::TStoredKind;

protected:
  bool AutoScrap() const override { return this->Flag(PR_AUTOSCRAP); }
  const std::string& PlayEndHandler() const override { return this->Text(PR_ONPLAYEND); }
};

} // namespace nova
