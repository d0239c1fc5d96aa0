// SPDX-License-Identifier: MIT
#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>

#include "base/nova_error.h"
#include "base/regular_file.h"
#include "graphics/dibx.h"
#include "graphics/dibx_wisp_hook.h"
#include "graphics/private/dibx_codecs.h"

namespace nova {
namespace {

// A bitmap of the largest surface at 32 bits, and its header.
constexpr size_t kMaxPictureFileBytes = (size_t{16384} * 16384 * 4) + 4096;

bool HasBmpExtension(const std::string& path) {
  if (path.size() < 4)
    return false;
  std::string ext = path.substr(path.size() - 4);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".bmp";
}

// Redraws a decoded picture at the surface's own bit count: palette pictures of the same
// count keep their indices, everything else goes through colours.
void ConvertInto(TCustomDIBX& dst, TDIBX& picture) {
  const int bits = dst.BitCount();
  dst.SetSize(picture.Width(), picture.Height(), bits);
  if (picture.BitCount() == bits) {
    if (bits <= 8) {
      TPaletteEntry palette[256];
      picture.GetPalette(palette);
      dst.SetPalette(palette);
    }
    const TRect saved = dst.StoredClip();
    dst.ResetClip();
    dst.Draw(0, 0, FlipNone, TKeyMode::Ignore, picture.Bounds(), picture);
    dst.SetStoredClip(saved);
    return;
  }
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      dst.SetPixel(x, y,
                   static_cast<TPixel>(dst.ColorToPixel(
                       static_cast<int32_t>(picture.PixelToColor(picture.GetPixel(x, y))))));
}

} // namespace

void TCustomDIBX::LoadFromFile(const std::string& path) {
  if (!HasBmpExtension(path))
    return;
  const std::optional<std::string> bytes = ReadRegularFile(path, kMaxPictureFileBytes);
  if (!bytes)
    return;
  LoadFromStream(std::span(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()), path);
}

void TCustomDIBX::LoadFromStream(std::span<const uint8_t> bytes, const std::string& name) {
  TDIBX picture(0, 0, 32);
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    DecodeBmp(bytes, name, picture);
  } else if (bytes.size() >= 4 && std::memcmp(bytes.data() + 1, "PNG", 3) == 0) {
    DecodePng(bytes, name, picture);
  } else if (bytes.size() >= 4 && std::memcmp(bytes.data(), "Wisp", 4) == 0 &&
             WispSurfaceDecoder()) {
    WispSurfaceDecoder()->DecodeComposite(bytes, name, picture);
  } else {
    return;
  }
  ConvertInto(*this, picture);
}

void TCustomDIBX::SaveToFile(const std::string& path) {
  if (!HasBmpExtension(path))
    return;
  const std::vector<uint8_t> bytes = EncodeBmp24(*this);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!file)
    throw ENovaError(path + ": cannot write the bitmap file");
}

} // namespace nova
