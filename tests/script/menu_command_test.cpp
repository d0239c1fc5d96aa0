// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/run_state.h"
#include "expr/build_parser.h"
#include "expr/param_collection.h"
#include "scene/component_factory.h"
#include "scene/kinds/all_kinds.h"
#include "scene/nova_base_list.h"
#include "script/call_man.h"
#include "script/commands/component_commands.h"
#include "script/commands/scene_commands.h"
#include "script/component_behaviours.h"
#include "script/scene_command_hosts.h"

namespace nova {
namespace {

using test::TNoDialogs;
using test::TNoFiles;
using test::TSceneHost;

class MenuCommands : public ::testing::Test {
protected:
  void SetUp() override {
    ResetRunState();
    behaviours.Register(cm);
  }
  void Run(TCommand& cmd) {
    cm.set_pc(0);
    cm.BehaviourOf(cmd).Start(cmd, cm);
    cm.BehaviourOf(cmd).Run(cmd, cm);
    EXPECT_EQ(cm.pc(), 1) << "the command advances";
  }
  void Close(const char* name_expr) {
    TComMenuClose close(nullptr);
    CompileExpression(name_expr, close.object.parser);
    Run(close);
  }
  TNovaMenu* NewMenu(const char* name) {
    TPropMask mask;
    for (int id : {PR_NAME, PR_PARENT, PR_TEXT})
      mask.Set(id);
    TComMenu cmd(nullptr, mask);
    CompileExpression(("\"" + std::string(name) + "\"").c_str(), cmd.props.Find(PR_NAME)->parser);
    CompileExpression("\"\"", cmd.props.Find(PR_PARENT)->parser);
    CompileExpression("\"yes\"", cmd.props.Find(PR_TEXT)->parser);
    Run(cmd);
    return dynamic_cast<TNovaMenu*>(scene.FindByName(name));
  }

  TNovaBaseList scene{64, 48};
  TParamCollection vars;
  TNoFiles files;
  TNoDialogs dialogs;
  TSceneHost host{scene};
  TCallMan cm{{vars, files, dialogs, host}};
  TComponentBehaviours behaviours{scene};
};

TEST_F(MenuCommands, MenuOpensAndMenuCloseClosesIt) {
  TNovaMenu* menu = NewMenu("m");
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->GetPlayState(), TNovaMenu::psOpening);
  EXPECT_EQ(menu->GetProp(PR_COUNT).i, 1);
  for (int i = 0; i < 3; ++i)
    scene.UpdateStep();
  EXPECT_GT(menu->GetHeight(), 0);

  auto* box = CreateComponent<TNovaBox>(&scene);
  box->SetName("box");
  for (const char* name : {"\"\"", "\"nobody\"", "\"box\""})
    Close(name);
  EXPECT_EQ(menu->GetPlayState(), TNovaMenu::psOpening) << "names that find no menu do nothing";
  Close("\"m\"");
  EXPECT_EQ(menu->GetPlayState(), TNovaMenu::psClosing);
  for (int i = 0; i < 4 && scene.IndexOf(menu) >= 0; ++i)
    scene.UpdateStep();
  EXPECT_LT(scene.IndexOf(menu), 0) << "closed without a delay and gone";
}

TEST_F(MenuCommands, MenuCloseFadesASoundOut) {
  auto* sound = CreateComponent<TNovaSound>(&scene);
  sound->SetName("s");
  sound->SetPlayState(kPlayNow);
  Close("\"s\"");
  EXPECT_EQ(sound->PlayState(), kPlayFadeOut);
}

} // namespace
} // namespace nova
