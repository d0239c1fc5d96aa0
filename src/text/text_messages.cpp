// SPDX-License-Identifier: MIT
#include "text/text_messages.h"

#include "base/sjis.h"

namespace nova {

const TextMessages& TextTexts() {
  static const TextMessages texts = {
      Utf8ToSjis("<A>タグにHREF値がありません"),
      Utf8ToSjis("フォントファイルが破壊されています"),
      Utf8ToSjis("標準フォントがインストールされていません"),
      Utf8ToSjis("作業用ファイルが作成できません"),
      Utf8ToSjis("ＭＳ ゴシック"),
      Utf8ToSjis("ＭＳ Ｐゴシック"),
      Utf8ToSjis("ＭＳ 明朝"),
      Utf8ToSjis("ＭＳ Ｐ明朝"),
      Utf8ToSjis("。、｣」』)）､｡!?！？】"),
      Utf8ToSjis("｢「『（([<【"),
  };
  return texts;
}

} // namespace nova
