// SPDX-License-Identifier: MIT
#pragma once
#include <string>

namespace nova {

// The system's own texts of this folder (kept as UTF-8 in expr_texts.cpp).
enum class TExprText {
  BadDims,          // 配列の要素数[%s]が不正です
  CopyTypeMismatch, // CopyMem:変数の型があいません
  BadIndex,         // [%d]:配列の添字が不正です
  BadVarName,       // "%s"：変数名が不正です
  NoVarName,        // 変数名がありません
  InvalidVar,       // %s:不正な変数です
  SyntaxError,      // 構文エラー
  BadSubscripts,    // 配列の添え字が不正です
  NoFunction,       // "%s" 関数名がありません
  BadArgCount,      //  引数の数が不正です
  VarNotFound,      // "%s" 変数がありません
  BadExpression,    // 不正な式\r\n\r\n代入先:
  OpType,           // 演算タイプ:
  BadGetProp,       // GetPropの引数が違います
  BadSubscript,     // 添え字が不正です
  BeyondCount,      // 要素数を超えています
  VarArgNotFound,   // :変数が見つかりません
  InternalError,    // 内部エラー
  WeekSun,
  WeekMon,
  WeekTue,
  WeekWed,
  WeekThu,
  WeekFri,
  WeekSat,
  Count
};

// Shift-JIS form of a text.
const std::string& ExprText(TExprText id);
// Replaces the first "%s" or "%d" of a Shift-JIS text by `arg`.
std::string FormatText(TExprText id, const std::string& arg);

} // namespace nova
