// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "graphics/image_cache.h"
#include "graphics/png_picture.h"
#include "graphics/wisp_frame_list.h"
#include "vfs/vr_file_manager.h"

using namespace nova;
namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// A 4 × 3 frame: background 0x000001 (24-bit raw) with one pixel 0x102030 at (2, 1).
TWispFrame Cell(int32_t display_time, bool alpha) {
  TWispFrame f;
  f.picture.color.SetSize(4, 3, 24);
  f.picture.color.Fill(1);
  f.picture.color.SetRaw(2, 1, 0x102030);
  f.display_time = display_time;
  if (alpha) {
    f.picture.alpha.SetSize(4, 3, 8);
    f.picture.has_alpha = true;
    f.picture.alpha.Row(1)[2] = 200;
  } else {
    f.SetTransparent(1);
  }
  return f;
}

class ImageCache : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("image_cache_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir_ / "cg");
    TWispFrameList anim;
    anim.AddFrame(Cell(0, false));
    anim.AddFrame(Cell(50, true));
    Write(dir_ / "cg" / "Anim.wsp", anim.SaveToBytes());
    TWispFrame keyed = Cell(100, false);
    Write(dir_ / "cg" / "key.png", EncodePictureAsPng(keyed.picture, keyed.transparent));
    Write(dir_ / "cg" / "broken.wsp", {'W', 'i', 's', 'p', '1', '0', '6', 99});
    files_.SetCdromRoots({});
    files_.SetBaseFolder(dir_.string());
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
  TVrFileManager files_;
  int screen_bits_ = 32;
  TWispCollection cache_{files_, 0, [this] { return screen_bits_; }};
};

int user_a, user_b;

} // namespace

TEST_F(ImageCache, KeysShareItemsByNameAndOptions) {
  TWispItem* plain = cache_.Get(&user_a, "cg\\anim.wsp");
  TWispItem* again = cache_.Get(&user_b, "CG\\ANIM.WSP");
  TWispItem* both = cache_.Get(&user_a, "cg\\anim.wsp", kWispTrim | kWispMask);
  cache_.Get(&user_a, "cg\\anim.wsp");
  EXPECT_EQ(plain, again);
  EXPECT_NE(plain, both);
  EXPECT_EQ(both->key(), "cg\\anim.wsp?m?t");
  EXPECT_EQ(plain->users().size(), 2u);
  EXPECT_EQ(cache_.Count(), 2);

  ASSERT_EQ(plain->Count(), 2);
  // Display time 0 counts as 1.
  EXPECT_EQ(plain->Frame(0).display_time, 1);
  EXPECT_EQ(plain->total_time(), 51);
  TWispItemFrame& keyed = plain->Frame(0);
  EXPECT_EQ(keyed.surface.BitCount(), 32);
  EXPECT_EQ(keyed.surface.GetPixel(2, 1), 0x102030u);
  EXPECT_EQ(keyed.surface.TransparentColor(), 1);
  EXPECT_EQ(keyed.key_color, 0x010000);
  EXPECT_EQ(keyed.mask, nullptr);
  ASSERT_NE(plain->Frame(1).mask, nullptr);
  EXPECT_EQ(plain->Frame(1).mask->GetPixel(2, 1), 200u);

  // "?t" crops to the content and records where it goes; "?m" gives the keyed frame a mask.
  TWispItemFrame& trimmed = both->Frame(0);
  EXPECT_EQ(trimmed.offset, (WispPoint{2, 1}));
  EXPECT_EQ(trimmed.surface.Width(), 1);
  ASSERT_NE(trimmed.mask, nullptr);
  EXPECT_EQ(trimmed.mask->GetPixel(0, 0), 255u);
}

TEST_F(ImageCache, MissingFilesGiveAnInvisiblePlaceholder) {
  TWispItem* item = cache_.Get(&user_a, "cg\\none.png", kWispMask);
  ASSERT_EQ(item->Count(), 1);
  TWispItemFrame& f = item->Frame(0);
  EXPECT_EQ(f.surface.Width(), 8);
  EXPECT_EQ(f.surface.GetPixel(7, 7), 0u);
  EXPECT_EQ(f.surface.TransparentColor(), 0);
  ASSERT_NE(f.mask, nullptr);
  EXPECT_NE(f.mask->BitCount(), 8);

  try {
    cache_.Get(&user_a, "cg\\broken.wsp");
    ADD_FAILURE() << "loaded";
  } catch (const ENovaError& e) {
    EXPECT_NE(std::string(e.what()).find("broken.wsp"), std::string::npos);
  }
  EXPECT_EQ(cache_.Count(), 1);
}

TEST_F(ImageCache, ReleaseAndPurge) {
  TWispItem* item = cache_.Get(&user_a, "cg\\key.png");
  cache_.Get(&user_b, "cg\\key.png");
  cache_.Release(&user_a, item);
  EXPECT_EQ(cache_.Count(), 1);
  cache_.Release(&user_b, item);
  EXPECT_EQ(cache_.Count(), 0);

  item = cache_.Get(&user_a, "cg\\key.png", kWispMask);
  cache_.Release(&user_a, item, WispRelease::kKeepIdle);
  TWispItem* used = cache_.Get(&user_b, "cg\\key.png");
  EXPECT_EQ(cache_.Count(), 2);
  // Only idle items go; one taken again by Get is no longer idle.
  cache_.Purge("CG\\KEY.PNG");
  EXPECT_EQ(cache_.Count(), 1);
  EXPECT_EQ(cache_.Get(&user_b, "cg\\key.png"), used);
}

TEST_F(ImageCache, ReloadFollowsTheScreenAndTheDitherFlag) {
  TWispItem* item = cache_.Get(&user_a, "cg\\anim.wsp");
  screen_bits_ = 16;
  // Without recreation the surfaces keep their format.
  cache_.ReloadAll(false);
  EXPECT_EQ(item->Frame(1).surface.BitCount(), 32);
  cache_.ReloadAll(true);
  EXPECT_EQ(item->Frame(0).surface.BitCount(), 16);
  EXPECT_EQ(item->Frame(1).surface.BitCount(), 16);
  // Raw 0x102030 (red 0x10, green 0x20, blue 0x30) in 5-6-5.
  EXPECT_EQ(item->Frame(0).surface.GetPixel(2, 1),
            (0x10u >> 3 << 11) | (0x20u >> 2 << 5) | (0x30u >> 3));
  EXPECT_EQ(item->Frame(0).surface.TransparentColor(),
            item->Frame(0).surface.ColorToPixel(0x010000));

  BinaryWriter w;
  cache_.SetDither(true);
  cache_.SaveFlag(w);
  EXPECT_EQ(w.data(), (std::vector<uint8_t>{1}));
  std::vector<uint8_t> off = {0};
  BinaryReader old_save(off, "save");
  cache_.LoadFlag(old_save, 100);
  EXPECT_TRUE(cache_.dither());
  EXPECT_EQ(old_save.position(), 0u);
  BinaryReader new_save(off, "save");
  cache_.LoadFlag(new_save, 101);
  EXPECT_FALSE(cache_.dither());
}
