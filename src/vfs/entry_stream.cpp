// SPDX-License-Identifier: MIT
#include "vfs/entry_stream.h"

#include <zlib.h>

#include <algorithm>
#include <new>
#include <vector>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "vfs/vr_file_collection.h"

namespace nova {

void StreamEntry(TVrFileCollection& archive, int index,
                 const std::function<void(const uint8_t* data, size_t size)>& sink) {
  const TVrFile& e = archive.Entry(index);
  const std::string what = Utf8ToSjis(archive.FileName()) + ": " + e.name;
  std::unique_ptr<TRangeStream> range = archive.OpenEntryRange(index);
  const bool raw = e.data || e.stored;
  constexpr size_t kPiece = size_t{1} << 16;
  std::vector<uint8_t> in(kPiece), out(kPiece);
  int64_t left = range->WindowSize();
  const auto read = [&] {
    const int64_t n = std::min<int64_t>(left, static_cast<int64_t>(kPiece));
    if (range->Read(in.data(), n) != n)
      throw ENovaError(what + ": unexpected end of the archive");
    left -= n;
    return static_cast<size_t>(n);
  };
  if (raw) {
    while (left > 0) {
      const size_t n = read();
      sink(in.data(), n);
    }
    return;
  }
  z_stream z{};
  if (inflateInit(&z) != Z_OK)
    throw std::bad_alloc();
  struct TEnd {
    z_stream& z;
    ~TEnd() { inflateEnd(&z); }
  } end{z};
  for (;;) {
    if (z.avail_in == 0 && left > 0) {
      z.avail_in = static_cast<uInt>(read());
      z.next_in = in.data();
    }
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&z, Z_NO_FLUSH);
    if (result == Z_NEED_DICT || result == Z_DATA_ERROR || result == Z_MEM_ERROR)
      throw ENovaError(what + ": the compressed data is damaged");
    sink(out.data(), out.size() - z.avail_out);
    if (result == Z_STREAM_END)
      return;
    // No progress and nothing more to read: the stream stops short.
    if (result == Z_BUF_ERROR && z.avail_in == 0 && left == 0)
      throw ENovaError(what + ": the compressed data is damaged");
  }
}

} // namespace nova
