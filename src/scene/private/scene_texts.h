// SPDX-License-Identifier: MIT
// The scene's own texts, kept once as UTF-8 and handed out in Shift-JIS.
#pragma once
#include <string>

namespace nova {

enum TSceneTextId : int {
  // Kind captions first, in LT_ order (LT_NONE is 0).
  stKindNone = 0,
  stGetPropError = 28,
  stSetPropError,
  stTextCount
};

const std::string& SceneText(TSceneTextId id);

} // namespace nova
