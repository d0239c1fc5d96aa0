// SPDX-License-Identifier: MIT
#include <array>

#include "base/sjis.h"
#include "graphics/private/graphics_texts.h"

namespace nova {

namespace {

constexpr std::array<const char*, 41> kTextsUtf8 = {
    "識別コードを設定してください",
    "Error:TWispFrameList.GetFrame",
    "なし",
    "フェード",
    "ブラインド横",
    "ブラインド縦",
    "カーテン横",
    "カーテン縦",
    "スクロール横",
    "スクロール縦",
    "格子",
    "格子(横)",
    "格子(縦)",
    "ディザ",
    "ホワイト",
    "ブラック",
    "フラッシュ",
    "モザイク",
    "すだれ横",
    "すだれ縦",
    "スポットライト",
    "マスクフェード",
    "マスクホワイト",
    "マスクブラック",
    "表画面縮小",
    "裏画面拡大",
    "波紋",
    "白ぼかし",
    "黒ぼかし",
    "ひねり横",
    "ひねり縦",
    "チップ落下",
    "ズームイン",
    "時計の針",
    "ゴム(横)",
    "ゴム(縦)",
    "扇",
    "扇(両側)",
    "円",
    "ブロック(とぐろ)",
    "ブロック(ランダム)",
};

} // namespace

const std::string& GraphicsText(GraphicsTextId id) {
  static const auto texts = [] {
    std::array<std::string, kTextsUtf8.size()> sjis;
    for (size_t i = 0; i < kTextsUtf8.size(); ++i)
      sjis[i] = Utf8ToSjis(kTextsUtf8[i]);
    return sjis;
  }();
  return texts[id];
}

} // namespace nova
