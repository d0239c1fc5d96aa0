// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <map>

#include "base/run_state.h"
#include "expr/build_parser.h"
#include "expr/param_collection.h"
#include "expr/param_system.h"
#include "graphics/dibx.h"
#include "scene/component_factory.h"
#include "scene/kinds/all_kinds.h"
#include "scene/message_records.h"
#include "scene/nova_base_list.h"
#include "scene/scene_system_vars.h"
#include "script/call_man.h"
#include "script/commands/scene_commands.h"
#include "script/component_behaviours.h"
#include "script/component_funcs.h"
#include "text/zpword.h"

namespace nova {
namespace {

struct TPageFiles : IScriptFiles {
  bool Exists(const std::string& name) override { return pages.count(name) != 0; }
  std::vector<uint8_t> Load(const std::string& name) override { return pages.at(name); }
  bool PromptForDisk(int32_t, const TDiskTexts&) override { return false; }
  std::map<std::string, std::vector<uint8_t>> pages;
};
struct TNoDialogs : IScriptDialogs {
  TMsgResult MessageBox(const std::string&, const std::string&, TMsgButtons, TMsgIcon) override {
    return {};
  }
  void CloseMainWindow() override {}
};
struct TSceneHost : ICallManHost {
  TSceneHost(TNovaBaseList& s, TPageFiles& f) : scene(s), files(f) {}
  TTimerList& Events() override { return scene.Events(); }
  std::string SenderName(const TNovaObject*) override { return {}; }
  bool PageExists(const std::string& name) override { return files.Exists(name); }
  void ResetWorld() override {}
  void CloseMainWindow() override {}
  TNovaBaseList& scene;
  TPageFiles& files;
};

void Set(TCommandExpr& e, const char* text) { CompileExpression(text, e.parser); }

// A page whose commands are text insertions of `texts` into the box "m", recorded in the
// history, each waiting while the box holds text.
std::vector<uint8_t> TextPage(const std::vector<std::string>& texts) {
  TPage page;
  page.set_name("p.nsb");
  for (const std::string& text : texts) {
    auto cmd = std::make_unique<TComTextIns>(&page.commands());
    cmd->kind_byte = static_cast<uint8_t>(TCommandId::TextIns);
    if (!text.empty()) {
      const std::vector<uint8_t> stream = MarkupToGlyphStream(text);
      cmd->glyph_stream.assign(stream.begin(), stream.end());
    }
    Set(cmd->box, "\"m\"");
    Set(cmd->record_history, "1");
    Set(cmd->wait, "1");
    page.commands().Add(std::move(cmd));
  }
  BinaryWriter w;
  page.Write(w);
  return w.Take();
}

class TextCommands : public ::testing::Test {
protected:
  void SetUp() override {
    ResetRunState();
    RunState().FrameDelta = 16;
    scene.SetScreenSurface(&screen);
    behaviours.Register(cm);
    files.pages["p.nsb"] = TextPage({"one<BR>two", "three", ""});
    page = cm.GetPage("p.nsb", TPromote::Yes);
    cm.set_page(page);
    box = CreateComponent<TNovaMes>(&scene);
    box->SetName("m");
    box->SetParent(scene.Front());
    for (auto [id, v] : {std::pair{PR_WIDTH, 100}, {PR_HEIGHT, 12}, {PR_FONTHEIGHT, 10}})
      box->SetProp(id, TPropValue::Int(v));
  }
  // Starts the command at `index` and runs it once; answers whether it moved on.
  bool StartAndRun(TCommand& cmd, int32_t index) {
    const ICommandBehaviour& b = cm.BehaviourOf(cmd);
    cm.set_pc(index);
    b.Start(cmd, cm);
    b.Run(cmd, cm);
    return cm.pc() != index;
  }
  TCommand& PageCommand(int32_t i) { return page->commands()[i]; }
  TNovaHistoryFormatManager& formats() { return scene.MessageRecords().formats; }

  TDIBX screen{160, 120, 32};
  TNovaBaseList scene{160, 120};
  TParamCollection vars;
  TPageFiles files;
  TNoDialogs dialogs;
  TSceneHost host{scene, files};
  TCallMan cm{{vars, files, dialogs, host}};
  TComponentBehaviours behaviours{scene};
  TPage* page = nullptr;
  TNovaMes* box = nullptr;
};

TEST_F(TextCommands, TextInsShowsTheCommandTextAndWaitsWhileTheBoxHoldsIt) {
  EXPECT_FALSE(StartAndRun(PageCommand(0), 0));
  EXPECT_EQ(box->GetProp(PR_COUNT).i, 2);
  EXPECT_EQ(box->GetProp(PR_INDEX).i, 0);
  EXPECT_EQ(box->SourcePage(), "p.nsb");
  EXPECT_TRUE(cm.BehaviourOf(PageCommand(0)).Yields(PageCommand(0)));
  // Still waiting in a later frame; clearing the box lets it go on.
  cm.BehaviourOf(PageCommand(0)).Run(PageCommand(0), cm);
  EXPECT_EQ(cm.pc(), 0);
  TComTextClr clear(nullptr);
  Set(clear.object, "\"m\"");
  EXPECT_TRUE(StartAndRun(clear, 5));
  EXPECT_EQ(box->GetProp(PR_COUNT).i, 0);
  cm.set_pc(0);
  cm.BehaviourOf(PageCommand(0)).Run(PageCommand(0), cm);
  EXPECT_EQ(cm.pc(), 1);
  // The first page was shown from a recorded command: it is in the history now.
  EXPECT_EQ(formats().Count(""), 1);
}

TEST_F(TextCommands, TextInsWithoutATargetMovesOn) {
  auto* other = CreateComponent<TNovaBox>(&scene);
  other->SetName("notmes");
  struct Case {
    int32_t command;
    const char* box_name;
  };
  const Case cases[] = {{0, "\"\""}, {0, "\"notmes\""}, {0, "\"missing\""}, {2, "\"m\""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box_name);
    auto& cmd = CommandAs<TComTextIns>(PageCommand(c.command));
    Set(cmd.box, c.box_name);
    EXPECT_TRUE(StartAndRun(cmd, c.command));
    EXPECT_EQ(box->GetProp(PR_COUNT).i, 0);
  }
}

TEST_F(TextCommands, HistoryCommandsRecallFormatAndClear) {
  StartAndRun(PageCommand(0), 0);
  box->SetIndex(1);
  StartAndRun(PageCommand(1), 1); // commits page 1 of command 0
  ASSERT_EQ(formats().Count(""), 2);

  auto* view = CreateComponent<TNovaMes>(&scene);
  view->SetName("view");
  view->SetParent(scene.Front());
  TComCallHist recall(nullptr);
  Set(recall.box, "\"view\"");
  // Without a first entry nothing is recalled; the count defaults to 1.
  EXPECT_TRUE(StartAndRun(recall, 0));
  EXPECT_EQ(view->PageCount(), 0);
  Set(recall.first, "1");
  StartAndRun(recall, 0);
  EXPECT_EQ(view->PageCount(), 1);
  EXPECT_EQ(view->ReadTracking(), rtHistory);
  Set(recall.format, "\"absent\"");
  view->ClearText();
  StartAndRun(recall, 0);
  EXPECT_EQ(view->PageCount(), 0);

  // A format registered from the box counts pixels; one without a template has zeros.
  TComEntryHist format(nullptr);
  Set(format.template_name, "\"m\"");
  Set(format.format, "\"log\"");
  StartAndRun(format, 0);
  ASSERT_NE(formats().Find("log"), nullptr);
  EXPECT_EQ(formats().Find("log")->Values()[0], 10);
  EXPECT_EQ(formats().Find("log")->Values()[3], 100);
  Set(format.template_name, "\"missing\"");
  StartAndRun(format, 0);
  EXPECT_EQ(formats().Find("log")->Values()[0], 0);

  TComClrHist clear_history(nullptr);
  StartAndRun(clear_history, 0);
  EXPECT_EQ(formats().Count(""), 0);
  scene.MessageRecords().reads.SetPending("m", "p.nsb", 0, 0);
  scene.MessageRecords().reads.Commit("m");
  TComClrRead clear_read(nullptr);
  StartAndRun(clear_read, 0);
  EXPECT_FALSE(scene.MessageRecords().reads.IsRead("p.nsb", 0, 0));
}

TEST_F(TextCommands, HistoryCountVariables) {
  TSceneSystemVars sys(scene, nullptr, {});
  StartAndRun(PageCommand(0), 0);
  box->SetIndex(1);
  box->ClearText();
  TSysValue v;
  ASSERT_TRUE(sys.ReadSystem(svHistoryCount, 0, v));
  EXPECT_EQ(v.i, 2);
  TSysValue max;
  max.i = 1;
  sys.WriteSystem(svHistoryMaxCount, max);
  ASSERT_TRUE(sys.ReadSystem(svHistoryCount, 0, v));
  EXPECT_EQ(v.i, 1);
  ASSERT_TRUE(sys.ReadSystem(svHistoryMaxCount, 0, v));
  EXPECT_EQ(v.i, 1);
}

TEST_F(TextCommands, HistoryFunctionsAnswerMinusOneForAnAbsentFormat) {
  StartAndRun(PageCommand(0), 0);
  box->SetIndex(1);
  box->ClearText();
  TComponentFuncs funcs(scene);
  TParamCollection local;
  local.Declare("r", PT_INT, TVarScope::Global, nullptr);
  local.Declare("s", PT_STR, TVarScope::Global, nullptr);
  local.Declare("n", PT_INT, TVarScope::Global, nullptr);
  TCustomParam& r = *local.Find("r")->Value();
  TCustomParam& s = *local.Find("s")->Value();
  local.Find("n")->Value()->SetInt(1);
  TCustomParam* args[] = {&s, local.Find("n")->Value()};
  const std::span<TCustomParam* const> name_only(args, 1);
  struct Case {
    const char* format;
    uint8_t func;
    int32_t expected;
  };
  const Case cases[] = {{"", 142, 2}, {"", 143, 0}, {"absent", 142, -1}, {"absent", 143, -1}};
  for (const Case& c : cases) {
    s.SetStr(c.format);
    ASSERT_TRUE(funcs.CallFunc(r, c.func, name_only));
    EXPECT_EQ(r.AsInt(), c.expected) << c.format << " " << int{c.func};
  }
  s.SetStr("absent");
  ASSERT_TRUE(funcs.CallFunc(r, 144, args));
  EXPECT_FALSE(r.AsFlag());
  s.SetStr("");
  ASSERT_TRUE(funcs.CallFunc(r, 144, args));
  EXPECT_TRUE(r.AsFlag());
  EXPECT_EQ(formats().Count(""), 1) << "the new maximum drops the oldest entry";
}

} // namespace
} // namespace nova
