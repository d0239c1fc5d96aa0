// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <vector>

namespace nova {

// The draw order of the 0 … count − 1 indices produced by the seeded generator of layered images
// (and of the dither transition): state s starts at 0, each draw sets s := s·5 + seed and takes
// position s mod (indices left) of the remaining indices. Seed 0 gives the identity.
// Runs in O(count · log count), so huge tables of damaged files cannot stall the loader.
std::vector<uint32_t> PermutationOrder(int32_t seed, uint32_t count);

} // namespace nova
