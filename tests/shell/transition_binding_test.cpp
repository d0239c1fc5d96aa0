// SPDX-License-Identifier: MIT
// The scene's transitions as the player makes them: the command's options reach the wipe, and
// mask pictures come from the title's files through the image cache.
#include <gtest/gtest.h>

#include "graphics/dibx.h"
#include "graphics/image_cache.h"
#include "graphics/wipe_custom.h"
#include "shell/transition_binding.h"
#include "test_files.h"
#include "vfs/vr_file_manager.h"

namespace nova {
namespace {

class TransitionBinding : public ::testing::Test {
protected:
  void SetUp() override {
    // One folder per test: ctest runs the tests of this fixture side by side.
    dir_ = test::TestDir(std::string("transition_binding_") +
                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    // A 2 x 1 mask picture, black then white, repeated over the 4 x 2 screen.
    TDIBX mask(2, 1, 32);
    mask.SetPixel(0, 0, 0x000000);
    mask.SetPixel(1, 0, 0xFFFFFF);
    mask.SaveToFile((dir_ / "mask.bmp").string());
    files_.SetCdromRoots({});
    files_.SetBaseFolder(dir_.string());
    screen_.Clear(0);
    old_.Clear(0x102030);
    new_.Clear(0xA0B0C0);
  }

  // Runs a mask fade to the middle, where white map pixels show new and black ones old.
  std::unique_ptr<ISceneTransition> MaskFade(const TTransitionOptions& options) {
    auto t = factory_(WP_MASKFADE, screen_, old_, new_);
    t->SetDuration(1000);
    t->Start(options);
    t->SetStep(500);
    return t;
  }

  std::filesystem::path dir_;
  TVrFileManager files_;
  TWispCollection images_{files_, 0, [] { return 32; }};
  TTransitionFactory factory_ = MakeTransitionFactory(files_, &images_);
  TDIBX screen_{4, 2, 32}, old_{4, 2, 32}, new_{4, 2, 32};
};

TEST_F(TransitionBinding, UnknownKindsMakeNoTransition) {
  EXPECT_FALSE(factory_(WP_NONE, screen_, old_, new_));
  EXPECT_FALSE(factory_(39, screen_, old_, new_));
  EXPECT_TRUE(factory_(WP_BLOCKRANDOM, screen_, old_, new_));
}

TEST_F(TransitionBinding, MaskPictureComesFromTheTitlesFiles) {
  TTransitionOptions options;
  options.mask_name = "mask.bmp";
  auto t = MaskFade(options);
  const TSceneRect drawn = t->Draw();
  EXPECT_EQ(drawn.Right, 4);
  EXPECT_EQ(drawn.Bottom, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(screen_.GetPixel(x, y), x % 2 ? 0xA0B0C0u : 0x102030u) << x << "," << y;
}

TEST_F(TransitionBinding, ReverseInvertsTheMaskPicture) {
  TTransitionOptions options;
  options.mask_name = "mask.bmp";
  options.reverse = true;
  auto t = MaskFade(options);
  t->Draw();
  EXPECT_EQ(screen_.GetPixel(0, 0), 0xA0B0C0u);
  EXPECT_EQ(screen_.GetPixel(1, 0), 0x102030u);
}

TEST_F(TransitionBinding, MissingMaskPictureGivesAPlainFade) {
  TTransitionOptions options;
  options.mask_name = "absent.bmp";
  auto t = MaskFade(options);
  t->Draw();
  for (int x = 0; x < 4; ++x)
    EXPECT_EQ(screen_.GetPixel(x, 1), 0xA0B0C0u);
}

TEST_F(TransitionBinding, NothingIsDrawnOnceTheTimeIsUp) {
  auto t = factory_(WP_FADE, screen_, old_, new_);
  t->SetDuration(100);
  t->Start({});
  EXPECT_EQ(t->Duration(), 100);
  t->SetStep(100);
  const TSceneRect drawn = t->Draw();
  EXPECT_EQ(drawn.Right - drawn.Left, 0);
  EXPECT_EQ(screen_.GetPixel(0, 0), 0u);
}

} // namespace
} // namespace nova
