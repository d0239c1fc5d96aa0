// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <functional>

#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/sjis.h"
#include "vfs/vfs_fixtures.h"
#include "vfs/vr_file_collection.h"

namespace nova {
namespace {

using test::Bytes;

const Bytes kText = test::TextBytes(4000);
const Bytes kMedia = test::NoiseBytes(3000);

Bytes SampleArchive() {
  return test::BuildArchive(102,
                            {{"script\\start.nsb", test::Zlib(kText), 0}, {"bgm.ogg", kMedia, 1}});
}

Bytes AppendWithTrailer(Bytes exe, const Bytes& archive) {
  const uint32_t start = static_cast<uint32_t>(exe.size());
  exe.insert(exe.end(), archive.begin(), archive.end());
  BinaryWriter trailer;
  trailer.U32(start);
  trailer.Bytes(std::string_view("nv"));
  exe.insert(exe.end(), trailer.data().begin(), trailer.data().end());
  return exe;
}

struct FormCase {
  const char* label;
  // Writes the container into the folder and opens it.
  std::function<void(const test::ScratchDir&, TVrFileCollection&)> open;
};

void CheckSample(TVrFileCollection& archive) {
  TMemoryStream out;
  archive.ReadEntry(out, "SCRIPT\\Start.nsb");
  EXPECT_EQ(Bytes(out.Bytes().begin(), out.Bytes().end()), kText);
  archive.ReadEntry(out, "bgm.ogg");
  EXPECT_EQ(Bytes(out.Bytes().begin(), out.Bytes().end()), kMedia);
  // The range over a stored entry gives its bytes from the container's own file or resource.
  auto range = archive.OpenEntryRange(archive.IndexOf("bgm.ogg"));
  Bytes got(kMedia.size() + 10);
  ASSERT_EQ(range->Read(got.data(), static_cast<int64_t>(got.size())),
            static_cast<int64_t>(kMedia.size()));
  got.resize(kMedia.size());
  EXPECT_EQ(got, kMedia);
}

class ContainerForms : public testing::TestWithParam<FormCase> {};

TEST_P(ContainerForms, OpenAndRead) {
  test::ScratchDir dir;
  TVrFileCollection archive;
  GetParam().open(dir, archive);
  ASSERT_EQ(archive.Count(), 3);
  CheckSample(archive);
}

INSTANTIATE_TEST_SUITE_P(
    All, ContainerForms,
    testing::Values(FormCase{"plain",
                             [](const test::ScratchDir& d, TVrFileCollection& a) {
                               a.Open(d.Write("game.dat", SampleArchive()));
                             }},
                    FormCase{"executable_with_trailer",
                             [](const test::ScratchDir& d, TVrFileCollection& a) {
                               a.Open(d.Write("Title.EXE", AppendWithTrailer(test::NoiseBytes(777),
                                                                             SampleArchive())));
                             }},
                    // Renamed, as users do: the trailer is read whatever the name.
                    FormCase{"executable_renamed",
                             [](const test::ScratchDir& d, TVrFileCollection& a) {
                               a.Open(d.Write("my title", AppendWithTrailer(test::NoiseBytes(777),
                                                                            SampleArchive())));
                             }},
                    FormCase{"volumes",
                             [](const test::ScratchDir& d, TVrFileCollection& a) {
                               const Bytes whole = SampleArchive();
                               const std::string path = d.path() + "game.dat";
                               {
                                 TZpBigFileStream out(path, TBigFileMode::fmCreate, 1000);
                                 ASSERT_GT(whole.size(), 2000u);
                                 out.Write(whole.data(), static_cast<int64_t>(whole.size()));
                               }
                               EXPECT_TRUE(test::FileExists(d.path() + "game.002"));
                               a.Open(path, 1000);
                             }},
                    FormCase{"pe_resource",
                             [](const test::ScratchDir& d, TVrFileCollection& a) {
                               a.OpenResource(d.Write("title.exe",
                                                      test::BuildPeWithResource("BINTYPE", "DUMMY",
                                                                                SampleArchive())),
                                              "dummy", "BinType");
                             }}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ContainerForms, SideDirectoryOffsetsAreRelativeToTheDataFile) {
  test::ScratchDir dir;
  const Bytes whole = SampleArchive();
  // Move the data: the data file holds only the entries' bytes at the offsets the directory names.
  Bytes data(whole.size(), 0);
  const size_t directory_end = whole.size() - kMedia.size() - test::Zlib(kText).size();
  std::copy(whole.begin() + static_cast<ptrdiff_t>(directory_end), whole.end(),
            data.begin() + static_cast<ptrdiff_t>(directory_end));
  dir.Write("game.ext",
            Bytes(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(directory_end)));
  TVrFileCollection archive;
  archive.Open(dir.Write("game.dat", data));
  CheckSample(archive);
}

TEST(ContainerForms, ExecutableWithoutTrailerIsNoArchive) {
  test::ScratchDir dir;
  TVrFileCollection archive;
  EXPECT_THROW(archive.Open(dir.Write("player.exe", test::NoiseBytes(100))), ENovaError);
}

TEST(ContainerForms, MissingFileGivesAnEmptyArchiveNamedByIt) {
  TVrFileCollection archive;
  archive.Open("/nonexistent/folder");
  EXPECT_EQ(archive.Count(), 0);
  EXPECT_FALSE(archive.HasDataStream());
  EXPECT_EQ(archive.Folder(), "/nonexistent/folder/");
}

TEST(ContainerForms, ResourceArchiveFailures) {
  test::ScratchDir dir;
  const std::string not_found = Utf8ToSjis("リソースが見つかりません");
  struct Case {
    const char* label;
    Bytes module;
    const char* name;
  } cases[] = {
      {"other resource name", test::BuildPeWithResource("BINTYPE", "OTHER", SampleArchive()),
       "DUMMY"},
      {"empty resource", test::BuildPeWithResource("BINTYPE", "DUMMY", {}), "DUMMY"},
      {"not a PE file", test::NoiseBytes(4096), "DUMMY"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TVrFileCollection archive;
    try {
      archive.OpenResource(dir.Write("m.exe", c.module), c.name, "BINTYPE");
      ADD_FAILURE() << "no error";
    } catch (const ENovaError& e) {
      EXPECT_EQ(e.what(), not_found);
    }
  }
  // A module that cannot be read at all leaves the archive empty.
  TVrFileCollection missing;
  missing.OpenResource(dir.path() + "absent.dll", "DUMMY", "BINTYPE");
  EXPECT_EQ(missing.Count(), 0);
}

TEST(ContainerForms, TitleResourceCheck) {
  test::ScratchDir dir;
  Bytes marked = SampleArchive();
  marked.push_back('v');
  marked.push_back('f');
  EXPECT_TRUE(
      HasTitleResource(dir.Write("a.exe", test::BuildPeWithResource("BINTYPE", "DUMMY", marked))));
  EXPECT_FALSE(HasTitleResource(
      dir.Write("b.exe", test::BuildPeWithResource("BINTYPE", "DUMMY", SampleArchive()))));
  EXPECT_FALSE(
      HasTitleResource(dir.Write("c.exe", test::BuildPeWithResource("RCDATA", "DUMMY", marked))));
  EXPECT_FALSE(HasTitleResource(dir.Write("d.exe", test::NoiseBytes(300))));
  EXPECT_FALSE(HasTitleResource(dir.path() + "missing.exe"));
}

TEST(Collection, ListFolderAndDelete) {
  TVrFileCollection archive;
  for (const char* name : {"a.nft", "b.txt", "sub\\c.txt", "sub\\deeper\\d.txt", "SUB\\e.txt"}) {
    archive.AddMemoryEntry(name);
  }
  std::vector<std::string> root, sub = {"sub\\C.TXT"};
  archive.ListFolder("", root);
  EXPECT_EQ(root, (std::vector<std::string>{"a.nft", "b.txt"}));
  archive.ListFolder("Sub\\", sub);
  EXPECT_EQ(sub, (std::vector<std::string>{"sub\\C.TXT", "SUB\\e.txt"}));
  archive.Delete("B.TXT");
  EXPECT_EQ(archive.IndexOf("b.txt"), -1);
  EXPECT_EQ(archive.IndexOf("sub\\E.txt"), 3);
}

} // namespace
} // namespace nova
