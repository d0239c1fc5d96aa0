// SPDX-License-Identifier: MIT
#include "scene/kinds/prev_template.h"

#include <cstdio>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/nova_error_english.h"
#include "base/sjis.h"

namespace nova {
namespace {

constexpr char kMagic[] = "NovaPrevMenu";
constexpr size_t kMagicBytes = 12;
constexpr int kFirstVersion = 100, kLastVersion = 106;
// Smallest button record: position, picture 0, mask byte, name, pictures 1-3 and 7-9, overlay
// position and cursor.
constexpr size_t kMinButtonBytes = 8 + 4 + 1 + 4 + 3 * 4 + 3 * 4 + 8 + 4;

const std::string& FormatText() {
  static const std::string text =
      Utf8ToSjis("NovaPreviewMenu:このファイル形式には対応していません");
  return text;
}
const std::string& VersionText() {
  static const std::string text =
      Utf8ToSjis("NovaPreviewMenu:このバージョンのファイル形式には対応していません");
  return text;
}

// The folder part of a title file name, with its trailing "\" ("" without one).
std::string FolderOf(const std::string& file) {
  size_t end = 0;
  for (size_t i = 0; i < file.size(); i += CharBytes(file, i))
    if (file[i] == '\\')
      end = i + 1;
  return file.substr(0, end);
}

// Drops the last folder of a prefix that ends in "\".
void ClimbOne(std::string& prefix) {
  if (prefix.empty())
    return;
  const std::string inner = prefix.substr(0, prefix.size() - 1);
  prefix = FolderOf(inner);
}

} // namespace

std::string ResolveTemplatePath(const std::string& file, const std::string& name) {
  if (name.size() <= 1 || name[0] == '\\' || name[1] == ':')
    return name;
  std::string prefix = FolderOf(file);
  std::string rest = name;
  while (rest.rfind("..\\", 0) == 0) {
    rest.erase(0, 3);
    ClimbOne(prefix);
  }
  return prefix + rest;
}

TPrevTemplate ReadPrevTemplate(std::span<const uint8_t> bytes, const std::string& file) {
  if (bytes.size() < kMagicBytes ||
      std::string(reinterpret_cast<const char*>(bytes.data()), kMagicBytes) != kMagic)
    throw ENovaErrorWithEnglish(FormatText(), file + " is not a preview-menu template.");
  BinaryReader r(bytes, file);
  r.Skip(kMagicBytes);
  const auto unsupported = [&file](const std::string& version) {
    return ENovaErrorWithEnglish(VersionText(),
                                 "The preview-menu template " + file + " has version " + version +
                                     "; this player reads " + std::to_string(kFirstVersion) +
                                     " to " + std::to_string(kLastVersion) + ".");
  };
  if (r.remaining() < 3)
    throw unsupported("(none)");
  const std::string digits = r.FixedString(3);
  for (char c : digits)
    if (c < '0' || c > '9')
      throw unsupported(digits);
  TPrevTemplate t;
  t.version = std::stoi(digits);
  if (t.version < kFirstVersion || t.version > kLastVersion)
    throw unsupported(digits);
  const int v = t.version;
  t.width = r.I32();
  t.height = r.I32();
  const int32_t count = r.I32();
  r.CheckCount(count, kMinButtonBytes, "button count");
  t.buttons.resize(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    TPrevButton& b = t.buttons[static_cast<size_t>(i)];
    auto path = [&](int k) {
      b.pictures[static_cast<size_t>(k)] = ResolveTemplatePath(file, r.String());
    };
    b.x = r.I32();
    b.y = r.I32();
    path(0);
    b.capture_mask = r.U8();
    b.name = r.String();
    for (int k : {1, 2, 3})
      path(k);
    if (v > 100)
      path(4);
    if (v > 102)
      for (int k : {5, 6})
        path(k);
    for (int k : {7, 8, 9})
      path(k);
    if (v > 101)
      for (int k : {10, 11})
        path(k);
    b.overlay_x = r.I32();
    b.overlay_y = r.I32();
    b.cursor = ResolveTemplatePath(file, r.String());
    if (v > 103) {
      for (int k : {12, 13, 14, 17, 18})
        path(k);
      b.group = r.I32();
    }
    if (v > 104)
      path(15);
    if (v > 105)
      path(16);
  }
  return t;
}

std::vector<uint8_t> WritePrevTemplate(const TPrevTemplate& t) {
  BinaryWriter w;
  w.Bytes(std::string_view(kMagic, kMagicBytes));
  char digits[8];
  std::snprintf(digits, sizeof digits, "%03d", t.version % 1000);
  w.Bytes(std::string_view(digits, 3));
  const int v = t.version;
  w.I32(t.width);
  w.I32(t.height);
  w.I32(static_cast<int32_t>(t.buttons.size()));
  for (const TPrevButton& b : t.buttons) {
    auto path = [&](int k) { w.String(b.pictures[static_cast<size_t>(k)]); };
    w.I32(b.x);
    w.I32(b.y);
    path(0);
    w.U8(b.capture_mask);
    w.String(b.name);
    for (int k : {1, 2, 3})
      path(k);
    if (v > 100)
      path(4);
    if (v > 102)
      for (int k : {5, 6})
        path(k);
    for (int k : {7, 8, 9})
      path(k);
    if (v > 101)
      for (int k : {10, 11})
        path(k);
    w.I32(b.overlay_x);
    w.I32(b.overlay_y);
    w.String(b.cursor);
    if (v > 103) {
      for (int k : {12, 13, 14, 17, 18})
        path(k);
      w.I32(b.group);
    }
    if (v > 104)
      path(15);
    if (v > 105)
      path(16);
  }
  return w.Take();
}

} // namespace nova
