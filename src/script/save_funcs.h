// SPDX-License-Identifier: MIT
// The built-in functions on the save data: GetSaveCaption, ListSaveCaption, CopyFile (memory
// files) and SaveScreen (a screen capture as a layered image). Functions it does not serve go to
// the next host, when one is given.
#pragma once
#include <functional>

#include "expr/expr_hosts.h"

namespace nova {

class TGameSave;
class TNovaBaseList;
class TProject;
class TVrFileCollection;
class TWispCollection;

class TSaveFuncs final : public IFuncHost {
public:
  struct Context {
    TProject& project;
    TGameSave& save;
    TVrFileCollection& memory_files; // "mem:" and "save:" files
    TNovaBaseList* scene;            // for SaveScreen; null: it does nothing
    TWispCollection* images;         // cached pictures of a name SaveScreen replaces
  };
  TSaveFuncs(Context context, IFuncHost* next = nullptr) : ctx_(context), next_(next) {}
  bool CallFunc(TCustomParam& dest, uint8_t id, std::span<TCustomParam* const> args) override;
  uint8_t PropertyType(int32_t id) override { return next_ ? next_->PropertyType(id) : 0; }

private:
  bool ListSaveCaption(TCustomParam& dest, std::span<TCustomParam* const> args);
  bool CopyFile(const std::string& from, const std::string& to);
  bool SaveScreen(std::span<TCustomParam* const> args);

  Context ctx_;
  IFuncHost* next_;
};

} // namespace nova
