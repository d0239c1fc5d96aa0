// SPDX-License-Identifier: MIT
#include "expr/private/expr_texts.h"

#include <array>

#include "base/sjis.h"

namespace nova {

namespace {

constexpr std::array<const char*, static_cast<size_t>(TExprText::Count)> kUtf8 = {
    "配列の要素数[%s]が不正です",
    "CopyMem:変数の型があいません",
    "[%d]:配列の添字が不正です",
    "\"%s\"：変数名が不正です",
    "変数名がありません",
    "%s:不正な変数です",
    "構文エラー",
    "配列の添え字が不正です",
    "\"%s\" 関数名がありません",
    " 引数の数が不正です",
    "\"%s\" 変数がありません",
    "不正な式\r\n\r\n代入先:",
    "演算タイプ:",
    "GetPropの引数が違います",
    "添え字が不正です",
    "要素数を超えています",
    ":変数が見つかりません",
    "内部エラー",
    "日",
    "月",
    "火",
    "水",
    "木",
    "金",
    "土",
};

} // namespace

const std::string& ExprText(TExprText id) {
  static const std::array<std::string, kUtf8.size()> sjis = [] {
    std::array<std::string, kUtf8.size()> out;
    for (size_t i = 0; i < kUtf8.size(); ++i)
      out[i] = Utf8ToSjis(kUtf8[i]);
    return out;
  }();
  return sjis[static_cast<size_t>(id)];
}

std::string FormatText(TExprText id, const std::string& arg) {
  std::string text = ExprText(id);
  size_t pos = text.find('%');
  if (pos != std::string::npos && pos + 1 < text.size())
    text.replace(pos, 2, arg);
  return text;
}

} // namespace nova
