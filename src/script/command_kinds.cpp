// SPDX-License-Identifier: MIT
#include "script/command_kinds.h"

#include <array>

#include "base/sjis.h"
#include "script/mask.h"

namespace nova {
namespace {

constexpr std::array<TCommandKindInfo, kCommandKindCount> kKinds = {{
    {"If", "IF", "TComIf", false},
    {"Elseif", "ELSE IF", "TComElseif", false},
    {"Else", "ELSE", "TComElse", false},
    {"Label", "ラベル", "TComLabel", false},
    {"Jump", "ジャンプ", "TComJump", false},
    {"Call", "コール", "TComCall", false},
    {"Exit", "リターン", "TComExit", false},
    {"Wait", "ウエイト", "TComWait", false},
    {"BoxNew", "矩形サーフェス作成", "TComBoxNew", true},
    {"ImgNew", "画像サーフェス作成", "TComImgNew", true},
    {"MesNew", "メッセージボックス作成", "TComMesNew", true},
    {"Timer", "タイマー", "TComTimer", true},
    {"Movie", "ムービー再生", "TComMovie", true},
    {"Flip", "フリップ", "TComFlip", false},
    {"Calc", "計算", "TComCalc", false},
    {"VarNew", "変数作成", "TComVarNew", false},
    {"VarDel", "変数削除", "TComVarDel", false},
    {"GetProp", "プロパティ取得", "TComGetProp", false},
    {"SetProp", "プロパティ設定", "TComSetProp", false},
    {"ObjDel", "コンポーネント削除", "TComObjDel", false},
    {"TextIns", "テキスト挿入", "TComTextIns", false},
    {"MovieStop", "メディア停止", "TComMovieStop", false},
    {"ClrHist", "履歴クリア", "TComClrHist", false},
    {"Cinema", "シネマサーフェス作成", "TComCinema", true},
    {"Caption", "キャプション作成", "TComCaption", true},
    {"Menu", "メニュー作成", "TComMenu", true},
    {"MenuClose", "メニュークローズ", "TComMenuClose", false},
    {"Comment", "コメント", "TComComment", false},
    {"TextClr", "テキストクリア", "TComTextClr", false},
    {"CallHist", "履歴呼出", "TComCallHist", false},
    {"Button", "ボタン作成", "TComBtnNew", true},
    {"While", "ループ", "TComWhile", false},
    {"WhileInit", "ループ初期化", "TComWhileInit", false},
    {"WhileLoop", "ループ再初期化", "TComWhileLoop", false},
    {"Break", "ループ脱出", "TComBreak", false},
    {"Continue", "ループ先頭へ", "TComContinue", false},
    {"ParticleNew", "パーティクルサーフェス作成", "TComParticleNew", true},
    {"FireNew", "炎サーフェス作成", "TComFireNew", true},
    {"GameSave", "ゲームセーブ", "TComGameSave", false},
    {"GameLoad", "ゲームロード", "TComGameLoad", false},
    {"PCReset", "PCリセット", "TComPCReset", false},
    {"Reset", "リセット", "TComReset", false},
    {"Sound", "サウンド再生", "TComSound", true},
    {"EditNew", "エディット作成", "TComEditNew", true},
    {"MemoNew", "メモ作成", "TComMemoNew", true},
    {"Terminate", "終了", "TComTerminate", false},
    {"DoEvent", "DoEvent", "TComDoEvent", false},
    {"ClrRead", "既読クリア", "TComClrRead", false},
    {"MapImgNew", "選択画像作成", "TComMapImgNew", true},
    {"WaveNew", "ウエーブサーフェス作成", "TComWaveNew", true},
    {"TileNew", "タイルサーフェス作成", "TComTileNew", true},
    {"SliderNew", "スライダー作成", "TComSliderNew", true},
    {"ScrollbarNew", "スクロールバー作成", "TComScrollbarNew", true},
    {"GaugeNew", "ゲージ作成", "TComGaugeNew", true},
    {"CGCaption", "画像キャプション作成", "TComCGCaption", true},
    {"MediaPlay", "メディア再生", "TComMediaPlay", false},
    {"PrevMenuNew", "プレビューメニュー作成", "TComPrevMenuNew", true},
    {"PropMotion", "プロパティモーション", "TComPropMotion", false},
    {"FormatHist", "履歴書式登録", "TComEntryHist", false},
    {"SaveCabinet", "キャビネット保存", "TComCabinetSave", true},
    {"LoadCabinet", "キャビネット復帰", "TComCabinetLoad", true},
}};

} // namespace

const TCommandKindInfo& CommandKindInfo(TCommandId id) { return kKinds[static_cast<size_t>(id)]; }

int CommandIdByName(std::string_view name) {
  for (size_t i = 0; i < kKinds.size(); ++i) {
    if (name == kKinds[i].name)
      return static_cast<int>(i);
  }
  return -1;
}

std::string CommandCaption(TCommandId id) { return Utf8ToSjis(CommandKindInfo(id).caption); }

} // namespace nova
