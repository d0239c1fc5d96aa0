// SPDX-License-Identifier: MIT
// The call manager's surroundings for tests of commands that act on a scene: no files, no
// dialogs, and the scene's own event queue.
#pragma once
#include <string>
#include <vector>

#include "scene/nova_base_list.h"
#include "script/call_man.h"

namespace nova::test {

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

} // namespace nova::test
