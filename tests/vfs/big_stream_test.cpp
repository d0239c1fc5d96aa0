// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <thread>

#include "vfs/big_stream.h"
#include "vfs/range_stream.h"
#include "vfs/vfs_fixtures.h"

namespace nova {
namespace {

using test::Bytes;

void WriteVolumes(const std::string& path, const Bytes& data, int64_t volume_size) {
  TZpBigFileStream out(path, TBigFileMode::fmCreate, volume_size);
  // Uneven chunks so that writes straddle volume boundaries.
  for (size_t done = 0; done < data.size();) {
    size_t n = std::min<size_t>(7, data.size() - done);
    ASSERT_EQ(out.Write(data.data() + done, static_cast<int64_t>(n)), static_cast<int64_t>(n));
    done += n;
  }
}

TEST(BigFileStream, SplitsIntoVolumesAndReadsThemAsOne) {
  test::ScratchDir dir;
  const std::string path = dir.path() + "game.dat";
  const int64_t volume = 100;
  const Bytes data = test::NoiseBytes(2 * volume + 1);
  WriteVolumes(path, data, volume);
  EXPECT_EQ(test::ReadFile(path).size(), 100u);
  EXPECT_EQ(test::ReadFile(dir.path() + "game.001").size(), 100u);
  EXPECT_EQ(test::ReadFile(dir.path() + "game.002").size(), 1u);

  TZpBigFileStream in(path, TBigFileMode::fmOpenRead, volume);
  EXPECT_EQ(in.VolumeCount(), 3);
  EXPECT_EQ(in.GetSize(), 201);
  Bytes back(data.size());
  in.SetPosition(95);
  EXPECT_EQ(in.Read(back.data() + 95, 106), 106);
  in.SetPosition(0);
  EXPECT_EQ(in.Read(back.data(), 95), 95);
  EXPECT_EQ(back, data);
  in.SetPosition(201);
  EXPECT_EQ(in.Read(back.data(), 10), 0);

  // Creating again deletes every old volume first.
  WriteVolumes(path, test::NoiseBytes(50), volume);
  EXPECT_FALSE(test::FileExists(dir.path() + "game.001"));
  EXPECT_FALSE(test::FileExists(dir.path() + "game.002"));
}

TEST(BigFileStream, VolumeNames) {
  EXPECT_EQ(TZpBigFileStream::VolumeName("/t/game.dat", 1), "/t/game.001");
  EXPECT_EQ(TZpBigFileStream::VolumeName("/t/save", 12), "/t/save.012");
  EXPECT_EQ(TZpBigFileStream::VolumeName("/t.d/save", 3), "/t.d/save.003");
}

// The full-size case: 0x40000001 bytes give volume 0 of 0x40000000 bytes and volume 1 of 1 byte.
// Writes 1 GiB, so it runs only with --gtest_also_run_disabled_tests.
TEST(BigFileStream, DISABLED_FullSizeVolumes) {
  test::ScratchDir dir;
  const std::string path = dir.path() + "big.dat";
  const Bytes chunk = test::NoiseBytes(1 << 20);
  {
    TZpBigFileStream out(path, TBigFileMode::fmCreate);
    for (int i = 0; i < 1024; ++i)
      out.Write(chunk.data(), static_cast<int64_t>(chunk.size()));
    uint8_t last = 0x5A;
    out.Write(&last, 1);
  }
  EXPECT_EQ(test::ReadFile(dir.path() + "big.001"), Bytes{0x5A});
  TZpBigFileStream in(path, TBigFileMode::fmOpenRead);
  EXPECT_EQ(in.GetSize(), 0x40000001);
  Bytes tail(4);
  in.SetPosition(0x40000000 - 3);
  ASSERT_EQ(in.Read(tail.data(), 4), 4);
  EXPECT_EQ(tail, (Bytes{chunk[chunk.size() - 3], chunk[chunk.size() - 2], chunk[chunk.size() - 1],
                         0x5A}));
}

TEST(BuffBigStream, GivesBackUnconsumedBytesWhenFreed) {
  TZpBigMemoryStream m;
  const Bytes data = test::NoiseBytes(300000);
  m.Write(data.data(), static_cast<int64_t>(data.size()));
  m.SetPosition(10);
  {
    TZpBuffBigStream buffered(m);
    uint8_t b[3];
    ASSERT_EQ(buffered.Read(b, 3), 3);
    EXPECT_EQ(b[0], data[10]);
    EXPECT_EQ(buffered.GetPosition(), 13);
  }
  EXPECT_EQ(m.GetPosition(), 13);
}

TEST(BigStream, CopyWithCountZeroCopiesTheWholeSource) {
  TZpBigMemoryStream src, dst;
  const Bytes data = test::NoiseBytes(5000);
  src.Write(data.data(), static_cast<int64_t>(data.size()));
  src.SetPosition(4000);
  EXPECT_EQ(dst.CopyFrom(src, 0), 5000);
  EXPECT_EQ(Bytes(dst.Memory().Bytes().begin(), dst.Memory().Bytes().end()), data);
}

struct RangeCase {
  const char* label;
  int64_t start, size; // window; size 0 reaches the end
  int64_t seek;        // from the window start
  int64_t want;
  int64_t expect_position; // after the seek (clamped)
  int64_t expect_read;
};

class RangeReads : public testing::TestWithParam<RangeCase> {};

TEST_P(RangeReads, AreCutAtTheWindow) {
  const RangeCase c = GetParam();
  test::ScratchDir dir;
  const Bytes data = test::NoiseBytes(1000);
  const std::string path = dir.Write("media.ogg", data);
  TFileRangeStream range(path, c.start, c.size);
  EXPECT_EQ(range.Seek(c.seek, TSeekOrigin::soBeginning), c.expect_position);
  Bytes got(static_cast<size_t>(c.want));
  ASSERT_EQ(range.Read(got.data(), c.want), c.expect_read);
  const auto from = data.begin() + c.start + c.expect_position;
  EXPECT_TRUE(std::equal(from, from + c.expect_read, got.begin()));
  EXPECT_EQ(range.Write(got.data(), 1), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, RangeReads,
    testing::Values(RangeCase{"inside", 100, 200, 10, 50, 10, 50},
                    RangeCase{"passing the end", 100, 200, 150, 100, 150, 50},
                    RangeCase{"at the end", 100, 200, 200, 10, 200, 0},
                    RangeCase{"seek past the end", 100, 200, 500, 10, 200, 0},
                    RangeCase{"seek before the start", 100, 200, -5, 10, 0, 10},
                    RangeCase{"size 0 reaches the end", 900, 0, 0, 500, 0, 100}),
    [](const auto& info) {
      std::string s = info.param.label;
      for (char& ch : s)
        ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
      return s;
    });

TEST(RangeStream, SeeksFromEndAndCurrent) {
  test::ScratchDir dir;
  TFileRangeStream range(dir.Write("a.wav", test::NoiseBytes(1000)), 10, 100);
  EXPECT_EQ(range.Seek(-10, TSeekOrigin::soEnd), 90);
  EXPECT_EQ(range.Seek(5, TSeekOrigin::soCurrent), 95);
  EXPECT_EQ(range.Seek(50, TSeekOrigin::soCurrent), 100);
  EXPECT_EQ(range.Size(), 100);
}

TEST(RangeStream, ThreadsReadingInTurnSeeConsistentWindows) {
  test::ScratchDir dir;
  const Bytes data = test::NoiseBytes(64 * 1024);
  TFileRangeStream range(dir.Write("b.ogg", data), 0, 0);
  auto reader = [&](int64_t at) {
    for (int i = 0; i < 200; ++i) {
      uint8_t b = 0;
      // Seek and read are each atomic; a read always returns bytes of the window.
      range.Seek(at, TSeekOrigin::soBeginning);
      EXPECT_EQ(range.Read(&b, 1), 1);
    }
  };
  std::thread a(reader, 100), b(reader, 50000);
  a.join();
  b.join();
}

} // namespace
} // namespace nova
