// SPDX-License-Identifier: MIT
#include "graphics/wisp_frame_list.h"

#include "base/nova_error.h"
#include "graphics/bmp_picture.h"
#include "graphics/png_picture.h"
#include "graphics/private/graphics_texts.h"
#include "vfs/stream.h"

namespace nova {

namespace {

// The lower-cased extension with its dot; title names use '\', file-system paths '/'.
std::string LowerExtension(const std::string& name) {
  const size_t slash = name.find_last_of("\\/");
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return "";
  std::string ext = name.substr(dot);
  for (char& c : ext) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return ext;
}

} // namespace

bool TWispFrameList::LoadFromMemory(std::span<const uint8_t> data, const std::string& name,
                                    WispFrames frames) {
  const std::string ext = LowerExtension(name);
  if (ext == ".wsp") {
    LoadFromStream(data, name, frames);
    return true;
  }
  if (ext != ".png" && ext != ".bmp" && ext != ".dib")
    return false;
  Clear();
  AddFrame(ext == ".png" ? DecodePngFrame(data, name, limits_)
                         : DecodeBmpFrame(data, name, limits_));
  return true;
}

bool TWispFrameList::LoadFromFile(const std::string& path, WispFrames frames) {
  TMemoryStream data;
  data.LoadFromFile(path);
  return LoadFromMemory(data.Bytes(), path, frames);
}

void TWispFrameList::SaveToFile(const std::string& path, const WispWriteOptions& options) const {
  const std::vector<uint8_t> bytes = SaveToBytes(options);
  TMemoryStream out;
  out.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  out.SaveToFile(path);
}

TWispFrame& TWispFrameList::Frame(int index) {
  if (index < 0 || index >= Count())
    throw ENovaError(GraphicsText(kTextFrameListGetFrame));
  return frames_[static_cast<size_t>(index)];
}

const TWispFrame& TWispFrameList::Frame(int index) const {
  return const_cast<TWispFrameList*>(this)->Frame(index);
}

void TWispFrameList::MakeMasks() {
  for (TWispFrame& f : frames_)
    f.MakeMask();
}

void TWispFrameList::Clear() {
  frames_.clear();
  version_ = 0;
  background_ = 0;
  first_layer_opaque_ = false;
  compression_ = 0;
  tile_size_ = {};
  permuted_ = false;
}

} // namespace nova
