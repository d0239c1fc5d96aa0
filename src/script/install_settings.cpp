// SPDX-License-Identifier: MIT
#include "script/install_settings.h"

#include "base/binary_reader.h"

namespace nova {
namespace {

constexpr size_t kMagicBytes = 5; // "is" and three digits
constexpr char kNewestMagic[] = "is108";

// Three characters as a decimal number; 0 when they are not one.
int32_t VersionDigits(const std::string& s) {
  int32_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9')
      return 0;
    v = v * 10 + (c - '0');
  }
  return v;
}

} // namespace

void TNovaInstallSet::Read(std::span<const uint8_t> bytes, const std::string& file) {
  *this = TNovaInstallSet{};
  BinaryReader r(bytes, file);
  if (r.remaining() >= 2 && bytes[0] == 'i' && bytes[1] == 's') {
    version = VersionDigits(r.FixedString(kMagicBytes).substr(2));
  }
  disk = r.I32();
  title = r.String();
  r.String();
  install_folder = r.String();
  r.String();
  r.U8();
  r.String();
  r.U8();
  int32_t items = r.I32();
  r.String(); // program file name
  r.I32();
  r.Skip(2);
  r.String();
  r.String();
  size_t size_bytes = version > 99 ? 8 : 4;
  r.CheckCount(items, 4 * size_bytes, "install item sizes");
  r.Skip(static_cast<size_t>(items) * 4 * size_bytes);
  r.Skip(4 * size_bytes); // totals
  r.U8();
  if (version > 100)
    r.U8();
  if (version > 101)
    r.StringList();
  if (version > 102)
    fully_installed = r.Bool();
  if (version > 103)
    r.U8();
  if (version > 104)
    r.U8();
  if (version > 105)
    r.StringList();
  if (version > 106)
    r.String(); // setup caption
  if (version > 107) {
    r.String();
    r.String();
  }
}

void TNovaInstallSet::Write(BinaryWriter& w) const {
  w.Bytes(std::string_view(kNewestMagic, kMagicBytes));
  w.I32(disk);
  w.String(title);
  w.String("");
  w.String(install_folder);
  w.String("");
  w.U8(0);
  w.String("");
  w.U8(0);
  w.I32(0);     // items
  w.String(""); // program file name
  w.I32(0);
  w.U8(0);
  w.U8(0);
  w.String("");
  w.String("");
  for (int i = 0; i < 4; ++i)
    w.I64(0); // totals
  w.U8(0);
  w.U8(0);
  w.I32(0); // string list
  w.Bool(fully_installed);
  w.U8(0);
  w.U8(0);
  w.I32(0);     // string list
  w.String(""); // setup caption
  w.String("");
  w.String("");
}

} // namespace nova
