// SPDX-License-Identifier: MIT
// Saved games ("GAMESAVEDATA" entries): loading must fail with ENovaError or succeed; a loaded
// game must run its frames and save again.
#include <cstddef>
#include <cstdint>
#include <map>
#include <span>

#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/run_state.h"
#include "expr/param_collection.h"
#include "scene/nova_base_list.h"
#include "script/call_man.h"
#include "script/call_system_vars.h"
#include "script/saved_game.h"
#include "script/text_form/page_text.h"

namespace {

using namespace nova;

// The page the seeds were saved from.
constexpr char kMain[] =
    "VarNew \"x\" type=1 value={5}\nGameSave slot={3} title={\"first\"}\nCalc {x = x + 1}\n"
    "If {loads == 0}\n  Calc {loads = 1}\n  Calc {x = 100}\n  GameLoad slot={3}\n"
    "VarNew \"c\" type=4 value={GetSaveCaption(3)}\nWait time={500}\n";

class TWorld final : public IScriptFiles, public IScriptDialogs, public ICallManHost {
public:
  TWorld() {
    TPage page;
    page.set_name("main.nsb");
    TPageSource(kMain, "main.nsb").Build(page);
    BinaryWriter w;
    page.Write(w);
    pages["main.nsb"] = w.Take();
    vars.Hosts().call = &calls;
  }
  bool Exists(const std::string& name) override { return pages.count(name) > 0; }
  std::vector<uint8_t> Load(const std::string& name) override {
    if (!Exists(name))
      throw ENovaError(name + ":not found");
    return pages.at(name);
  }
  bool PromptForDisk(int32_t, const TDiskTexts&) override { return false; }
  TMsgResult MessageBox(const std::string&, const std::string&, TMsgButtons, TMsgIcon) override {
    return TMsgResult::Ok;
  }
  void CloseMainWindow() override {}
  TTimerList& Events() override { return scene.Events(); }
  std::string SenderName(const TNovaObject* sender) override {
    return scene.IsAlive(sender) ? sender->GetName() : std::string();
  }
  TNovaObject* FindComponent(const std::string& name) override { return scene.FindByName(name); }
  bool PageExists(const std::string& name) override { return Exists(name); }
  void ResetWorld() override { scene.Reset(); }

  std::map<std::string, std::vector<uint8_t>> pages;
  TNovaBaseList scene{32, 24};
  TParamCollection vars;
  TCallMan calls{TCallMan::Context{vars, *this, *this, *this}};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ResetRunState();
  TWorld world;
  const TSavedParts parts{world.scene, &world.calls, world.vars, nullptr};
  try {
    ReadSavedGame(parts, std::span<const uint8_t>(data, size), "fuzz saved game");
    for (int i = 0; i < 3 && !RunState().Terminating; ++i) {
      RunState().FrameDelta = 16;
      world.calls.Run();
      world.scene.UpdateStep();
    }
    WriteSavedGame(parts, "again", {});
  } catch (const ENovaError&) {
  }
  ResetRunState();
  return 0;
}
