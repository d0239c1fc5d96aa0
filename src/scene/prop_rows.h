// SPDX-License-Identifier: MIT
// Property rows: a class declares once which properties it keeps and how each one is read and
// written. GetProp and SetProp walk the rows of the component's class, then its parent classes'.
// Tables are constant and built at compile time, so looking a property up costs an array index
// per class level and one call through a function pointer.
#pragma once
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

#include "scene/prop_value.h"

namespace nova {

class TNovaObject;

// What a write changes on screen: nothing, the picture (repaint), or the placement (repaint and
// every remembered screen position).
enum TPropEffect : uint8_t { peNone, pePicture, peGeometry };

struct TPropRow {
  TNovaProp id;
  TPropEffect effect;
  // Null: this direction is left to the parent class's rows.
  TPropValue (*get)(const TNovaObject&);
  void (*set)(TNovaObject&, const TPropValue&);
};

struct TPropTable {
  const TPropTable& (*parent)(); // null at the root
  const TPropRow* rows;
  std::array<uint8_t, kNovaPropCount> slot; // 1 + index into rows; 0 when the class has none

  const TPropRow* FindGet(int id) const {
    for (const TPropTable* t = this; t; t = t->parent ? &t->parent() : nullptr)
      if (uint8_t s = t->slot[static_cast<size_t>(id)]; s && t->rows[s - 1].get)
        return &t->rows[s - 1];
    return nullptr;
  }
  const TPropRow* FindSet(int id) const {
    for (const TPropTable* t = this; t; t = t->parent ? &t->parent() : nullptr)
      if (uint8_t s = t->slot[static_cast<size_t>(id)]; s && t->rows[s - 1].set)
        return &t->rows[s - 1];
    return nullptr;
  }
};

template <size_t N>
constexpr TPropTable MakePropTable(const TPropTable& (*parent)(),
                                   const std::array<TPropRow, N>& rows) {
  static_assert(N < 255);
  TPropTable t{parent, rows.data(), {}};
  for (size_t i = 0; i < N; ++i) {
    if (t.slot[rows[i].id] != 0)
      throw "a property is declared twice in one class";
    t.slot[rows[i].id] = static_cast<uint8_t>(i + 1);
  }
  return t;
}

// One class's rows made of shared groups and rows of its own.
template <size_t... N> constexpr auto JoinRows(const std::array<TPropRow, N>&... parts) {
  std::array<TPropRow, (N + ...)> out{};
  size_t i = 0;
  ((std::copy(parts.begin(), parts.end(), out.begin() + static_cast<std::ptrdiff_t>(i)),
    i += parts.size()),
   ...);
  return out;
}

// Repaints a control after a write with the given effect (fields declared with an effect).
void ApplyPropEffect(TNovaObject& obj, TPropEffect effect);

namespace props {

template <class V> TPropValue ToValue(const V& v) {
  if constexpr (std::is_same_v<V, bool>)
    return TPropValue::Flag(v);
  else if constexpr (std::is_integral_v<V> || std::is_enum_v<V>)
    return TPropValue::Int(static_cast<int32_t>(v));
  else if constexpr (std::is_floating_point_v<V>)
    return TPropValue::Real(v);
  else
    return TPropValue::Str(v);
}

template <class V> V FromValue(const TPropValue& v) {
  if constexpr (std::is_same_v<V, bool>)
    return v.f;
  else if constexpr (std::is_integral_v<V> || std::is_enum_v<V>)
    return static_cast<V>(v.i);
  else if constexpr (std::is_floating_point_v<V>)
    return static_cast<V>(v.r);
  else
    return v.s;
}

template <class M> struct MemberOf;
template <class C, class V> struct MemberOf<V C::*> {
  using Class = C;
  using Value = V;
};

template <class F> struct MethodOf;
template <class C, class R> struct MethodOf<R (C::*)() const> {
  using Class = C;
  using Value = std::remove_cvref_t<R>;
};
template <class C, class A> struct MethodOf<void (C::*)(A)> {
  using Class = C;
  using Value = std::remove_cvref_t<A>;
};

// A stored field read and written as it is: an integer, real or text as its own type, a
// one-byte flag as true/false. With an effect the control repaints, and only when the value
// changed.
template <auto M, bool kAsFlag, TPropEffect kEffect> constexpr TPropRow FieldRow(TNovaProp id) {
  using C = typename MemberOf<decltype(M)>::Class;
  using V = typename MemberOf<decltype(M)>::Value;
  TPropValue (*get)(const TNovaObject&) = [](const TNovaObject& o) {
    const V& v = static_cast<const C&>(o).*M;
    if constexpr (kAsFlag)
      return TPropValue::Flag(v != 0);
    else
      return ToValue(v);
  };
  void (*set)(TNovaObject&, const TPropValue&) = [](TNovaObject& o, const TPropValue& v) {
    V now;
    if constexpr (kAsFlag)
      now = v.f ? 1 : 0;
    else
      now = FromValue<V>(v);
    V& field = static_cast<C&>(o).*M;
    if constexpr (kEffect == peNone) {
      field = std::move(now);
    } else if (field != now) {
      field = std::move(now);
      ApplyPropEffect(o, kEffect);
    }
  };
  return {id, kEffect, get, set};
}

template <auto M, TPropEffect kEffect = peNone> constexpr TPropRow Field(TNovaProp id) {
  return FieldRow<M, false, kEffect>(id);
}
template <auto M, TPropEffect kEffect = peNone> constexpr TPropRow Flag(TNovaProp id) {
  return FieldRow<M, true, kEffect>(id);
}
// A stored field that scripts only read.
template <auto M> constexpr TPropRow ReadOnly(TNovaProp id) {
  TPropRow r = FieldRow<M, false, peNone>(id);
  r.set = nullptr;
  return r;
}

// A stored field read as it is (a one-byte field as a flag when the setter takes bool) and
// written through the class's setter, which does its own repainting.
template <auto M, auto Set> constexpr TPropRow Stored(TNovaProp id, TPropEffect effect) {
  using C = typename MemberOf<decltype(M)>::Class;
  using V = typename MemberOf<decltype(M)>::Value;
  using SC = typename MethodOf<decltype(Set)>::Class;
  using A = typename MethodOf<decltype(Set)>::Value;
  TPropValue (*get)(const TNovaObject&) = [](const TNovaObject& o) {
    const V& v = static_cast<const C&>(o).*M;
    if constexpr (std::is_same_v<A, bool>)
      return TPropValue::Flag(v != 0);
    else
      return ToValue(v);
  };
  void (*set)(TNovaObject&, const TPropValue&) = [](TNovaObject& o, const TPropValue& v) {
    (static_cast<SC&>(o).*Set)(FromValue<A>(v));
  };
  return {id, effect, get, set};
}

// A getter and setter of the class (either may be nullptr); the setter does its own repainting
// and the effect says what it changes.
template <auto Get, auto Set> constexpr TPropRow Access(TNovaProp id, TPropEffect effect) {
  TPropValue (*get)(const TNovaObject&) = nullptr;
  void (*set)(TNovaObject&, const TPropValue&) = nullptr;
  if constexpr (!std::is_null_pointer_v<decltype(Get)>) {
    using C = typename MethodOf<decltype(Get)>::Class;
    get = [](const TNovaObject& o) { return ToValue((static_cast<const C&>(o).*Get)()); };
  }
  if constexpr (!std::is_null_pointer_v<decltype(Set)>) {
    using C = typename MethodOf<decltype(Set)>::Class;
    using V = typename MethodOf<decltype(Set)>::Value;
    set = [](TNovaObject& o, const TPropValue& v) { (static_cast<C&>(o).*Set)(FromValue<V>(v)); };
  }
  return {id, effect, get, set};
}

// Behaviour of its own: `get` is `TPropValue(const T&)` or nullptr, `set` is
// `void(T&, const TPropValue&)` or nullptr (captureless lambdas).
template <class T, class G, class S>
constexpr TPropRow Custom(TNovaProp id, TPropEffect effect, G, S) {
  TPropValue (*get)(const TNovaObject&) = nullptr;
  void (*set)(TNovaObject&, const TPropValue&) = nullptr;
  if constexpr (!std::is_null_pointer_v<G>)
    get = [](const TNovaObject& o) { return G{}(static_cast<const T&>(o)); };
  if constexpr (!std::is_null_pointer_v<S>)
    set = [](TNovaObject& o, const TPropValue& v) { S{}(static_cast<T&>(o), v); };
  return {id, effect, get, set};
}

// A field reached by `ref` (a captureless lambda from the object to the field, const or not),
// read as it is and written as `conv` makes it from the value, with `before` and `after` (each
// a captureless lambda taking T&, or nullptr) around the store.
template <class T, class Ref, class Conv, class Before, class After>
constexpr TPropRow RefRow(TNovaProp id, TPropEffect effect, Ref, Conv, Before, After) {
  return {id, effect, [](const TNovaObject& o) { return ToValue(Ref{}(static_cast<const T&>(o))); },
          [](TNovaObject& o, const TPropValue& v) {
            T& t = static_cast<T&>(o);
            if constexpr (!std::is_null_pointer_v<Before>)
              Before{}(t);
            Ref{}(t) = Conv{}(v);
            if constexpr (!std::is_null_pointer_v<After>)
              After{}(t);
          }};
}

// The parent classes' write of `Id`, then `after` (a captureless lambda taking T&): for kinds
// that must follow a change the parent makes.
template <class T, auto Parent, TNovaProp Id, class After>
constexpr TPropRow WriteThen(TPropEffect effect, After) {
  return {Id, effect, nullptr, [](TNovaObject& o, const TPropValue& v) {
            if (const TPropRow* row = Parent().FindSet(Id))
              row->set(o, v);
            After{}(static_cast<T&>(o));
          }};
}

} // namespace props
} // namespace nova
