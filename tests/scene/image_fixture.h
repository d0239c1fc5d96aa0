// SPDX-License-Identifier: MIT
// A scene whose pictures come from layered images written into a temporary title folder.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "graphics/dibx.h"
#include "graphics/image_cache.h"
#include "graphics/wisp_frame_list.h"
#include "scene/kinds/custom_images.h"
#include "scene_fixture.h"
#include "vfs/vr_file_manager.h"

namespace nova::test {

constexpr uint32_t Rgb(int r, int g, int b) {
  return static_cast<uint32_t>(r | (g << 8) | (b << 16));
}

// A size × size frame of one colour (raw 0xRRGGBB) shown for `ms`; with `disc`, an alpha plane
// that is opaque inside the inscribed circle and clear outside.
inline TWispFrame SolidFrame(int size_x, int size_y, uint32_t rrggbb, int ms, bool disc) {
  TWispFrame f;
  f.picture.color.SetSize(size_x, size_y, 24);
  f.picture.color.Fill(rrggbb);
  f.display_time = ms;
  if (disc) {
    f.picture.alpha.SetSize(size_x, size_y, 8);
    f.picture.has_alpha = true;
    const double cx = (size_x - 1) / 2.0, cy = (size_y - 1) / 2.0,
                 r = std::min(size_x, size_y) / 2.0;
    for (int y = 0; y < size_y; ++y)
      for (int x = 0; x < size_x; ++x)
        f.picture.alpha.Row(y)[x] = (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r ? 255 : 0;
  }
  return f;
}

class ImageScene : public ::testing::Test {
protected:
  static constexpr int kW = 160, kH = 120;

  void SetUp() override {
    ResetRunState();
    dir_ = std::filesystem::temp_directory_path() /
           ("image_scene_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(dir_);
    files_.SetCdromRoots({});
    files_.SetBaseFolder(dir_.string());
    list_ = std::make_unique<TNovaBaseList>(kW, kH);
    list_->SetImageServices({&cache_, nullptr});
    list_->SetScreenSurface(&screen_);
  }
  void TearDown() override {
    list_.reset();
    std::filesystem::remove_all(dir_);
  }

  void WriteWisp(const std::string& name, std::vector<TWispFrame> frames) {
    TWispFrameList list;
    for (auto& f : frames)
      list.AddFrame(std::move(f));
    const std::vector<uint8_t> bytes = list.SaveToBytes();
    std::ofstream(dir_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
  }

  template <class T = TNovaImages>
  T* NewImage(const std::string& name, const std::string& source, int x, int y) {
    auto* image = CreateComponent<T>(list_.get());
    image->SetName(name);
    image->SetParent(list_->Front());
    image->SetProp(PR_SOURCE, TPropValue::Str(source));
    image->SetLeft(x);
    image->SetTop(y);
    return image;
  }

  uint32_t At(int x, int y) { return screen_.PixelToColor(screen_.GetPixel(x, y)); }

  TNovaBaseList& List() { return *list_; }

  std::filesystem::path dir_;
  TVrFileManager files_;
  TWispCollection cache_{files_, 0};
  TDIBX screen_{kW, kH, 32};
  std::unique_ptr<TNovaBaseList> list_;
};

} // namespace nova::test
