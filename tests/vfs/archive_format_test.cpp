// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "vfs/vfs_fixtures.h"
#include "vfs/vr_file_collection.h"

namespace nova {
namespace {

using test::Bytes;

std::unique_ptr<TZpBigMemoryStream> MemoryOf(const Bytes& bytes) {
  auto m = std::make_unique<TZpBigMemoryStream>();
  m->Memory().WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return m;
}

Bytes WriteToBytes(TVrFileCollection& archive) {
  TZpBigMemoryStream out;
  archive.WriteTo(out);
  return Bytes(out.Memory().Bytes().begin(), out.Memory().Bytes().end());
}

Bytes EntryData(TVrFileCollection& archive, const std::string& name) {
  TMemoryStream out;
  archive.ReadEntry(out, name);
  return Bytes(out.Bytes().begin(), out.Bytes().end());
}

TEST(ArchiveFormat, EmptyArchiveIsEighteenBytes) {
  TVrFileCollection archive;
  Bytes bytes = WriteToBytes(archive);
  // "vf", version 102, count 0, offset[0] = 18 scrambled with the first generator value.
  const int64_t key = static_cast<int32_t>(0x3C9A51E7u);
  const uint64_t scrambled = static_cast<uint64_t>(18 ^ key);
  Bytes expected = {'v', 'f', 102, 0, 0, 0, 0, 0, 0, 0};
  for (int i = 0; i < 8; ++i)
    expected.push_back(static_cast<uint8_t>(scrambled >> (8 * i)));
  EXPECT_EQ(bytes, expected);

  TVrFileCollection back;
  back.OpenStream(MemoryOf(bytes), "empty");
  ASSERT_EQ(back.Count(), 1);
  EXPECT_EQ(back.Entry(0).name, kEofEntryName);
  EXPECT_EQ(back.Entry(0).position, 18);
}

struct VersionCase {
  int version;
  bool has_flags;
};

class ArchiveVersions : public testing::TestWithParam<VersionCase> {};

// Each version's layout, hand-built field by field: names, offsets (32/64-bit, scrambled from 100),
// flag tables from 101, uncompressed-checksum flags from 102.
TEST_P(ArchiveVersions, ReadsLayout) {
  const VersionCase c = GetParam();
  const Bytes text = test::TextBytes(3000);
  const Bytes raw = test::NoiseBytes(500);
  const std::string sjis_name = Utf8ToSjis("画像\\背景.png");
  std::vector<test::RawEntry> entries = {
      {"data\\Text.txt", test::Zlib(text), 0},
      {sjis_name, c.has_flags ? raw : test::Zlib(raw), static_cast<uint8_t>(c.has_flags ? 1 : 0)},
      {"empty.bin", {}, 1},
  };
  TVrFileCollection archive;
  archive.OpenStream(MemoryOf(test::BuildArchive(c.version, entries)), "game.dat");
  EXPECT_EQ(archive.Version(), c.version);
  ASSERT_EQ(archive.Count(), 4);
  EXPECT_EQ(archive.Entry(3).name, kEofEntryName);
  EXPECT_EQ(archive.Entry(3).position, archive.Entry(2).position);
  EXPECT_EQ(EntryData(archive, "DATA\\text.TXT"), text);
  EXPECT_EQ(EntryData(archive, sjis_name), raw);
  EXPECT_TRUE(EntryData(archive, "empty.bin").empty());
  EXPECT_EQ(archive.Entry(1).stored, c.has_flags ? 1 : 0);
  EXPECT_EQ(archive.Entry(1).timestamp, c.has_flags ? 0x5A210001 : 0);
  EXPECT_EQ(archive.Entry(1).checksum, c.has_flags ? 0xC0DE0001u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Layouts, ArchiveVersions,
                         testing::Values(VersionCase{0, false}, VersionCase{100, false},
                                         VersionCase{101, true}, VersionCase{102, true}));

TEST(ArchiveFormat, RoundTripKeepsEveryEntryByteForByte) {
  TVrFileCollection archive;
  const Bytes small = test::TextBytes(10000);
  const Bytes large = test::NoiseBytes(0x500000 + 17); // above 0x4FFFFF: stored
  const Bytes limit = test::TextBytes(0x4FFFFF);       // exactly the limit: compressed
  archive.AddMemoryEntry("a\\small.txt").data->WriteBuffer(small.data(), small.size());
  archive.AddMemoryEntry("large.bin").data->WriteBuffer(large.data(), large.size());
  archive.AddMemoryEntry("limit.bin").data->WriteBuffer(limit.data(), limit.size());
  archive.AddMemoryEntry("zero.bin");
  TVrFile& checked = archive.AddMemoryEntry("checked.txt");
  checked.data->WriteBuffer(small.data(), small.size());
  checked.crc_uncompressed = 1;

  TVrFileCollection back;
  back.OpenStream(MemoryOf(WriteToBytes(archive)), "save.dat");
  ASSERT_EQ(back.Count(), 6);
  EXPECT_EQ(EntryData(back, "a\\small.txt"), small);
  EXPECT_EQ(EntryData(back, "large.bin"), large);
  EXPECT_EQ(EntryData(back, "limit.bin"), limit);
  EXPECT_TRUE(EntryData(back, "zero.bin").empty());
  EXPECT_EQ(back.Entry(back.IndexOf("large.bin")).stored, 1);
  EXPECT_EQ(back.Entry(back.IndexOf("limit.bin")).stored, 0);
  EXPECT_EQ(back.Entry(back.IndexOf("large.bin")).checksum, Crc32(0, large));
  const TVrFile& c = back.Entry(back.IndexOf("checked.txt"));
  EXPECT_EQ(c.crc_uncompressed, 1);
  EXPECT_EQ(c.checksum, Crc32(0, small));

  // Rewriting an archive that was read re-packs its entries from the archive itself.
  TVrFileCollection again;
  again.OpenStream(MemoryOf(WriteToBytes(back)), "rewritten");
  EXPECT_EQ(EntryData(again, "large.bin"), large);
  EXPECT_EQ(EntryData(again, "a\\small.txt"), small);
}

TEST(ArchiveFormat, WriterSkipsTheEofEntry) {
  TVrFileCollection archive;
  archive.AddMemoryEntry(kEofEntryName);
  archive.AddMemoryEntry("x.txt");
  TVrFileCollection back;
  back.OpenStream(MemoryOf(WriteToBytes(archive)), "a");
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.Entry(0).name, "x.txt");
}

TEST(ArchiveFormat, PackingRulesForLooseFiles) {
  test::ScratchDir dir;
  struct Case {
    const char* file;
    Bytes data;
    uint8_t stored;
  } cases[] = {
      {"text.txt", test::TextBytes(20000), 0},
      {"voice.WAV", test::TextBytes(20000), 1}, // media extensions are never compressed
      {"clip.mpeg", test::TextBytes(20000), 1},
      {"noise.txt", test::NoiseBytes(20000), 1}, // compressed form above 9/10 of the size
      {"big.txt", test::TextBytes(0x500000), 1}, // not smaller than 0x500000
      {"just.txt", test::TextBytes(0x4FFFFF), 0},
  };
  TVrFileCollection archive;
  for (const Case& c : cases)
    archive.AddFileEntry(c.file, dir.Write(c.file, c.data));
  TVrFileCollection back;
  back.OpenStream(MemoryOf(WriteToBytes(archive)), "packed");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    int i = back.IndexOf(c.file);
    ASSERT_GE(i, 0);
    EXPECT_EQ(back.Entry(i).stored, c.stored);
    EXPECT_NE(back.Entry(i).timestamp, 0);
    EXPECT_EQ(EntryData(back, c.file), c.data);
  }
}

TEST(ArchiveFormat, FailingEntryReportsItsNameAndRethrows) {
  TVrFileCollection archive;
  archive.AddMemoryEntry("ok.txt");
  archive.AddFileEntry("gone.txt", "/nonexistent/gone.txt");
  std::string reported;
  TZpBigMemoryStream out;
  EXPECT_THROW(archive.WriteTo(out, [&](const std::string& m) { reported = m; }), ENovaError);
  EXPECT_EQ(reported, Utf8ToSjis("エラー:") + "gone.txt");
}

// Damaged archives: each must fail with a message naming the archive (and the entry at fault).
TEST(ArchiveFormat, DamagedArchivesFailClearly) {
  const Bytes good = test::BuildArchive(102, {{"one.txt", test::Zlib(test::TextBytes(100)), 0},
                                              {"two.bin", test::NoiseBytes(50), 1}});
  auto patched = [&](size_t at, std::initializer_list<uint8_t> bytes) {
    Bytes b = good;
    std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<ptrdiff_t>(at));
    return b;
  };
  // Offsets: start after "vf", version, count and names (4+7 and 4+7 bytes).
  const size_t offsets_at = 10 + 11 + 11;
  auto with_offset = [&](int i, int64_t value) {
    uint32_t s = 0;
    int64_t key = 0;
    for (int k = 0; k <= i; ++k)
      key = static_cast<int32_t>(s = s * 5 + 0x3C9A51E7u);
    Bytes b = good;
    uint64_t v = static_cast<uint64_t>(value ^ key);
    for (int k = 0; k < 8; ++k)
      b[offsets_at + 8 * i + k] = static_cast<uint8_t>(v >> (8 * k));
    return b;
  };
  struct Case {
    const char* label;
    Bytes bytes;
    const char* expected;
  } cases[] = {
      {"huge count", patched(6, {0xFF, 0xFF, 0xFF, 0x7F}), "bad entry count"},
      {"negative count", patched(6, {0xFF, 0xFF, 0xFF, 0xFF}), "bad entry count"},
      {"name length past end", patched(10, {0xFF, 0xFF, 0, 0}), "bad name length"},
      {"future version", patched(2, {103, 0, 0, 0}), "unsupported archive version"},
      {"offset past end", with_offset(2, 1 << 20), "two.bin"},
      {"offsets out of order", with_offset(1, 10000), "one.txt"},
      {"truncated tables", Bytes(good.begin(), good.begin() + offsets_at + 40), "truncated"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TVrFileCollection archive;
    try {
      archive.OpenStream(MemoryOf(c.bytes), "broken.dat");
      ADD_FAILURE() << "no error";
    } catch (const ENovaError& e) {
      EXPECT_NE(std::string(e.what()).find("broken.dat"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
    }
  }
}

TEST(ArchiveFormat, EveryTruncationFailsCleanlyOrReadsWhatIsThere) {
  const Bytes good = test::BuildArchive(
      102, {{"a.txt", test::Zlib(test::TextBytes(300)), 0}, {"b.txt", test::NoiseBytes(40), 1}});
  for (size_t n = 0; n < good.size(); ++n) {
    TVrFileCollection archive;
    EXPECT_THROW(archive.OpenStream(MemoryOf(Bytes(good.begin(), good.begin() + n)), "cut"),
                 ENovaError)
        << n;
  }
}

TEST(ArchiveFormat, DamagedZlibNamesTheEntry) {
  Bytes packed = test::Zlib(test::TextBytes(5000));
  packed[packed.size() / 2] ^= 0x55;
  packed[packed.size() / 2 + 1] ^= 0xAA;
  TVrFileCollection archive;
  archive.OpenStream(
      MemoryOf(test::BuildArchive(102, {{"bad.txt", packed, 0}, {"junk.txt", {1, 2, 3}, 0}})),
      "z.dat");
  for (const char* name : {"bad.txt", "junk.txt"}) {
    TMemoryStream out;
    try {
      archive.ReadEntry(out, name);
      // A flipped byte may still inflate; it must not produce more than the original.
      EXPECT_LE(out.Size(), 5000);
    } catch (const ENovaError& e) {
      EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("z.dat"), std::string::npos) << e.what();
    }
  }
}

} // namespace
} // namespace nova
