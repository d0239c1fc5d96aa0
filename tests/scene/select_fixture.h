// SPDX-License-Identifier: MIT
// A picture scene whose host reads title files (map files, templates) from the test folder,
// with the variables that receive a choice.
#pragma once
#include <fstream>
#include <iterator>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "expr/param_collection.h"
#include "image_fixture.h"
#include "scene/scene_host.h"

namespace nova::test {

class TFolderHost : public ISceneHost {
public:
  explicit TFolderHost(const std::filesystem::path& dir) : dir_(dir) {}
  std::optional<std::vector<uint8_t>> ReadTitleFile(const std::string& name) override {
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    std::ifstream in(dir_ / path, std::ios::binary);
    if (!in)
      return std::nullopt;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  }
  std::string DefaultCursorFile() override { return {}; }
  void ShowCursor(const TCursorImage*) override {}
  void PointerPosition(int32_t& x, int32_t& y) override { x = y = 0; }

private:
  std::filesystem::path dir_;
};

// The common head and control part of a component in the layout of `version`, named `name`, at
// (left, top), without children (the older layouts lack fields the newer ones add).
inline void WriteControlHead(BinaryWriter& w, int version, const std::string& name, int32_t left,
                             int32_t top) {
  w.String(name);
  w.I32(0); // priority
  if (version > 103)
    w.I32(0); // priority offset
  if (version >= 120)
    w.String(""); // tag
  for (int32_t v : {left, top, 0, 0, 0, 0})
    w.I32(v); // left, top, width, height, anchors
  w.U8(0);    // posZoomed
  if (version >= 130)
    for (int i = 0; i < 4; ++i)
      w.I32(0); // motion and plus
  if (version > 103) {
    for (int i = 0; i < 4; ++i)
      w.I32(0); // clip
    w.U8(0);    // aniPaused
  }
  w.U8(1);  // visible
  w.I32(0); // colour
  for (int32_t v : {0, 0, 1, 1})
    w.I32(v);    // reserved rectangle
  w.U8(IM_NONE); // ignoreMouse
  w.String("");  // cursor
  const int handlers = version > 101 ? 9 : 8;
  for (int i = 0; i < handlers; ++i)
    w.String("");
  if (version > 117) {
    w.U8(1); // handleKey
    for (int i = 0; i < 5; ++i)
      w.String("");
  }
  w.I32(0); // children
}

class SelectScene : public ImageScene {
protected:
  void SetUp() override {
    ImageScene::SetUp();
    host_ = std::make_unique<TFolderHost>(dir_);
    list_ = std::make_unique<TNovaBaseList>(kW, kH, host_.get());
    list_->SetScreenSurface(&screen_);
    list_->SetImageServices({&cache_, &vars_});
    vars_.sel_str = "none";
    vars_.sel_index = 99;
  }
  void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories((dir_ / name).parent_path());
    std::ofstream(dir_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
  }
  // The pointer goes to (x, y) and the next input step sees it.
  void PointAt(int32_t x, int32_t y) {
    List().SetPointer(x, y);
    Frame(List());
  }
  void Click(int32_t x, int32_t y) {
    List().SetPointer(x, y);
    List().SetButtonHeld(false, true);
    List().PressButton(false);
    Frame(List());
    List().SetButtonHeld(false, false);
    Frame(List());
  }
  void Key(int code) {
    List().SetKeyState(code, true);
    List().SetKeyClicked(code);
    Frame(List());
    List().SetKeyState(code, false);
  }
  std::vector<uint8_t> SaveOf(const TNovaObject& obj) {
    BinaryWriter w;
    obj.Save(w);
    return w.Take();
  }
  // A new component of the kind loaded from `bytes` at `version`, placed on the front layer.
  template <class T> T* Reload(const std::vector<uint8_t>& bytes, int version = 143) {
    auto* obj = CreateComponent<T>(list_.get());
    obj->SetParent(List().Front());
    BinaryReader r(bytes, "save.dat GAMESAVEDATA1");
    obj->Load(r, version);
    return obj;
  }

  TParamCollection vars_;
  std::unique_ptr<TFolderHost> host_;
};

} // namespace nova::test
