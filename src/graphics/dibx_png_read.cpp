// SPDX-License-Identifier: MIT
#include <png.h>

#include <cstring>
#include <vector>

#include "base/nova_error.h"
#include "graphics/dibx.h"
#include "graphics/private/dibx_codecs.h"

namespace nova {
namespace {
constexpr uint32_t kMaxSide = 1 << 15;
} // namespace

void DecodePng(std::span<const uint8_t> bytes, const std::string& name, TDIBX& picture) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (bytes.size() < 8)
    throw ENovaError(name + ": PNG file is truncated");
  // Only the letters at offset 1 identify the file; the decoder wants the whole signature.
  std::vector<uint8_t> data(bytes.begin(), bytes.end());
  std::memcpy(data.data(), kSignature, 8);
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size()))
    throw ENovaError(name + ": damaged PNG file (" + image.message + ")");
  if (image.width == 0 || image.height == 0 || image.width > kMaxSide || image.height > kMaxSide) {
    png_image_free(&image);
    throw ENovaError(name + ": bad PNG size " + std::to_string(image.width) + " x " +
                     std::to_string(image.height));
  }
  image.format = PNG_FORMAT_BGRA;
  picture.SetSize(static_cast<int>(image.width), static_cast<int>(image.height), 32);
  // libpng takes the lowest address and a negative stride for bottom-up rows.
  if (!png_image_finish_read(&image, nullptr, picture.PixelAddress(0, picture.Height() - 1),
                             picture.Pitch(), nullptr)) {
    const std::string message = image.message;
    png_image_free(&image);
    throw ENovaError(name + ": damaged PNG file (" + message + ")");
  }
  // The unused byte of a 32-bit surface carries no alpha.
  for (int y = 0; y < picture.Height(); ++y) {
    uint8_t* row = picture.PixelAddress(0, y);
    for (int x = 0; x < picture.Width(); ++x)
      row[x * 4 + 3] = 0;
  }
}

} // namespace nova
