// SPDX-License-Identifier: MIT
#include "vfs/private/zlib_codec.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <memory>
#include <new>

#include "base/nova_error.h"

namespace nova {

namespace {

// Deflate cannot expand data by more than about 1032:1.
constexpr int64_t kMaxDeflateRatio = 1032;
constexpr int64_t kFirstGuessRatio = 8;
constexpr int64_t kMinFirstGuess = 64 * 1024;

struct DecompressorDeleter {
  void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

libdeflate_decompressor* Decompressor() {
  thread_local std::unique_ptr<libdeflate_decompressor, DecompressorDeleter> d(
      libdeflate_alloc_decompressor());
  if (!d)
    throw std::bad_alloc();
  return d.get();
}

} // namespace

void InflateZlib(std::span<const uint8_t> in, TMemoryStream& out, const std::string& what,
                 int64_t max_bytes) {
  out.Clear();
  if (in.empty())
    return;
  const int64_t in_size = static_cast<int64_t>(in.size());
  const int64_t cap = std::min(max_bytes, in_size * kMaxDeflateRatio + 1024);
  int64_t capacity = std::min(cap, std::max(kMinFirstGuess, in_size * kFirstGuessRatio));
  for (;;) {
    out.SetSize(capacity);
    size_t actual = 0;
    libdeflate_result r = libdeflate_zlib_decompress(
        Decompressor(), in.data(), in.size(), out.Memory(), static_cast<size_t>(capacity), &actual);
    if (r == LIBDEFLATE_SUCCESS) {
      out.SetSize(static_cast<int64_t>(actual));
      return;
    }
    if (r != LIBDEFLATE_INSUFFICIENT_SPACE) {
      out.Clear();
      throw ENovaError(what + ": the compressed data is damaged");
    }
    if (capacity >= cap) {
      out.Clear();
      throw ENovaError(what + ": the compressed data inflates beyond " + std::to_string(cap) +
                       " bytes");
    }
    capacity = std::min(cap, capacity * 4);
  }
}

std::vector<uint8_t> DeflateZlib(std::span<const uint8_t> in) {
  uLongf bound = compressBound(static_cast<uLong>(in.size()));
  std::vector<uint8_t> out(bound);
  if (compress2(out.data(), &bound, in.data(), static_cast<uLong>(in.size()),
                Z_DEFAULT_COMPRESSION) != Z_OK) {
    throw std::bad_alloc();
  }
  out.resize(bound);
  return out;
}

} // namespace nova
