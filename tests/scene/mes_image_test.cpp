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

} // namespace
} // namespace nova::test
