// SPDX-License-Identifier: MIT
#include "platform/png_writer.h"

#include <png.h>

#include <cstdio>
#include <vector>

#include "base/nova_error.h"
#include "base/sjis.h"

namespace nova {

namespace {

struct TFileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

[[noreturn]] void Fail(const std::filesystem::path& path, const char* what) {
  throw ENovaError(Utf8ToSjis("cannot write PNG " + path.string() + ": " + what));
}

} // namespace

void WritePicturePng(const TPicture& picture, const std::filesystem::path& path) {
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height)
    Fail(path, "empty picture");
  std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file)
    Fail(path, "cannot create the file");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    Fail(path, "out of memory");
  }
  std::vector<uint8_t> row(static_cast<size_t>(picture.width) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    Fail(path, "write error");
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, picture.width, picture.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < picture.height; ++y) {
    const uint32_t* src = picture.pixels.data() + static_cast<size_t>(y) * picture.width;
    for (int x = 0; x < picture.width; ++x) {
      row[x * 3] = static_cast<uint8_t>(src[x] >> 16);
      row[x * 3 + 1] = static_cast<uint8_t>(src[x] >> 8);
      row[x * 3 + 2] = static_cast<uint8_t>(src[x]);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  if (std::fflush(file.get()) != 0)
    Fail(path, "write error");
}

} // namespace nova
