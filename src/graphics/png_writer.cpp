// SPDX-License-Identifier: MIT
#include "graphics/png_writer.h"

#include <png.h>

#include <cstring>
#include <fstream>

#include "base/nova_error.h"
#include "graphics/dibx_custom.h"

namespace nova {

std::vector<uint8_t> EncodePng(TCustomDIBX& surface) {
  const int w = surface.Width(), h = surface.Height();
  if (w <= 0 || h <= 0)
    throw ENovaError("PNG writer: the surface is empty");
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t c = surface.PixelToColor(surface.GetPixel(x, y));
      uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
      p[0] = static_cast<uint8_t>(c);
      p[1] = static_cast<uint8_t>(c >> 8);
      p[2] = static_cast<uint8_t>(c >> 16);
    }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(w);
  image.height = static_cast<png_uint_32>(h);
  image.format = PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr))
    throw ENovaError(std::string("PNG writer: ") + image.message);
  std::vector<uint8_t> out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgb.data(), 0, nullptr))
    throw ENovaError(std::string("PNG writer: ") + image.message);
  out.resize(size);
  return out;
}

void WritePng(TCustomDIBX& surface, const std::string& path) {
  const std::vector<uint8_t> bytes = EncodePng(surface);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!file)
    throw ENovaError(path + ": cannot write the PNG file");
}

} // namespace nova
