// SPDX-License-Identifier: MIT
#include <array>

#include "base/sjis.h"
#include "scene/private/scene_texts.h"

namespace nova {
namespace {

constexpr std::array<const char*, stTextCount> kUtf8 = {
    "なし",
    "オーディオ",
    "矩形サーフェス",
    "ボタン",
    "シネマサーフェス",
    "エディット",
    "炎サーフェス",
    "HTTP",
    "画像サーフェス",
    "キャプション",
    "マップ",
    "メモ",
    "メニュー",
    "メッセージボックス",
    "パーティクルサーフェス",
    "タイマー",
    "ムービー",
    "サウンド",
    "選択画像",
    "ウェーブサーフェス",
    "タイルサーフェス",
    "スライダー",
    "スクロールバー",
    "ゲージ",
    "画像キャプション",
    "プレビューメニュー",
    "プロパティモーション",
    "キャビネット",
    "GetPropエラー",
    "SetPropエラー",
};

} // namespace

const std::string& SceneText(TSceneTextId id) {
  static const std::array<std::string, stTextCount> sjis = [] {
    std::array<std::string, stTextCount> out;
    for (size_t i = 0; i < out.size(); ++i)
      out[i] = Utf8ToSjis(kUtf8[i]);
    return out;
  }();
  return sjis[static_cast<size_t>(id)];
}

} // namespace nova
