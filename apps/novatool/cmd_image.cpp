// SPDX-License-Identifier: MIT
// `novatool image`: inspects pictures, converts between layered images and PNG, and draws
// pictures from text descriptions.
#include <cstdio>
#include <string>
#include <vector>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "graphics/picture_drawing.h"
#include "graphics/png_picture.h"
#include "graphics/wisp_frame_list.h"
#include "scene/kinds/map_text.h"
#include "tool_args.h"
#include "vfs/stream.h"

using namespace nova;

namespace {

int ImageUsage() {
  std::fputs("usage: novatool image info FILE [--code K]\n"
             "       novatool image topng FILE OUT.png [--layers] [--code K]\n"
             "       novatool image towsp IN... -o FILE.wsp [--jpeg Q] [--code K]\n"
             "       novatool image draw DESCRIPTION.txt -o OUT.wsp|OUT.png\n"
             "       novatool image map DESCRIPTION.txt -o OUT.map\n",
             stderr);
  return 2;
}

// Options after the command word; the rest are operands.
struct Options {
  std::vector<std::string> operands;
  std::string out;
  int32_t code = 0;
  bool has_code = false;
  int jpeg_quality = -1;
  bool layers = false;
};

bool ParseInt(const std::string& text, long lo, long hi, long& value) {
  try {
    size_t used = 0;
    value = std::stol(text, &used, 0);
    return used == text.size() && value >= lo && value <= hi;
  } catch (const std::exception&) {
    return false;
  }
}

bool Parse(const ToolArgs& args, Options& o) {
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    long v = 0;
    if (a == "--layers") {
      o.layers = true;
    } else if (a == "-o" && has_value) {
      o.out = args[++i];
    } else if (a == "--code" && has_value) {
      if (!ParseInt(args[++i], INT32_MIN, UINT32_MAX, v))
        return false;
      o.code = static_cast<int32_t>(static_cast<uint32_t>(v));
      o.has_code = true;
    } else if (a == "--jpeg" && has_value) {
      if (!ParseInt(args[++i], 1, 100, v))
        return false;
      o.jpeg_quality = static_cast<int>(v);
    } else if (a.starts_with("-")) {
      return false;
    } else {
      o.operands.push_back(a);
    }
  }
  return true;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  TMemoryStream out;
  out.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  out.SaveToFile(path);
}

// Layered files keep their layers for inspection; other pictures load by extension. True for a
// layered file.
bool Load(TWispFrameList& list, const std::string& path) {
  TMemoryStream file;
  file.LoadFromFile(path);
  const std::span<const uint8_t> bytes = file.Bytes();
  const bool wisp = bytes.size() >= 4 && std::string(bytes.begin(), bytes.begin() + 4) == "Wisp";
  if (wisp || path.ends_with(".wsp") || path.ends_with(".WSP")) {
    list.LoadFromStream(bytes, path, WispFrames::kAll, WispLayers::kKeep);
    return true;
  }
  if (!list.LoadFromMemory(bytes, path)) {
    throw ENovaError("\"" + path + "\" is no picture (.wsp, .png, .bmp or .dib)");
  }
  return false;
}

const char* CompressionName(uint8_t c) { return c == 0 ? "zlib" : c == 1 ? "stored" : "jpeg"; }

void PrintRegions(const char* what, const std::vector<TRect>& regions) {
  std::printf("    %s regions: %zu", what, regions.size());
  for (const TRect& r : regions)
    std::printf(" (%d,%d)-(%d,%d)", r.Left, r.Top, r.Right, r.Bottom);
  std::printf("\n");
}

int Info(const Options& o) {
  if (o.operands.size() != 1)
    return ImageUsage();
  TWispFrameList list(o.code);
  if (!Load(list, o.operands[0])) {
    std::printf("picture, 1 frame\n");
  } else {
    std::printf("version %d, %d frame(s), compression %s, tiles %dx%d, permuted %s, background "
                "0x%06X, first layer opaque %s\n",
                list.version(), list.Count(), CompressionName(list.compression()),
                list.tile_size().x, list.tile_size().y, list.permuted() ? "yes" : "no",
                static_cast<unsigned>(list.background()), list.first_layer_opaque() ? "yes" : "no");
  }
  for (int i = 0; i < list.Count(); ++i) {
    const TWispFrame& f = list.Frame(i);
    std::printf("frame %d \"%s\": %dx%d, %d bits, alpha %s, transparent %d, key %d, time %d ms, "
                "%zu layer(s)\n",
                i, SjisToUtf8(f.name).c_str(), f.Width(), f.Height(), f.BitCount(),
                f.HasAlpha() ? "yes" : "no", f.transparent, f.key_color, f.display_time,
                f.layers.size());
    for (size_t l = 0; l < f.layers.size(); ++l) {
      const TWispLayer& layer = f.layers[l];
      std::printf(
          "    layer %zu \"%s\": %s, opacity %d, transparent %d, mask over key %s, alpha %s\n", l,
          SjisToUtf8(layer.name).c_str(), layer.visible ? "visible" : "hidden", layer.opacity,
          layer.transparent, layer.mask_over_key ? "yes" : "no",
          layer.picture.has_alpha ? "yes" : "no");
    }
    PrintRegions("visible", f.visible_regions);
    PrintRegions("opaque", f.opaque_regions);
  }
  return 0;
}

// OUT for a single picture; OUT's stem + "_<frame>" (+ "_<layer>") otherwise.
std::string OutputName(const std::string& out, int count, int frame, int layer) {
  std::string stem = out.ends_with(".png") ? out.substr(0, out.size() - 4) : out;
  if (count == 1 && layer < 0)
    return stem + ".png";
  std::string name = stem + "_" + std::to_string(frame);
  if (layer >= 0)
    name += "_" + std::to_string(layer);
  return name + ".png";
}

int ToPng(const Options& o) {
  if (o.operands.size() != 2)
    return ImageUsage();
  TWispFrameList list(o.code);
  Load(list, o.operands[0]);
  const std::string& out = o.operands[1];
  for (int i = 0; i < list.Count(); ++i) {
    const TWispFrame& f = list.Frame(i);
    WriteFile(OutputName(out, list.Count(), i, -1), EncodePictureAsPng(f.picture, f.transparent));
    if (!o.layers)
      continue;
    for (size_t l = 0; l < f.layers.size(); ++l) {
      const TWispLayer& layer = f.layers[l];
      WriteFile(OutputName(out, list.Count(), i, static_cast<int>(l)),
                EncodePictureAsPng(layer.picture, layer.transparent));
    }
  }
  return 0;
}

// JPEG planes need truecolour: palette pictures are widened to 24 bits.
void WidenToTrueColour(TWispFrame& f) {
  if (f.BitCount() >= 24)
    return;
  const TWispBitmap& narrow = f.picture.color;
  TWispBitmap wide;
  wide.SetSize(f.Width(), f.Height(), 24);
  for (int32_t y = 0; y < f.Height(); ++y) {
    for (int32_t x = 0; x < f.Width(); ++x) {
      wide.SetRaw(x, y, wide.ColorToRaw(narrow.RawToColor(narrow.GetRaw(x, y))));
    }
  }
  const int32_t key = f.key_color;
  f.picture.color = std::move(wide);
  f.SetTransparent(key < 0 ? -1 : static_cast<int32_t>(f.picture.color.ColorToRaw(key)));
}

int ToWsp(const Options& o) {
  if (o.operands.empty() || o.out.empty())
    return ImageUsage();
  TWispFrameList list(o.code);
  for (const std::string& in : o.operands) {
    TWispFrameList picture;
    Load(picture, in);
    for (int i = 0; i < picture.Count(); ++i) {
      TWispFrame f = std::move(picture.Frame(i));
      f.layers.clear();
      if (o.jpeg_quality > 0)
        WidenToTrueColour(f);
      list.AddFrame(std::move(f));
    }
  }
  WispWriteOptions options;
  options.compression = o.jpeg_quality > 0 ? 2 : 0;
  options.jpeg_quality = o.jpeg_quality > 0 ? o.jpeg_quality : 70;
  options.permuted = o.has_code;
  list.SaveToFile(o.out, options);
  return 0;
}

// A layered file keeps every frame with its display time; a PNG name takes one file a frame.
int Draw(const Options& o) {
  if (o.operands.size() != 1 || o.out.empty())
    return ImageUsage();
  TMemoryStream file;
  file.LoadFromFile(o.operands[0]);
  const std::span<const uint8_t> bytes = file.Bytes();
  std::vector<TWispFrame> frames =
      DrawPictures(std::string(bytes.begin(), bytes.end()), o.operands[0]);
  if (o.out.ends_with(".png")) {
    const int count = static_cast<int>(frames.size());
    for (int i = 0; i < count; ++i) {
      const TWispFrame& f = frames[static_cast<size_t>(i)];
      WriteFile(OutputName(o.out, count, i, -1), EncodePictureAsPng(f.picture, f.transparent));
    }
    return 0;
  }
  TWispFrameList list(o.code);
  for (TWispFrame& f : frames)
    list.AddFrame(std::move(f));
  list.SaveToFile(o.out);
  return 0;
}

// The areas of a map image, from a description written in UTF-8; the map stores Shift-JIS names.
int Map(const Options& o) {
  if (o.operands.size() != 1 || o.out.empty())
    return ImageUsage();
  TMemoryStream file;
  file.LoadFromFile(o.operands[0]);
  const std::span<const uint8_t> bytes = file.Bytes();
  const std::vector<uint8_t> map = WriteMapFile(
      ParseMapText(Utf8ToSjis(std::string(bytes.begin(), bytes.end())), o.operands[0]));
  WriteFile(o.out, map);
  return 0;
}

} // namespace

int Tool_image(const ToolArgs& args) {
  if (args.empty())
    return ImageUsage();
  Options o;
  if (!Parse(args, o))
    return ImageUsage();
  if (args[0] == "info")
    return Info(o);
  if (args[0] == "topng")
    return ToPng(o);
  if (args[0] == "towsp")
    return ToWsp(o);
  if (args[0] == "draw")
    return Draw(o);
  if (args[0] == "map")
    return Map(o);
  return ImageUsage();
}
