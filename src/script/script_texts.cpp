// SPDX-License-Identifier: MIT
#include "script/script_texts.h"

#include <array>

#include "base/sjis.h"

namespace nova {
namespace {

constexpr std::array kUtf8Texts = {
    "プロジェクトがありません",
    "このバージョンには対応していません",
    "スタートページがありません",
    "インストールし直してください",
    "ディスクを入れてください",
    "リビルドしてください",
    "不正なコマンド",
    "情報",
    "ディスク%dを入れてから[OK]をクリックしてください",
    "終了します",
    "警告",
    "情報",
    "%s:ファイルがありません",
    "データファイルを作成することができません",
    "このセーブデータは使用できません\r\n終了してください",
};

} // namespace

const std::string& ScriptText(TScriptText id) {
  static const auto table = [] {
    std::array<std::string, kUtf8Texts.size()> sjis;
    for (size_t i = 0; i < kUtf8Texts.size(); ++i)
      sjis[i] = Utf8ToSjis(kUtf8Texts[i]);
    return sjis;
  }();
  return table[static_cast<size_t>(id)];
}

} // namespace nova
