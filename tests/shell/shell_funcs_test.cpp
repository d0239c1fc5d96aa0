// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/run_state.h"
#include "expr/params.h"
#include "platform/desktop.h"
#include "platform/window.h"
#include "scene/component_factory.h"
#include "scene/kinds/all_kinds.h"
#include "scene/nova_base_list.h"
#include "shell/edit_binding.h"
#include "shell/file_dialog.h"
#include "shell/shell_funcs.h"
#include "test_files.h"

namespace nova {
namespace {

class ShellFuncs : public ::testing::Test {
protected:
  void SetUp() override {
    ResetRunState();
    scene.SetEditWindowFactory(edit_windows.Factory());
    CreateComponent<TNovaEdit>(&scene)->SetName("edit");
    CreateComponent<TNovaBox>(&scene)->SetName("box");
    TShellFuncSources sources;
    sources.scene = [this] { return &scene; };
    sources.screen = [] { return nullptr; };
    sources.desktop = desktop.get();
    sources.choose = MakeFileChooser(true, {"/home/u/a.txt", "", "/home/u/dir"});
    sources.picture = [](const std::string& file) -> std::optional<TPicture> {
      if (file == "missing.wsp")
        return std::nullopt;
      return TPicture{file.empty() ? 640 : 8, file.empty() ? 480 : 8, {}};
    };
    sources.set_wallpaper = [this](const TPicture& p, int32_t style) {
      wallpapers.push_back(std::to_string(p.width) + "/" + std::to_string(style));
      return true;
    };
    funcs = std::make_unique<TShellFuncs>(std::move(sources));
  }
  // Calls `id` with string arguments into fresh string variables; answers the result as text.
  std::string Call(uint8_t id, std::vector<std::string> texts, uint8_t result = PT_BOOL) {
    args.clear();
    std::vector<TCustomParam*> raw;
    for (const std::string& t : texts) {
      args.push_back(NewParam(PT_STR));
      args.back()->SetStr(t);
      raw.push_back(args.back().get());
    }
    std::unique_ptr<TCustomParam> dest = NewParam(result);
    EXPECT_TRUE(funcs->CallFunc(*dest, id, raw));
    return dest->AsStr();
  }
  // Both outlive the scene, whose fields' windows they keep.
  std::unique_ptr<IWindow> window = CreateHeadlessWindow({});
  TEditBinding edit_windows{*window};
  TNovaBaseList scene{640, 480};
  std::unique_ptr<IDesktop> desktop = CreateHeadlessDesktop();
  std::unique_ptr<TShellFuncs> funcs;
  std::vector<std::unique_ptr<TCustomParam>> args;
  std::vector<std::string> wallpapers;
};

TEST_F(ShellFuncs, DesktopScreenAndDialogs) {
  EXPECT_EQ(Call(65, {"0", "", "", "", ""}), "FALSE") << "GetDisplayMode without modes";
  EXPECT_EQ(Call(135, {"http://example.com"}), "FALSE") << "OpenUrl, refused headless";
  // SetWallPaper: a title's picture or the screen, with the style as given.
  EXPECT_EQ(Call(125, {"bg.wsp", "1"}), "TRUE");
  EXPECT_EQ(Call(125, {"", "2"}), "TRUE");
  EXPECT_EQ(Call(125, {"missing.wsp", "0"}), "FALSE");
  EXPECT_EQ(wallpapers, (std::vector<std::string>{"8/1", "640/2"}));
  // The input method is a field's: a new one starts open; other components have none.
  EXPECT_EQ(Call(166, {"edit"}), "TRUE");
  EXPECT_EQ(Call(167, {"edit", "FALSE"}), "TRUE");
  EXPECT_EQ(Call(166, {"edit"}), "FALSE");
  EXPECT_EQ(Call(167, {"box", "TRUE"}), "FALSE");
  EXPECT_EQ(Call(166, {"box"}), "FALSE");
  EXPECT_EQ(Call(167, {"nobody", "TRUE"}), "FALSE");
  EXPECT_EQ(Call(166, {"edit"}), "FALSE") << "no field of that name: nothing changes";
  scene.FindByName("edit")->SetProp(PR_IMEMODE, TPropValue::Int(IM_DISABLE));
  EXPECT_EQ(Call(167, {"edit", "TRUE"}), "FALSE") << "a disabled input method stays closed";

  // The headless answers, in order: a file, a cancel, a folder, then nothing left.
  EXPECT_EQ(Call(148, {"", "Text|*.txt"}), "TRUE");
  EXPECT_EQ(args[0]->AsStr(), "\\home\\u\\a.txt");
  EXPECT_EQ(Call(149, {"keep"}), "FALSE");
  EXPECT_EQ(args[0]->AsStr(), "keep");
  EXPECT_EQ(Call(150, {""}), "TRUE");
  EXPECT_EQ(args[0]->AsStr(), "\\home\\u\\dir\\");
  EXPECT_EQ(Call(150, {""}), "FALSE");
  std::unique_ptr<TCustomParam> dest = NewParam(PT_INT);
  EXPECT_FALSE(funcs->CallFunc(*dest, 19, {}));
}

TEST(FileDialogModel, ListsFiltersAndChooses) {
  const auto dir = test::TestDir("file_dialog");
  std::filesystem::create_directories(dir / "sub");
  for (const char* name : {"b.txt", "a.TXT", "c.dat", ".hidden.txt"})
    std::ofstream(dir / name) << "x";
  TFileDialogModel open(TFileDialogKind::Open, dir.string(), "Text (*.txt)|*.txt|All|*.*");
  std::string listed;
  for (const auto& e : open.Entries())
    listed += (e.folder ? "[" + e.name + "]" : e.name) + " ";
  EXPECT_EQ(listed, "[sub] a.TXT b.txt ");
  EXPECT_FALSE(open.Choice());
  open.name = "missing.txt";
  EXPECT_FALSE(open.Choice()) << "an open dialog needs an existing file";
  open.name = "b.txt";
  EXPECT_EQ(open.Choice(), (dir / "b.txt").string());
  open.Enter("sub");
  EXPECT_EQ(open.Folder(), (dir / "sub").string());
  EXPECT_TRUE(open.Entries().empty());
  open.Enter("..");
  EXPECT_EQ(open.Folder(), dir.string());

  TFileDialogModel save(TFileDialogKind::Save, dir.string(), "");
  EXPECT_EQ(save.Entries().size(), 4u) << "no filter: every file";
  save.name = "new.txt";
  EXPECT_EQ(save.Choice(), (dir / "new.txt").string());
  save.name = "a/b";
  EXPECT_FALSE(save.Choice());

  TFileDialogModel folder(TFileDialogKind::Directory, dir.string(), "");
  ASSERT_EQ(folder.Entries().size(), 1u);
  EXPECT_EQ(folder.Choice(), dir.string());
}

} // namespace
} // namespace nova
