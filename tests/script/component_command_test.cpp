// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/nova_error.h"
#include "base/run_state.h"
#include "expr/build_parser.h"
#include "expr/param_collection.h"
#include "graphics/dibx.h"
#include "scene/component_factory.h"
#include "scene/kinds/all_kinds.h"
#include "scene/nova_base_list.h"
#include "scene/timer_list.h"
#include "script/call_man.h"
#include "script/commands/component_commands.h"
#include "script/commands/scene_commands.h"
#include "script/component_behaviours.h"
#include "script/component_funcs.h"

namespace nova {
namespace {

// The interpreter's surroundings reduced to what the component commands touch.
struct TNoFiles : IScriptFiles {
  bool Exists(const std::string&) override { return false; }
  std::vector<uint8_t> Load(const std::string&) override { return {}; }
  bool PromptForDisk(int32_t, const TDiskTexts&) override { return false; }
};
struct TNoDialogs : IScriptDialogs {
  TMsgResult MessageBox(const std::string&, const std::string&, TMsgButtons, TMsgIcon) override {
    return {};
  }
  void CloseMainWindow() override {}
};
struct TSceneHost : ICallManHost {
  explicit TSceneHost(TNovaBaseList& s) : scene(s) {}
  TTimerList& Events() override { return scene.Events(); }
  std::string SenderName(const TNovaObject*) override { return {}; }
  bool PageExists(const std::string&) override { return false; }
  void ResetWorld() override {}
  void CloseMainWindow() override {}
  TNovaBaseList& scene;
};

void Set(TCommandExpr& e, const char* text) { CompileExpression(text, e.parser); }

TPropMask MaskOf(std::initializer_list<int> ids) {
  TPropMask m;
  for (int id : ids)
    m.Set(id);
  return m;
}

class ComponentCommands : public ::testing::Test {
protected:
  void SetUp() override {
    ResetRunState();
    scene.SetScreenSurface(&screen);
    behaviours.Register(cm);
  }
  // Starts and runs a command until it advances; answers the runs it took.
  int RunToEnd(TCommand& cmd) {
    const ICommandBehaviour& b = cm.BehaviourOf(cmd);
    cm.set_pc(0);
    b.Start(cmd, cm);
    int runs = 0;
    while (cm.pc() == 0 && runs < 100) {
      RunState().GameClock += 16;
      b.Run(cmd, cm);
      ++runs;
    }
    return runs;
  }
  TNovaControl* Control(const std::string& name) {
    TNovaObject* o = scene.FindByName(name);
    return o ? o->AsControl() : nullptr;
  }
  // Deleted, or waiting for deletion.
  bool Gone(const std::string& name) {
    TNovaObject* o = scene.FindByName(name);
    return !o || o->IsPendingDelete();
  }
  TNovaControl* Box(const std::string& name, TNovaControl* parent) {
    auto* b = CreateComponent<TNovaBox>(&scene);
    b->SetName(name);
    b->SetParent(parent);
    return b;
  }

  TDIBX screen{64, 48, 32};
  TNovaBaseList scene{64, 48};
  TParamCollection vars;
  TNoFiles files;
  TNoDialogs dialogs;
  TSceneHost host{scene};
  TCallMan cm{{vars, files, dialogs, host}};
  TComponentBehaviours behaviours{scene};
};

TEST_F(ComponentCommands, CreationParentsAndValuesOfEmptyExpressions) {
  // No PR_PARENT in the mask: the box has no parent and is not shown.
  TComBoxNew orphan(nullptr, MaskOf({PR_NAME, PR_LEFT}));
  Set(*orphan.props.Find(PR_NAME), "\"orphan\"");
  Set(*orphan.props.Find(PR_LEFT), "12");
  RunToEnd(orphan);
  ASSERT_NE(Control("orphan"), nullptr);
  EXPECT_EQ(Control("orphan")->Parent(), nullptr);
  EXPECT_EQ(Control("orphan")->Left(), 12);
  // A parent expression yielding the empty text: the front layer.
  TComBoxNew placed(nullptr, MaskOf({PR_NAME, PR_PARENT}));
  Set(*placed.props.Find(PR_NAME), "\"placed\"");
  Set(*placed.props.Find(PR_PARENT), "\"\"");
  RunToEnd(placed);
  EXPECT_EQ(Control("placed")->Parent(), scene.Front());
  // Carried expressions that yield nothing take the listed values.
  TComImgNew img(nullptr, MaskOf({PR_NAME, PR_PARENT, PR_COLOR, PR_ALPHA, PR_ZOOMX, PR_VISIBLE}));
  Set(*img.props.Find(PR_NAME), "\"img\"");
  for (int id : {PR_COLOR, PR_ALPHA, PR_ZOOMX, PR_VISIBLE})
    img.props.Find(id)->parser.Clear();
  RunToEnd(img);
  TNovaObject* made = scene.FindByName("img");
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetKind(), LT_IMAGES);
  EXPECT_EQ(made->GetProp(PR_COLOR).i, -1);
  EXPECT_EQ(made->GetProp(PR_ALPHA).i, 255);
  EXPECT_EQ(made->GetProp(PR_ZOOMX).i, 256) << "PR_ZOOMX applies only a value";
  EXPECT_TRUE(made->GetProp(PR_VISIBLE).f);
}

TEST_F(ComponentCommands, PropertyCommandsAndDelete) {
  Box("b", scene.Front());
  vars.Declare("v", PT_INT, TVarScope::Global, nullptr);
  TComSetProp set(nullptr);
  Set(set.object, "\"b\"");
  Set(set.prop_id, "3");
  Set(set.value, "41");
  RunToEnd(set);
  TComGetProp get(nullptr);
  Set(get.object, "\"b\"");
  Set(get.prop_id, "3");
  get.var_name = "v";
  RunToEnd(get);
  EXPECT_EQ(vars.Find("v")->AsInt(), 41);
  TComSetProp bad(nullptr);
  Set(bad.object, "\"b\"");
  EXPECT_THROW(RunToEnd(bad), ENovaError) << "a property id that yields nothing";
  TComObjDel del(nullptr);
  Set(del.object, "\"b\"");
  RunToEnd(del);
  EXPECT_TRUE(Gone("b"));
}

TEST_F(ComponentCommands, CabinetsMoveSelectedComponents) {
  Box("a", scene.Back());
  Box("b", scene.Back());
  TComCabinetSave none(nullptr, MaskOf({PR_NAME}));
  Set(*none.props.Find(PR_NAME), "\"cab\"");
  Set(none.invert, "0");
  none.names.resize(1);
  Set(none.names[0], "\"nobody\"");
  RunToEnd(none);
  EXPECT_TRUE(Gone("cab")) << "a cabinet that selects nothing";
  scene.UpdateStep();
  TComCabinetSave save(nullptr, MaskOf({PR_NAME}));
  Set(*save.props.Find(PR_NAME), "\"cab2\"");
  save.names.resize(1);
  Set(save.names[0], "\"a\"");
  RunToEnd(save);
  EXPECT_TRUE(Control("a")->IsInCabinet());
  EXPECT_EQ(Control("b")->Parent(), scene.Back());
  TComCabinetLoad load(nullptr, MaskOf({PR_NAME}));
  Set(*load.props.Find(PR_NAME), "\"cab2\"");
  Set(load.invert, "1");  // no names: all but none
  RunToEnd(load);
  EXPECT_EQ(Control("a")->Parent(), scene.Back());
  EXPECT_TRUE(Gone("cab2")) << "an emptied cabinet goes";
}

TEST_F(ComponentCommands, FlipKeepRuleAndDuration) {
  struct Case {
    const char* duration; // "" for no expression
    const char* keep;
    bool kept_a; // A carried to the new picture
    int runs;
  } const cases[] = {
      {"0", "1", false, 1},  // no transition, no snapshot: the layers swap in the first run
      {"100", "", false, 3}, // no keep value: nothing is carried
      {"100", "1", true, 3}, // mode 1 with "A" and "B": both carried, C stays
  };
  vars.Declare("keep", PT_STR, TVarScope::Global, nullptr);
  vars.Find("keep")->Value()->SetStr("A\r\nB");
  for (const Case& c : cases) {
    scene.Reset();
    Box("A", scene.Front());
    Box("B", scene.Front());
    Box("C", scene.Front());
    const int front = scene.FrontIndex();
    TComFlip flip(nullptr);
    if (*c.duration)
      Set(flip.duration_ms, c.duration);
    if (*c.keep)
      Set(flip.keep_mode, c.keep);
    flip.names.resize(1);
    Set(flip.names[0], "keep");
    Set(flip.delete_old, "1");
    EXPECT_EQ(RunToEnd(flip), c.runs) << c.duration << "/" << c.keep;
    EXPECT_NE(scene.FrontIndex(), front);
    EXPECT_EQ(!Gone("A") && Control("A")->GetBase() == scene.Front(), c.kept_a);
    EXPECT_TRUE(Gone("C")) << "the old front layer is deleted";
    EXPECT_EQ(Gone("B"), !c.kept_a);
  }
}

TEST_F(ComponentCommands, FunctionsReachTheScene) {
  TComponentFuncs funcs(scene);
  Box("x", scene.Front())->SetLeft(10);
  TParamCollection local;
  local.Declare("r", PT_INT, TVarScope::Global, nullptr);
  local.Declare("s", PT_STR, TVarScope::Global, nullptr);
  TCustomParam& r = *local.Find("r")->Value();
  TCustomParam& s = *local.Find("s")->Value();
  s.SetStr("x");
  local.Declare("n", PT_INT, TVarScope::Global, nullptr);
  TCustomParam& n = *local.Find("n")->Value();
  n.SetInt(15);
  TCustomParam* args[] = {&s, &n};
  ASSERT_TRUE(funcs.CallFunc(r, 33, args));
  EXPECT_EQ(r.AsInt(), 5) << "ToClientX";
  ASSERT_TRUE(funcs.CallFunc(r, 35, args));
  EXPECT_EQ(r.AsInt(), 25) << "ToScreenX";
  ASSERT_TRUE(funcs.CallFunc(r, 19, std::span<TCustomParam* const>(args, 1)));
  EXPECT_EQ(r.AsInt(), 1) << "Exists";
  EXPECT_FALSE(funcs.CallFunc(r, 200, args)) << "not a component function";
}

} // namespace
} // namespace nova
