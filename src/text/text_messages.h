// SPDX-License-Identifier: MIT
#pragma once
#include <string>

namespace nova {

// The text layer's own texts, Shift-JIS, converted once from the UTF-8 table.
struct TextMessages {
  std::string link_without_href; // "<A>タグにHREF値がありません"
  std::string font_file_damaged; // "フォントファイルが破壊されています"
  std::string no_standard_font;  // "標準フォントがインストールされていません"
  std::string work_file_failed;  // "作業用ファイルが作成できません"
  std::string ms_gothic;         // "ＭＳ ゴシック"
  std::string ms_pgothic;        // "ＭＳ Ｐゴシック"
  std::string ms_mincho;         // "ＭＳ 明朝"
  std::string ms_pmincho;        // "ＭＳ Ｐ明朝"
  std::string line_start_prohibited; // characters that may not begin a row
  std::string line_end_prohibited;   // characters that may not end a row
};

const TextMessages& TextTexts();

} // namespace nova
