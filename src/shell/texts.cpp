// SPDX-License-Identifier: MIT
#include "shell/texts.h"

#include "base/sjis.h"

namespace nova {

const TShellTexts& ShellTexts() {
  static const TShellTexts texts{
      Utf8ToSjis("「%s」を終了しますか？"),
      Utf8ToSjis("Do you want to exit %s?"),
      Utf8ToSjis("警告"),
      Utf8ToSjis("動作設定"),
      Utf8ToSjis("DirectSoundを使用する(&S)"),
      Utf8ToSjis("サウンドの遅延時間(&D)："),
      Utf8ToSjis("%dms"),
      Utf8ToSjis("OK"),
      Utf8ToSjis("キャンセル"),
      Utf8ToSjis("作業用ファイルが作成できません"),
      Utf8ToSjis("%s\r\n\r\n既に同名のファイルが存在します。上書きしますか？"),
      Utf8ToSjis("ファイルを開く"),
      Utf8ToSjis("名前を付けて保存"),
      Utf8ToSjis("フォルダの選択"),
  };
  return texts;
}

} // namespace nova
