// SPDX-License-Identifier: MIT
#include "image_fixture.h"
#include "mes_fixture.h"
#include "scene/scene_host.h"

namespace nova::test {
namespace {

// Title files as the shell would serve them: only the picture that was written.
struct TPictureHost : ISceneHost {
  std::filesystem::path dir;
  std::optional<std::vector<uint8_t>> ReadTitleFile(const std::string& name) override {
    std::ifstream in(dir / name, std::ios::binary);
    if (!in)
      return std::nullopt;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  }
  std::string DefaultCursorFile() override { return {}; }
  void ShowCursor(const TCursorImage*) override {}
  void PointerPosition(int32_t& x, int32_t& y) override { x = y = 0; }
};

class MesImages : public ImageScene {
protected:
  void SetUp() override {
    ImageScene::SetUp();
    host.dir = dir_;
    list_ = std::make_unique<TNovaBaseList>(kW, kH, &host);
    list_->SetScreenSurface(&screen_);
    list_->SetImageServices({&cache_, nullptr});
  }
  TPictureHost host;
};

TEST_F(MesImages, InlinePicturesTakeTheirSizeAndDrawWithTheText) {
  WriteWisp("pic.wsp", [] {
    std::vector<TWispFrame> frames;
    frames.push_back(SolidFrame(12, 14, 0xFF0000, 0, false));
    return frames;
  }());
  TNovaMes* box = NewMes(*list_, "m", 100, 40);
  box->SetBounds(10, 10, 100, 40);
  box->SetProp(PR_TEXTDELAY, TPropValue::Int(0));
  box->SetProp(PR_TEXT, TPropValue::Str("<IMG SRC=\"pic.wsp\"><IMG SRC=\"missing.wsp\">"));
  ASSERT_EQ(box->PageCount(), 1);
  const TWdRow& row = *box->CurrentPage()->rows[0];
  ASSERT_EQ(row.glyphs.size(), 2u);
  EXPECT_EQ(row.glyphs[0]->width, 12);
  EXPECT_EQ(row.glyphs[0]->height, 14);
  EXPECT_EQ(row.glyphs[1]->width, 0) << "a missing picture is 0 x 0";
  screen_.Clear(0);
  for (int i = 0; i < 6; ++i)
    Frame(*list_);
  list_->DrawStep();
  EXPECT_EQ(At(10, 10), Rgb(255, 0, 0));
  EXPECT_EQ(At(21, 23), Rgb(255, 0, 0));
  EXPECT_EQ(At(22, 10), 0u);
}

// A picture of several frames runs by the display times of its frames once it shows; the
// last frame's time leads back to the first.
TEST_F(MesImages, InlinePicturesOfSeveralFramesAnimate) {
  WriteWisp("anim.wsp", [] {
    std::vector<TWispFrame> frames;
    frames.push_back(SolidFrame(6, 6, 0xFF0000, 100, false));
    frames.push_back(SolidFrame(6, 6, 0x0000FF, 50, false));
    return frames;
  }());
  TNovaMes* box = NewMes(*list_, "m", 100, 40);
  box->SetBounds(10, 10, 100, 40);
  box->SetProp(PR_TEXTDELAY, TPropValue::Int(0));
  box->SetProp(PR_TEXT, TPropValue::Str("<IMG SRC=\"anim.wsp\">"));
  ASSERT_EQ(box->PageCount(), 1);
  const auto* img = static_cast<const TWdImg*>(box->CurrentPage()->rows[0]->glyphs[0]);
  EXPECT_EQ(img->frame_times, (std::vector<int>{100, 50}));
  screen_.Clear(0);
  std::string shown;
  for (int i = 0; i < 16; ++i) {
    Frame(*list_, 20);
    list_->DrawStep();
    const uint32_t c = At(12, 12);
    shown += c == Rgb(255, 0, 0) ? 'R' : c == Rgb(0, 0, 255) ? 'B' : '.';
  }
  // In 20 ms frames: the second frame shows for 50 ms, the first again for 100 ms.
  const size_t blue = shown.find('B');
  ASSERT_NE(blue, std::string::npos) << shown;
  EXPECT_EQ(shown.substr(blue, 9), "BBBRRRRRB") << shown;
}

} // namespace
} // namespace nova::test
