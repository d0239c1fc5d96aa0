// SPDX-License-Identifier: MIT
// A call manager over pages assembled from text, a scene for senders and events, and a frame
// driver on the run state's clock.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/binary_writer.h"
#include "base/run_state.h"
#include "expr/param_collection.h"
#include "scene/nova_base_list.h"
#include "script/call_man.h"
#include "script/call_system_vars.h"
#include "script/text_form/page_text.h"

namespace nova {

class CallManFixture : public testing::Test,
                       public IScriptFiles,
                       public IScriptDialogs,
                       public ICallManHost {
protected:
  CallManFixture() : calls(TCallMan::Context{vars, *this, *this, *this}), sys_vars(calls) {
    ResetRunState();
    vars.Hosts().call = &calls;
    vars.Hosts().system = &sys_vars;
  }
  ~CallManFixture() override { ResetRunState(); }

  // Adds page `name` assembled from its text form.
  void Page(const std::string& name, const std::string& text) {
    TPage page;
    page.set_name(name);
    TPageSource(text, name).Build(page);
    BinaryWriter w;
    page.Write(w);
    files[name] = w.Take();
  }
  // One frame of `delta_ms` on the game clock.
  void Frame(int32_t delta_ms = 16) {
    RunState().FrameDelta = delta_ms;
    RunState().GameClock += delta_ms;
    calls.Run();
  }
  void Queue(const std::string& handler) {
    scene.Events().Queue(scene.GetLayer(0), handler, {}, 0);
  }
  std::string Str(const std::string& name) {
    TParamCollectionItem* item = vars.Find(name);
    return item ? item->Value()->AsStr() : "<none>";
  }

  // IScriptFiles
  bool Exists(const std::string& name) override { return files.count(name) > 0; }
  std::vector<uint8_t> Load(const std::string& name) override {
    ++loads[name];
    return files.at(name);
  }
  bool PromptForDisk(int32_t, const TDiskTexts&) override { return false; }
  // IScriptDialogs
  TMsgResult MessageBox(const std::string&, const std::string&, TMsgButtons, TMsgIcon) override {
    return TMsgResult::Ok;
  }
  void CloseMainWindow() override { close_requests++; }
  // ICallManHost
  TTimerList& Events() override { return scene.Events(); }
  std::string SenderName(const TNovaObject* sender) override {
    return scene.IsAlive(sender) ? sender->GetName() : std::string();
  }
  bool PageExists(const std::string& name) override { return Exists(name); }
  void ResetWorld() override { scene.Reset(); }

  std::map<std::string, std::vector<uint8_t>> files;
  std::map<std::string, int> loads;
  int close_requests = 0;
  TNovaBaseList scene{64, 64};
  TParamCollection vars;
  TCallMan calls;
  TCallSystemVars sys_vars;
};

} // namespace nova
