// SPDX-License-Identifier: MIT
#include "graphics/wisp_permutation.h"

namespace nova {

std::vector<uint32_t> PermutationOrder(int32_t seed, uint32_t count) {
  std::vector<uint32_t> order;
  order.reserve(count);
  // A Fenwick tree over "index still present" finds the k-th remaining index by binary lifting.
  std::vector<uint32_t> tree(count + 1, 0);
  for (uint32_t i = 1; i <= count; ++i) {
    tree[i] += 1;
    uint32_t parent = i + (i & (~i + 1));
    if (parent <= count)
      tree[parent] += tree[i];
  }
  uint32_t top_bit = 1;
  while (top_bit * 2 <= count)
    top_bit *= 2;

  uint32_t state = 0;
  const uint32_t step = static_cast<uint32_t>(seed);
  for (uint32_t left = count; left > 0; --left) {
    state = state * 5 + step;
    uint32_t rank = state % left; // 0-based position among the remaining indices
    uint32_t pos = 0;
    for (uint32_t bit = top_bit; bit != 0; bit >>= 1) {
      uint32_t next = pos + bit;
      if (next <= count && tree[next] <= rank) {
        pos = next;
        rank -= tree[next];
      }
    }
    order.push_back(pos); // the 1-based tree slot pos + 1 is index pos
    for (uint32_t i = pos + 1; i <= count; i += i & (~i + 1))
      tree[i] -= 1;
  }
  return order;
}

} // namespace nova
