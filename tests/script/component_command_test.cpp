// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
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
#include "script/scene_command_hosts.h"

namespace nova {
namespace {

// The interpreter's surroundings reduced to what the component commands touch.
using test::TNoDialogs;
using test::TNoFiles;
using test::TSceneHost;

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
  Set(load.invert, "1"); // no names: all but none
  RunToEnd(load);
  EXPECT_EQ(Control("a")->Parent(), scene.Back());
  EXPECT_TRUE(Gone("cab2")) << "an emptied cabinet goes";
}

TEST_F(ComponentCommands, CabinetListEntriesAreWholeNames) {
  vars.Declare("two", PT_STR, TVarScope::Global, nullptr);
  vars.Find("two")->Value()->SetStr("a\r\nb");
  struct Case {
    const char* invert;
    bool a_moved;
  } const cases[] = {{"0", false}, {"1", true}};
  for (const Case& c : cases) {
    scene.Reset();
    Box("a", scene.Back());
    TComCabinetSave save(nullptr, MaskOf({PR_NAME}));
    Set(*save.props.Find(PR_NAME), "\"cab\"");
    Set(save.invert, c.invert);
    save.names.resize(1);
    Set(save.names[0], "two");
    RunToEnd(save);
    EXPECT_EQ(Control("a")->IsInCabinet(), c.a_moved) << "invert " << c.invert;
  }
}

TEST_F(ComponentCommands, FlipKeepRuleAndDuration) {
  struct Case {
    const char* duration; // "" for no expression
    const char* keep;
    const char* names;
    bool kept_a; // A carried to the new picture
    int runs;
  } const cases[] = {
      // No transition, no snapshot: the layers swap in the first run.
      {"0", "1", "A\r\nB", false, 1},
      {"100", "", "A\r\nB", false, 3}, // no keep value: nothing is carried
      {"100", "1", "A\r\nB", true, 3}, // mode 1 with "A" and "B": both carried, C stays
      {"100", "1", "A\rB\n", true, 3}, // lines end at CR alone too
  };
  vars.Declare("keep", PT_STR, TVarScope::Global, nullptr);
  for (const Case& c : cases) {
    vars.Find("keep")->Value()->SetStr(c.names);
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

// A transition that records what the flip asks of it and reports the given duration.
struct TTransitionLog {
  int kind = -1;
  int32_t duration = 0;
  TTransitionOptions options;
  std::vector<int32_t> steps;
};
class TRecordingTransition final : public ISceneTransition {
public:
  explicit TRecordingTransition(TTransitionLog& log) : log_(log) {}
  int32_t Duration() const override { return log_.duration; }
  void SetDuration(int32_t ms) override { log_.duration = ms; }
  void SetStep(int32_t elapsed_ms) override { log_.steps.push_back(elapsed_ms); }
  void Start(const TTransitionOptions& options) override { log_.options = options; }
  TSceneRect Draw() override { return {}; }

private:
  TTransitionLog& log_;
};

TEST_F(ComponentCommands, FlipHandsItsSettingsToTheTransition) {
  struct Case {
    const char *kind, *time, *flag, *param1, *param2, *source; // "" for no expression
    int made_kind;                                             // -1: no transition is made
    int32_t duration;
    std::optional<int32_t> p0, p1;
    std::optional<std::string> mask;
    int runs;
  } const cases[] = {
      {"19", "48", "1", "5", "7", "\"wipe.png\"", 19, 48, 5, 7, "wipe.png", 5},
      {"257", "32", "0", "", "", "", 1, 32, {}, {}, {}, 4}, // low 8 bits; kind defaults stay
      {"1", "", "", "", "", "", 1, 1, {}, {}, {}, 3},       // no time: 1 ms, no yield
      {"1", "-5", "", "", "", "", 1, 1, {}, {}, {}, 3},
      {"39", "100", "", "3", "", "", -1, 0, {}, {}, {}, 3}, // no such kind: a cut
  };
  for (const Case& c : cases) {
    scene.Reset();
    TTransitionLog log;
    scene.SetTransitionFactory([&](int kind, TCustomDIBX&, TCustomDIBX&, TCustomDIBX&) {
      log.kind = kind;
      return std::make_unique<TRecordingTransition>(log);
    });
    TComFlip flip(nullptr);
    for (auto [expr, text] : {std::pair{&flip.kind, c.kind},
                              {&flip.duration_ms, c.time},
                              {&flip.transition_flag, c.flag},
                              {&flip.param1, c.param1},
                              {&flip.param2, c.param2},
                              {&flip.source, c.source}})
      if (*text)
        Set(*expr, text);
    Set(flip.no_events, "1");
    const int front = scene.FrontIndex();
    const ICommandBehaviour& b = cm.BehaviourOf(flip);
    cm.set_pc(0);
    b.Start(flip, cm);
    const std::string at = std::string("kind ") + c.kind + " time " + c.time;
    EXPECT_EQ(log.kind, c.made_kind == -1 ? -1 : c.made_kind) << at;
    EXPECT_EQ(b.Yields(flip), *c.time && std::atoi(c.time) > 0) << at;
    EXPECT_TRUE(b.BlocksEvents(flip)) << at;
    if (c.made_kind != -1) {
      EXPECT_EQ(log.duration, c.duration) << at;
      EXPECT_EQ(log.options.reverse, *c.flag == '1') << at;
      EXPECT_EQ(log.options.param0, c.p0) << at;
      EXPECT_EQ(log.options.param1, c.p1) << at;
      EXPECT_EQ(log.options.mask_name, c.mask) << at;
    }
    int runs = 0;
    while (cm.pc() == 0 && runs < 100) {
      RunState().GameClock += 16;
      b.Run(flip, cm);
      ++runs;
    }
    EXPECT_EQ(runs, c.runs) << at;
    EXPECT_NE(scene.FrontIndex(), front) << at;
    EXPECT_FALSE(scene.TransitionRunning()) << at;
    EXPECT_FALSE(b.Yields(flip)) << at;
    if (c.made_kind != -1 && c.duration > 16) {
      // The clock starts a frame after the start; the last step before the end is the last
      // frame's time inside the duration.
      EXPECT_EQ(log.steps.back(), c.duration - 16) << at;
    }
  }
}

TEST_F(ComponentCommands, FlipAbandonedOrRestoredFinishesAtOnce) {
  struct Case {
    bool restored; // else abandoned by PCReset
    bool cabinet_gone;
  } const cases[] = {{false, true}, {true, false}};
  for (const Case& c : cases) {
    scene.Reset();
    Box("old", scene.Front());
    auto* cab = CreateComponent<TNovaCabinet>(&scene);
    cab->SetName("cab");
    cab->SetParent(scene.Front());
    TComFlip flip(nullptr);
    Set(flip.duration_ms, "200");
    Set(flip.keep_mode, "1"); // no names: nothing is carried
    Set(flip.delete_old, "1");
    const int front = scene.FrontIndex();
    const ICommandBehaviour& b = cm.BehaviourOf(flip);
    cm.set_pc(0);
    b.Start(flip, cm);
    ASSERT_NE(scene.FindControl(std::string("\x01\x01", 2)), nullptr) << "the snapshot";
    if (c.restored) {
      // A saved game keeps no running transition: the restored flip swaps at its first run.
      BinaryWriter w;
      flip.SaveRunningState(w);
      TComFlip loaded(nullptr);
      BinaryReader r(w.data(), "flip");
      loaded.LoadRunningState(r);
      b.Run(loaded, cm);
      EXPECT_EQ(cm.pc(), 1);
    } else {
      b.Abort(flip, cm);
    }
    EXPECT_NE(scene.FrontIndex(), front);
    EXPECT_EQ(scene.FindControl(std::string("\x01\x01", 2)), nullptr) << "the snapshot goes";
    EXPECT_TRUE(Gone("old")) << "delete-old";
    EXPECT_EQ(Gone("cab"), c.cabinet_gone) << "cabinets go only with an abandoned flip";
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
  // CreateObject: only kind numbers make components; an empty name keeps the default one.
  TParamInt kind;
  TParamStr none;
  for (int32_t k : {LT_BOX + 128, -1, 28}) {
    kind.SetInt(k);
    TCustomParam* create[] = {&kind, &none};
    const int before = scene.GetObjectCount();
    ASSERT_TRUE(funcs.CallFunc(r, 161, create));
    EXPECT_FALSE(r.AsFlag()) << "kind " << k;
    EXPECT_EQ(scene.GetObjectCount(), before) << "kind " << k;
  }
  kind.SetInt(LT_BOX);
  TCustomParam* create[] = {&kind, &none};
  ASSERT_TRUE(funcs.CallFunc(r, 161, create));
  EXPECT_TRUE(r.AsFlag());
  const TNovaObject* made = scene.GetObject(scene.GetObjectCount() - 1);
  EXPECT_FALSE(made->GetName().empty());
  EXPECT_EQ(scene.FindByName(made->GetName()), made);
}

TEST_F(ComponentCommands, ListCompoWritesNamesIntoAVariable) {
  TComponentFuncs funcs(scene);
  TNovaControl* panel = Box("panel", scene.Front());
  Box("inner", panel);
  auto* pic = CreateComponent<TNovaImages>(&scene);
  pic->SetName("pic");
  pic->SetParent(panel);
  TParamCollection local;
  local.Declare("list", PT_STR, TVarScope::Global, nullptr);
  local.Declare("r", PT_INT, TVarScope::Global, nullptr);
  TCustomParam& list = *local.Find("list")->Value();
  TCustomParam& r = *local.Find("r")->Value();
  struct Case {
    std::vector<std::string> args; // after the variable; "" pieces are kinds as numbers
    std::vector<std::string> names;
  } const cases[] = {
      {{}, {"panel", "inner", "pic"}},
      {{"0", "panel"}, {"inner", "pic"}},
      {{"28", "panel"}, {"inner", "pic"}}, // 28 and above: every kind
      {{"-1", "panel"}, {"inner", "pic"}},
      {{std::to_string(LT_IMAGES)}, {"pic"}},
      {{std::to_string(LT_IMAGES), "inner"}, {}}, // no match: the plain empty text
  };
  for (const Case& c : cases) {
    list.SetDims({3});
    std::vector<std::unique_ptr<TParamStr>> owned;
    std::vector<TCustomParam*> args{&list};
    for (size_t i = 0; i < c.args.size(); ++i) {
      owned.push_back(std::make_unique<TParamStr>());
      owned.back()->SetStr(c.args[i]);
      args.push_back(owned.back().get());
    }
    ASSERT_TRUE(funcs.CallFunc(r, 32, args));
    const std::string at = c.args.empty() ? "scene" : c.args[0];
    EXPECT_EQ(r.AsInt(), static_cast<int32_t>(c.names.size())) << at;
    if (c.names.empty()) {
      EXPECT_EQ(list.Count(), 1) << at;
      EXPECT_EQ(list.AsStr(), "") << at;
      continue;
    }
    ASSERT_EQ(list.Count(), static_cast<int32_t>(c.names.size())) << at;
    for (size_t i = 0; i < c.names.size(); ++i)
      EXPECT_EQ(list.StrAt(static_cast<int32_t>(i)), c.names[i]) << at;
  }
  // A component to look in that does not exist: nothing happens.
  TParamStr nowhere, zero;
  nowhere.SetStr("nowhere");
  zero.SetStr("0");
  list.SetStr("kept");
  r.SetInt(9);
  TCustomParam* args[] = {&list, &zero, &nowhere};
  ASSERT_TRUE(funcs.CallFunc(r, 32, args));
  EXPECT_EQ(list.AsStr(), "kept");
}

} // namespace
} // namespace nova
