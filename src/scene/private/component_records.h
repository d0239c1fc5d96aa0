// SPDX-License-Identifier: MIT
// The form shared by a layer's children and the scene's other components: a count, then each
// component as its kind byte and its own record.
#pragma once
#include <cstdint>
#include <vector>

#include "base/serializer.h"
#include "scene/nova_object.h"

namespace nova {

// A component record is at least its kind byte and the smallest common head.
inline constexpr size_t kMinComponentBytes = 1 + 4 + 4;

// Saving counts and writes the components `saved` accepts. Loading makes each one through
// `make(index, kind)`, which fails on a kind that does not belong in this list, then loads it.
template <class T, class Saved, class Make>
void SyncComponents(TSerializer& s, const std::vector<T*>& list, const char* field, Saved&& saved,
                    Make&& make) {
  if (s.Saving()) {
    int32_t n = 0;
    for (const T* o : list)
      n += saved(o) ? 1 : 0;
    s.I32(n);
    for (T* o : list) {
      if (!saved(o))
        continue;
      uint8_t kind = o->GetKind();
      s.U8(kind);
      o->Sync(s);
    }
    return;
  }
  int32_t n = 0;
  s.I32(n);
  s.Reader().CheckCount(n, kMinComponentBytes, field);
  for (int32_t i = 0; i < n; ++i) {
    uint8_t kind = 0;
    s.U8(kind);
    make(i, kind)->Sync(s);
  }
}

} // namespace nova
