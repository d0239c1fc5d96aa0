// SPDX-License-Identifier: MIT
// Edit fields: where their window is shown, what it tells scripts, and the focus hand-over.
#include <gtest/gtest.h>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "scene_fixture.h"

namespace nova::test {
namespace {

// A window that remembers what its field asked for.
struct WindowLog {
  std::string text;
  bool visible = false, enabled = true, selected = false, focused = false;
  int32_t x = 0, y = 0, w = 0, h = 0;
};

class LoggedWindow : public IEditWindow {
public:
  explicit LoggedWindow(WindowLog& log) : log_(log) {}
  void SetText(const std::string& text) override {
    log_.text = text;
    log_.selected = false;
  }
  std::string Text() const override { return log_.text; }
  void SelectAll() override { log_.selected = true; }
  void SetFont(const std::string&, int32_t, uint8_t, int32_t) override {}
  void SetBackground(int32_t) override {}
  void SetReadOnly(bool) override {}
  void SetEnabled(bool on) override { log_.enabled = on; }
  bool Enabled() const override { return log_.enabled; }
  void SetImeMode(int32_t) override {}
  void SetAlignment(uint8_t) override {}
  void SetBounds(int32_t x, int32_t y, int32_t w, int32_t h) override {
    log_.x = x;
    log_.y = y;
    log_.w = w;
    log_.h = h;
  }
  void SetVisible(bool on) override { log_.visible = on; }
  bool Visible() const override { return log_.visible; }
  void TakeFocus() override { log_.focused = true; }
  bool ImeOpened() const override { return false; }
  void SetImeOpened(bool) override {}

private:
  WindowLog& log_;
};

class EditTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetRunState();
    UseLoggedWindows(list);
  }
  void UseLoggedWindows(TNovaBaseList& scene) {
    scene.SetEditWindowFactory([this](bool, IEditWindowListener&) {
      logs.push_back(std::make_unique<WindowLog>());
      return std::make_unique<LoggedWindow>(*logs.back());
    });
  }
  TNovaEdit* NewEdit(TNovaControl* parent) {
    auto* e = CreateComponent<TNovaEdit>(&list);
    e->SetName("e");
    e->SetParent(parent);
    e->SetBounds(10, 10, 40, 20);
    e->SetProp(PR_VISIBLE, TPropValue::Flag(true));
    return e;
  }
  std::vector<std::unique_ptr<WindowLog>> logs;
  TNovaBaseList list{200, 100};
};

TEST_F(EditTest, StartsHiddenAndShowsOnlyOnTheFrontLayer) {
  auto* e = CreateComponent<TNovaEdit>(&list);
  EXPECT_FALSE(e->Visible()) << "an edit is created hidden";
  EXPECT_TRUE(CreateComponent<TNovaMemo>(&list)->Visible());
  e->FreeLater();
  TNovaEdit* back = NewEdit(list.Back());
  EXPECT_FALSE(logs.back()->visible);
  list.SetFront(1, 0, {}, true, 0, 0);
  RunState().FrameDelta = 16;
  list.UpdateStep();
  EXPECT_TRUE(logs.back()->visible) << "a flip brings its layer to the front";
  EXPECT_EQ(logs.back()->x, 10);
  EXPECT_EQ(logs.back()->w, 40);
  (void)back;
}

TEST_F(EditTest, ACoveringImageHidesTheWindowUntilItMovesAway) {
  NewEdit(list.Front());
  WindowLog& log = *logs.back();
  ASSERT_TRUE(log.visible);
  TNovaBox* cover = NewBox(list, "cover", 25, 15, 10, 10);
  cover->SetPriority(1);
  RunState().FrameDelta = 16;
  list.UpdateStep();
  EXPECT_FALSE(log.visible);
  cover->SetLeft(150);
  list.UpdateStep();
  EXPECT_TRUE(log.visible);
}

TEST_F(EditTest, KeysNotifyWithCodeAndTextAndFocusReleasesGameKeys) {
  TNovaEdit* e = NewEdit(list.Front());
  e->SetProp(PR_ONNOTIFY, TPropValue::Str("typed"));
  e->SetProp(PR_TEXT, TPropValue::Str("abc"));
  EXPECT_TRUE(logs.back()->selected) << "typing replaces a script's text";
  e->WindowKeyDown(13);
  e->WindowKeyDown(13);
  EXPECT_EQ(Drain(list), (std::vector<std::string>{"typed 13 abc", "typed 13 abc"}));
  list.SetKeyState(65, true);
  e->WindowFocused();
  EXPECT_EQ(list.Focus(), e);
  EXPECT_FALSE(list.KeyDown(65));
  EXPECT_TRUE(e->GetProp(PR_HANDLEKEY).f);
}

TEST_F(EditTest, PausedDisablesAndLoadingRestoresTheWindow) {
  TNovaEdit* e = NewEdit(list.Front());
  e->SetProp(PR_PAUSED, TPropValue::Flag(true));
  EXPECT_FALSE(logs.back()->enabled);
  e->SetProp(PR_TEXT, TPropValue::Str("kept"));
  BinaryWriter w;
  e->Save(w);
  const std::vector<uint8_t> bytes = w.Take();
  TNovaBaseList other(200, 100);
  UseLoggedWindows(other);
  auto* copy = CreateComponent<TNovaEdit>(&other);
  copy->SetParent(other.Front());
  BinaryReader r(bytes, "save.dat");
  copy->Load(r, 143);
  EXPECT_EQ(logs.back()->text, "kept");
  EXPECT_FALSE(logs.back()->enabled);
}

} // namespace
} // namespace nova::test
