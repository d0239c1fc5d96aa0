// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "base/sjis.h"
#include "platform/font_list.h"

namespace nova {
namespace {

const InstalledFace* Find(const std::vector<InstalledFace>& faces, const std::string& utf8) {
  for (const InstalledFace& f : faces)
    if (f.name == Utf8ToSjis(utf8))
      return &f;
  return nullptr;
}

TEST(FontList, WindowsNamesAreListedWhenTheirSubstitutesAre) {
  const auto faces = EnumerateInstalledFaces(BuiltinFaceSubstitutes());
  const struct {
    const char* windows;
    const char* free;
  } cases[] = {{"ＭＳ ゴシック", "IPAGothic"},
               {"ＭＳ 明朝", "IPAMincho"},
               {"ＭＳ Ｐゴシック", "IPAPGothic"},
               {"ＭＳ Ｐ明朝", "IPAPMincho"},
               {"MS UI Gothic", "IPAPGothic"}};
  for (const auto& c : cases) {
    const InstalledFace* w = Find(faces, c.windows);
    const InstalledFace* f = Find(faces, c.free);
    ASSERT_NE(w, nullptr) << c.windows;
    ASSERT_NE(f, nullptr) << c.free;
    EXPECT_EQ(w->file, f->file) << c.windows;
    EXPECT_TRUE(w->substitute);
    EXPECT_EQ(w->charset, 128);
  }
  EXPECT_TRUE(Find(faces, "ＭＳ ゴシック")->fixed_pitch);
  EXPECT_FALSE(Find(faces, "ＭＳ Ｐゴシック")->fixed_pitch);
  EXPECT_TRUE(std::is_sorted(
      faces.begin(), faces.end(),
      [](const InstalledFace& a, const InstalledFace& b) { return a.name < b.name; }));
}

TEST(FontList, UserSubstitutesComeFromASettingsFile) {
  const std::string path = testing::TempDir() + "font-substitutes.conf";
  {
    std::ofstream out(path);
    out << "# title faces\n"
        << "Old Face = IPAMincho\n"
        << "broken line\n"
        << "=IPAGothic\n"
        << "Missing=NoSuchFamily\n";
  }
  std::vector<FaceSubstitute> subs = ReadFaceSubstitutes(path);
  ASSERT_EQ(subs.size(), 2u);
  EXPECT_EQ(subs[0].windows_name, "Old Face");
  EXPECT_EQ(subs[0].free_family, "IPAMincho");
  const auto faces = EnumerateInstalledFaces(subs);
  EXPECT_NE(Find(faces, "Old Face"), nullptr);
  EXPECT_EQ(Find(faces, "Missing"), nullptr); // its substitute is not installed
  EXPECT_TRUE(ReadFaceSubstitutes(path + ".none").empty());
  std::remove(path.c_str());
}

} // namespace
} // namespace nova
