// SPDX-License-Identifier: MIT
#include "scene/prop_table.h"

#include <array>
#include <cstring>

#include "scene/private/scene_texts.h"

namespace nova {
namespace {

constexpr uint32_t K(int kind) { return 1u << kind; }
constexpr uint32_t BOX = K(LT_BOX), BUTTON = K(LT_BUTTON), CINEMA = K(LT_CINEMA), EDIT = K(LT_EDIT),
                   FIRE = K(LT_FIRE), HTTP = K(LT_HTTP), IMAGES = K(LT_IMAGES), LABEL = K(LT_LABEL),
                   MEMO = K(LT_MEMO), MENU = K(LT_MENU), MES = K(LT_MES), PARTICLE = K(LT_PARTICLE),
                   TIMER = K(LT_TIMER), VIDEO = K(LT_VIDEO), SOUND = K(LT_SOUND),
                   MAPIMG = K(LT_MAPIMG), WAVE = K(LT_WAVE), TILE = K(LT_TILE),
                   SLIDER = K(LT_SLIDER), SCROLLBAR = K(LT_SCROLLBAR), GAUGE = K(LT_GAUGE),
                   CGLABEL = K(LT_CGLABEL), PREVMENU = K(LT_PREVMENU),
                   PROPMOTION = K(LT_PROPMOTION), CABINET = K(LT_CABINET);
constexpr uint32_t kControls = BOX | BUTTON | CINEMA | EDIT | FIRE | IMAGES | LABEL | MEMO | MENU |
                               MES | PARTICLE | VIDEO | MAPIMG | WAVE | TILE | SLIDER | SCROLLBAR |
                               GAUGE | CGLABEL | PREVMENU | CABINET;
constexpr uint32_t kEvery = kControls | HTTP | TIMER | SOUND | PROPMOTION;

constexpr std::array<TPropInfo, kNovaPropCount> kProps = {{
    {PR_NAME, "PR_NAME", "名前", ptStr, acRW, kEvery, 0},
    {PR_PARENT, "PR_PARENT", "親", ptStr, acRW, kControls, 0},
    {PR_SOURCE, "PR_SOURCE", "ソース", ptStr, acRW,
     BOX | BUTTON | CINEMA | HTTP | IMAGES | LABEL | PARTICLE | VIDEO | SOUND | MAPIMG | TILE |
         SLIDER | SCROLLBAR | GAUGE | CGLABEL | PREVMENU,
     0},
    {PR_LEFT, "PR_LEFT", "X座標", ptInt, acRW, kControls, 0},
    {PR_TOP, "PR_TOP", "Y座標", ptInt, acRW, kControls, 0},
    {PR_WIDTH, "PR_WIDTH", "幅", ptInt, acRW, kControls, 0},
    {PR_HEIGHT, "PR_HEIGHT", "高さ", ptInt, acRW, kControls, 0},
    {PR_ZOOMX, "PR_ZOOMX", "ズームX", ptInt, acRW, BUTTON | FIRE | IMAGES | LABEL | VIDEO | TILE,
     0},
    {PR_COLOR, "PR_COLOR", "色", ptInt, acRW, kControls, 0},
    {PR_BORDERWIDTH, "PR_BORDERWIDTH", "枠幅", ptInt, acRW, BOX | MENU, 0},
    {PR_BORDERCOLOR, "PR_BORDERCOLOR", "枠色", ptInt, acRW, BOX | MENU, 0},
    {PR_ALPHA, "PR_ALPHA", "アルファ", ptInt, acRW,
     BOX | BUTTON | IMAGES | LABEL | MENU | MES | PARTICLE | VIDEO | MAPIMG | TILE | SLIDER |
         SCROLLBAR | GAUGE | CGLABEL,
     0},
    {PR_PRIORITY, "PR_PRIORITY", "プライオリティ", ptInt, acRW, kEvery, 0},
    {PR_OFFSETX, "PR_OFFSETX", "X中心座標", ptInt, acRW, kControls, 0},
    {PR_OFFSETY, "PR_OFFSETY", "Y中心座標", ptInt, acRW, kControls, 0},
    {PR_FONTNAME, "PR_FONTNAME", "フォント名", ptStr, acRW,
     BUTTON | EDIT | LABEL | MEMO | MENU | MES, 0},
    {PR_FONTHEIGHT, "PR_FONTHEIGHT", "フォントサイズ", ptInt, acRW,
     BUTTON | EDIT | LABEL | MEMO | MENU | MES, 0},
    {PR_FONTSTYLE, "PR_FONTSTYLE", "フォントスタイル", ptInt, acRW,
     BUTTON | EDIT | LABEL | MEMO | MENU, 0},
    {PR_LINESPACE, "PR_LINESPACE", "行間", ptInt, acRW, LABEL | MENU | MES | CGLABEL, 0},
    {PR_FONTCOLOR, "PR_FONTCOLOR", "フォント色", ptInt, acRW,
     BUTTON | EDIT | LABEL | MEMO | MENU | MES, 0},
    {PR_FONTLINKCOLOR, "PR_FONTLINKCOLOR", "リンクの色", ptInt, acRW, MES, 0},
    {PR_FONTBORDERCOLOR, "PR_FONTBORDERCOLOR", "フォントの縁の色", ptInt, acRW, MENU | MES, 0},
    {PR_FONTHOVERCOLOR, "PR_FONTHOVERCOLOR", "マウスオーバー時の\r\nフォント色", ptInt, acRW,
     MENU | MES, 0},
    {PR_FONTHOVERSTYLE, "PR_FONTHOVERSTYLE", "マウスオーバー時の\r\nフォントスタイル", ptInt, acRW,
     MENU, 0},
    {PR_HOVERCOLOR, "PR_HOVERCOLOR", "マウスオーバー時の色", ptInt, acRW, MENU, 0},
    {PR_ANTIALIAS, "PR_ANTIALIAS", "アンチエイリアス", ptFlag, acRW,
     BUTTON | IMAGES | LABEL | MENU | MES | VIDEO | TILE, 0},
    {PR_DELAY, "PR_DELAY", "ウエイト", ptInt, acRW,
     MENU | MES | TIMER | VIDEO | SOUND | WAVE | GAUGE, 0},
    {PR_PAUSED, "PR_PAUSED", "停止", ptFlag, acRW,
     BOX | BUTTON | CINEMA | EDIT | FIRE | IMAGES | LABEL | MEMO | MENU | MES | PARTICLE | VIDEO |
         MAPIMG | WAVE | TILE | SLIDER | SCROLLBAR | GAUGE | CGLABEL | PREVMENU,
     0},
    {PR_VOLUME, "PR_VOLUME", "音量", ptInt, acRW, CINEMA | VIDEO | SOUND, 0},
    {PR_REPEAT, "PR_REPEAT", "リピート", ptFlag, acRW,
     BOX | BUTTON | CINEMA | IMAGES | LABEL | VIDEO | SOUND, MAPIMG | TILE},
    {PR_BALANCE, "PR_BALANCE", "バランス", ptInt, acRW, VIDEO | SOUND, 0},
    {PR_ANGLE, "PR_ANGLE", "角度", ptInt, acRW, BUTTON | IMAGES | LABEL | VIDEO | TILE, 0},
    {PR_ONPLAYING, "PR_ONPLAYING", "再生中", ptStr, acRW, MES, 0},
    {PR_ONNOTIFY, "PR_ONNOTIFY", "汎用イベント", ptStr, acRW,
     BUTTON | EDIT | MEMO | MES | TIMER | SLIDER | SCROLLBAR, 0},
    {PR_ONMOUSEMOVE, "PR_ONMOUSEMOVE", "マウス移動", ptStr, acRW, kControls, 0},
    {PR_ONMOUSEOUT, "PR_ONMOUSEOUT", "マウスアウト", ptStr, acRW, kControls, 0},
    {PR_ONLBTNDOWN, "PR_ONLBTNDOWN", "左ボタンダウン", ptStr, acRW, kControls, 0},
    {PR_ONLBTNUP, "PR_ONLBTNUP", "左ボタンアップ", ptStr, acRW, kControls, 0},
    {PR_ONRBTNDOWN, "PR_ONRBTNDOWN", "右ボタンダウン", ptStr, acRW, kControls, 0},
    {PR_ONRBTNUP, "PR_ONRBTNUP", "右ボタンアップ", ptStr, acRW, kControls, 0},
    {PR_ONWHEELDOWN, "PR_ONWHEELDOWN", "ホイールダウン", ptStr, acRW, kControls, 0},
    {PR_ONWHEELUP, "PR_ONWHEELUP", "ホイールアップ", ptStr, acRW, kControls, 0},
    {PR_BRIGHTNESS, "PR_BRIGHTNESS", "明るさ", ptInt, acRW, BUTTON | IMAGES | MAPIMG | TILE, 0},
    {PR_ONPLAYEND, "PR_ONPLAYEND", "再生終了", ptStr, acRW,
     BOX | BUTTON | CINEMA | HTTP | IMAGES | LABEL | MES | VIDEO | SOUND | PREVMENU, 0},
    {PR_INDEX, "PR_INDEX", "インデックス", ptInt, acRW,
     BUTTON | CINEMA | IMAGES | MENU | MES | PARTICLE | VIDEO | SOUND | TILE, 0},
    {PR_COUNT, "PR_COUNT", "カウント", ptInt, acR,
     BUTTON | CINEMA | IMAGES | MENU | MES | VIDEO | SOUND | TILE | PREVMENU, 0},
    {PR_ONLINK, "PR_ONLINK", "リンク", ptStr, acRW, MES, 0},
    {PR_VISIBLE, "PR_VISIBLE", "可視", ptFlag, acRW, kControls, 0},
    {PR_COLCOUNT, "PR_COLCOUNT", "列数", ptInt, acRW, 0, 0},
    {PR_ROWCOUNT, "PR_ROWCOUNT", "行数", ptInt, acRW, MENU, 0},
    {PR_TEXT, "PR_TEXT", "テキスト", ptStr, acRW,
     BUTTON | EDIT | LABEL | MEMO | MENU | MES | CGLABEL, HTTP | PREVMENU},
    {PR_MARGINX, "PR_MARGINX", "左右の余白", ptInt, acRW, MENU, 0},
    {PR_MARGINY, "PR_MARGINY", "上下の余白", ptInt, acRW, MENU, 0},
    {PR_HALIGN, "PR_HALIGN", "横の揃え", ptInt, acRW, LABEL | MEMO | MENU | CGLABEL, 0},
    {PR_BORDERSOURCETL, "PR_BORDERSOURCETL", "枠画像(左上)", ptStr, acRW, MENU, 0},
    {PR_BORDERSOURCETC, "PR_BORDERSOURCETC", "枠画像(上)", ptStr, acRW, MENU, 0},
    {PR_BORDERSOURCETR, "PR_BORDERSOURCETR", "枠画像(右上)", ptStr, acRW, MENU, 0},
    {PR_BORDERSOURCECL, "PR_BORDERSOURCECL", "枠画像(左)", ptStr, acRW, MENU, 0},
    {PR_BORDERSOURCECC, "PR_BORDERSOURCECC", "枠画像(背景)", ptStr, acRW, MENU, 0},
    {PR_BORDERSOURCECR, "PR_BORDERSOURCECR", "枠画像(右)", ptStr, acRW, MENU, 0},
    {PR_BORDERSOURCEBL, "PR_BORDERSOURCEBL", "枠画像(左下)", ptStr, acRW, MENU, 0},
    {PR_BORDERSOURCEBC, "PR_BORDERSOURCEBC", "枠画像(下)", ptStr, acRW, MENU, 0},
    {PR_BORDERSOURCEBR, "PR_BORDERSOURCEBR", "枠画像(右下)", ptStr, acRW, MENU, 0},
    {PR_BORDERHALIGNT, "PR_BORDERHALIGNT", "枠横揃え(上)", ptInt, acRW, MENU, 0},
    {PR_BORDERHALIGNC, "PR_BORDERHALIGNC", "枠横揃え(背景)", ptInt, acRW, MENU, 0},
    {PR_BORDERHALIGNB, "PR_BORDERHALIGNB", "枠横揃え(下)", ptInt, acRW, MENU, 0},
    {PR_BORDERVALIGNL, "PR_BORDERVALIGNL", "枠縦揃え(左)", ptInt, acRW, MENU, 0},
    {PR_BORDERVALIGNC, "PR_BORDERVALIGNC", "枠縦揃え(背景)", ptInt, acRW, MENU, 0},
    {PR_BORDERVALIGNR, "PR_BORDERVALIGNR", "枠縦揃え(右)", ptInt, acRW, MENU, 0},
    {PR_SCROLLSOURCE, "PR_SCROLLSOURCE", "スクロールバー画像", ptStr, acRW, MENU, 0},
    {PR_CHECKSOURCE, "PR_CHECKSOURCE", "チェック画像", ptStr, acRW, MENU, 0},
    {PR_AUTOSCRAP, "PR_AUTOSCRAP", "自動破棄", ptFlag, acRW,
     BOX | BUTTON | CINEMA | IMAGES | LABEL | MENU | TIMER | VIDEO | SOUND | MAPIMG | PREVMENU, 0},
    {PR_ONSELECT, "PR_ONSELECT", "選択", ptStr, acRW, MENU | MAPIMG | PREVMENU, 0},
    {PR_RCLICKSCRAP, "PR_RCLICKSCRAP", "右クリックで破棄", ptFlag, acRW, MENU | MAPIMG | PREVMENU,
     0},
    {PR_ONOPENING, "PR_ONOPENING", "オープン前", ptStr, acRW, MENU, 0},
    {PR_ONOPENED, "PR_ONOPENED", "オープン後", ptStr, acRW, MENU, 0},
    {PR_ONCLOSING, "PR_ONCLOSING", "クローズ前", ptStr, acRW, MENU, 0},
    {PR_ONCLOSED, "PR_ONCLOSED", "クローズ後", ptStr, acRW, MENU, 0},
    {PR_CARETX, "PR_CARETX", "キャレットX", ptInt, acR, MES, 0},
    {PR_CARETY, "PR_CARETY", "キャレットY", ptInt, acR, MES, 0},
    {PR_IGNOREMOUSE, "PR_IGNOREMOUSE", "マウス透過", ptInt, acRW, kControls, 0},
    {PR_TEXTPAUSED, "PR_TEXTPAUSED", "テキスト一時停止", ptFlag, acRW, MES, 0},
    {PR_TEXTDELAY, "PR_TEXTDELAY", "テキストウエイト率", ptInt, acRW, MES, 0},
    {PR_HOVERSOURCE, "PR_HOVERSOURCE", "マウスオーバー時の\r\n画像", ptStr, acRW, BUTTON | MAPIMG,
     0},
    {PR_PRESSEDSOURCE, "PR_PRESSEDSOURCE", "押された時の画像", ptStr, acRW, BUTTON, 0},
    {PR_GROUPINDEX, "PR_GROUPINDEX", "グループ番号", ptInt, acRW, BUTTON, 0},
    {PR_ALLOWALLUP, "PR_ALLOWALLUP", "全解除許可", ptFlag, acRW, BUTTON, 0},
    {PR_SELECTED, "PR_SELECTED", "選択", ptFlag, acRW, BUTTON, 0},
    {PR_CAPTUREMASK, "PR_CAPTUREMASK", "マウス位置を\r\nマスクで判断", ptFlag, acRW,
     BUTTON | IMAGES | VIDEO | TILE | SLIDER | SCROLLBAR, 0},
    {PR_POWER, "PR_POWER", "強さ", ptInt, acRW, FIRE, 0},
    {PR_ORIGWIDTH, "PR_ORIGWIDTH", "元の幅", ptInt, acRW, FIRE,
     BUTTON | IMAGES | VIDEO | TILE | CGLABEL},
    {PR_ORIGHEIGHT, "PR_ORIGHEIGHT", "元の高さ", ptInt, acRW, FIRE,
     BUTTON | IMAGES | MENU | VIDEO | TILE | CGLABEL},
    {PR_APPEARX, "PR_APPEARX", "X発生座標", ptInt, acSetError, 0, 0},
    {PR_APPEARY, "PR_APPEARY", "Y発生座標", ptInt, acSetError, 0, 0},
    {PR_PARTMOTION, "PR_PARTMOTION", "動作タイプ", ptInt, acRW, PARTICLE, 0},
    {PR_PARAM1, "PR_PARAM1", "パラメータ1", ptReal, acRW, PARTICLE, 0},
    {PR_PARAM2, "PR_PARAM2", "パラメータ2", ptReal, acRW, PARTICLE, 0},
    {PR_TOPINDEX, "PR_TOPINDEX", "最上部インデックス", ptInt, acRW, MENU, 0},
    {PR_READONLY, "PR_READONLY", "編集禁止", ptFlag, acRW, EDIT | MEMO, 0},
    {PR_CURSOR, "PR_CURSOR", "カーソル", ptStr, acRW, kControls, 0},
    {PR_POSZOOMED, "PR_POSZOOMED", "ズーム座標", ptFlag, acRW, kControls, 0},
    {PR_ONPLAYSTART, "PR_ONPLAYSTART", "再生開始", ptStr, acRW, MES, 0},
    {PR_PARAM3, "PR_PARAM3", "パラメータ3", ptReal, acRW, PARTICLE, 0},
    {PR_ONMOUSEIN, "PR_ONMOUSEIN", "マウスイン", ptStr, acRW, kControls, 0},
    {PR_ONMAPIN, "PR_ONMAPIN", "マップイン", ptStr, acRW, MENU | MAPIMG | PREVMENU, 0},
    {PR_ONMAPOUT, "PR_ONMAPOUT", "マップアウト", ptStr, acRW, MENU | MAPIMG | PREVMENU, 0},
    {PR_MAPSOURCE, "PR_MAPSOURCE", "マップ", ptStr, acRW, MAPIMG, 0},
    {PR_AMP, "PR_AMP", "振幅", ptInt, acRW, WAVE, 0},
    {PR_WAVELEN, "PR_WAVELEN", "波長", ptInt, acRW, WAVE, 0},
    {PR_SCROLLX, "PR_SCROLLX", "スクロールX", ptInt, acRW, TILE, 0},
    {PR_SCROLLY, "PR_SCROLLY", "スクロールY", ptInt, acRW, MES | TILE, 0},
    {PR_FLIPH, "PR_FLIPH", "横反転", ptFlag, acRW, BUTTON | IMAGES | LABEL | VIDEO | TILE, 0},
    {PR_FLIPV, "PR_FLIPV", "縦反転", ptFlag, acRW, BUTTON | IMAGES | LABEL | VIDEO | TILE, 0},
    {PR_ONIDLE, "PR_ONIDLE", "アイドル", ptStr, acRW,
     BOX | BUTTON | CINEMA | FIRE | IMAGES | LABEL | MENU | MES | PARTICLE | VIDEO | MAPIMG | WAVE |
         TILE | SLIDER | SCROLLBAR | GAUGE | CGLABEL | PREVMENU,
     0},
    {PR_DISTANCEX, "PR_DISTANCEX", "横の間隔", ptInt, acRW, TILE, 0},
    {PR_DISTANCEY, "PR_DISTANCEY", "縦の間隔", ptInt, acRW, TILE, 0},
    {PR_CLIPLEFT, "PR_CLIPLEFT", "クリップX", ptInt, acRW, kControls, 0},
    {PR_CLIPTOP, "PR_CLIPTOP", "クリップY", ptInt, acRW, kControls, 0},
    {PR_CLIPWIDTH, "PR_CLIPWIDTH", "クリップ幅", ptInt, acRW, kControls, 0},
    {PR_CLIPHEIGHT, "PR_CLIPHEIGHT", "クリップ高さ", ptInt, acRW, kControls, 0},
    {PR_DURATION, "PR_DURATION", "持続時間", ptInt, acRW, PARTICLE | GAUGE, 0},
    {PR_THUMBSOURCE, "PR_THUMBSOURCE", "つまみ画像", ptStr, acRW, SLIDER | SCROLLBAR, 0},
    {PR_BUTTONSOURCE, "PR_BUTTONSOURCE", "ボタン画像", ptStr, acRW, SLIDER | SCROLLBAR, 0},
    {PR_MIN, "PR_MIN", "最小値", ptInt, acRW, SLIDER | SCROLLBAR | GAUGE, 0},
    {PR_MAX, "PR_MAX", "最大値", ptInt, acRW, SLIDER | SCROLLBAR | GAUGE, 0},
    {PR_VALUE, "PR_VALUE", "値", ptInt, acRW, SLIDER | SCROLLBAR | GAUGE, 0},
    {PR_ORIENTATION, "PR_ORIENTATION", "方向", ptInt, acRW, SLIDER | SCROLLBAR | GAUGE, 0},
    {PR_SMALLCHANGE, "PR_SMALLCHANGE", "変化量", ptInt, acRW, SLIDER | SCROLLBAR, 0},
    {PR_LARGECHANGE, "PR_LARGECHANGE", "大きい変化量", ptInt, acRW, SCROLLBAR, 0},
    {PR_MAPTEXT, "PR_MAPTEXT", "マップテキスト", ptStr, acRW, CGLABEL, 0},
    {PR_GLYPHWIDTH, "PR_GLYPHWIDTH", "１個の幅", ptInt, acRW, CGLABEL, 0},
    {PR_GLYPHHEIGHT, "PR_GLYPHHEIGHT", "１個の高さ", ptInt, acRW, CGLABEL, 0},
    {PR_ZOOMY, "PR_ZOOMY", "ズームY", ptInt, acRW, BUTTON | FIRE | IMAGES | LABEL | VIDEO | TILE,
     0},
    {PR_CLICKEDSOURCE, "PR_CLICKEDSOURCE", "クリック後の画像", ptStr, acRW, BUTTON, 0},
    {PR_ANIPAUSED, "PR_ANIPAUSED", "動画停止", ptFlag, acRW,
     BOX | BUTTON | CINEMA | EDIT | FIRE | IMAGES | LABEL | MEMO | MENU | MES | PARTICLE | VIDEO |
         SOUND | MAPIMG | WAVE | TILE | SLIDER | SCROLLBAR | GAUGE | CGLABEL | PREVMENU | CABINET,
     0},
    {PR_ONHOLD, "PR_ONHOLD", "ホールド", ptStr, acRW, SLIDER | SCROLLBAR, 0},
    {PR_ONRELEASE, "PR_ONRELEASE", "リリース", ptStr, acRW, SLIDER | SCROLLBAR, 0},
    {PR_REVERSE, "PR_REVERSE", "逆方向", ptFlag, acRW, GAUGE, 0},
    {PR_PLAYING, "PR_PLAYING", "再生中", ptFlag, acR,
     BOX | BUTTON | CINEMA | EDIT | FIRE | IMAGES | LABEL | MEMO | MENU | MES | PARTICLE | VIDEO |
         SOUND | MAPIMG | WAVE | TILE | SLIDER | SCROLLBAR | GAUGE | CGLABEL | PREVMENU |
         PROPMOTION | CABINET,
     0},
    {PR_REWINDONLOAD, "PR_REWINDONLOAD", "ロード時巻き戻し", ptFlag, acRW, CINEMA | VIDEO | SOUND,
     0},
    {PR_COMPOTYPE, "PR_COMPOTYPE", "コンポーネントの種類", ptInt, acR, kEvery, 0},
    {PR_FONTSHADOWCOLOR, "PR_FONTSHADOWCOLOR", "フォントの影の色", ptInt, acRW, MENU | MES, 0},
    {PR_FONTBORDER, "PR_FONTBORDER", "フォントの縁の幅", ptInt, acRW, MENU | MES, 0},
    {PR_FONTSHADOW, "PR_FONTSHADOW", "フォントの影の位置", ptInt, acRW, MENU | MES, 0},
    {PR_ONKEYDOWN, "PR_ONKEYDOWN", "キーダウン", ptStr, acRW, kControls, 0},
    {PR_ONKEYUP, "PR_ONKEYUP", "キーアップ", ptStr, acRW, kControls, 0},
    {PR_ONKEYREPEAT, "PR_ONKEYREPEAT", "キーリピート", ptStr, acRW, kControls, 0},
    {PR_HANDLEKEY, "PR_HANDLEKEY", "キー処理", ptFlag, acRW, kControls, 0},
    {PR_ONFOCUSIN, "PR_ONFOCUSIN", "フォーカスイン", ptStr, acRW, kControls, 0},
    {PR_ONFOCUSOUT, "PR_ONFOCUSOUT", "フォーカスアウト", ptStr, acRW, kControls, 0},
    {PR_OVERLAY, "PR_OVERLAY", "オーバーレイ", ptFlag, acRW, VIDEO, 0},
    {PR_TAG, "PR_TAG", "タグ", ptStr, acRW, kEvery, 0},
    {PR_CAPTURELINK, "PR_CAPTURELINK", "マウス判定を\r\nリンク文字のみ", ptFlag, acRW, MES, 0},
    {PR_FONTHOVERBORDER, "PR_FONTHOVERBORDER", "マウスオーバー時の\r\nフォントの縁の幅", ptInt,
     acRW, MENU, 0},
    {PR_FONTHOVERBORDERCOLOR, "PR_FONTHOVERBORDERCOLOR", "マウスオーバー時の\r\nフォントの縁の色",
     ptInt, acRW, MENU, 0},
    {PR_FONTHOVERSHADOW, "PR_FONTHOVERSHADOW", "マウスオーバー時の\r\nフォントの影の位置", ptInt,
     acRW, MENU, 0},
    {PR_FONTHOVERSHADOWCOLOR, "PR_FONTHOVERSHADOWCOLOR", "マウスオーバー時の\r\nフォントの影の色",
     ptInt, acRW, MENU, 0},
    {PR_BARSIZE, "PR_BARSIZE", "バーの長さ", ptInt, acRW, SLIDER | SCROLLBAR | GAUGE, 0},
    {PR_MUTEONLOAD, "PR_MUTEONLOAD", "ロード時ミュート", ptFlag, acRW, CINEMA | VIDEO | SOUND, 0},
    {PR_PLUSX, "PR_PLUSX", "X座標加算値", ptInt, acRW, kControls, 0},
    {PR_PLUSY, "PR_PLUSY", "Y座標加算値", ptInt, acRW, kControls, 0},
    {PR_CARETHEIGHT, "PR_CARETHEIGHT", "キャレットの高さ", ptInt, acR, MES, 0},
    {PR_REPEATPOS, "PR_REPEATPOS", "リピート位置", ptInt, acRW, SOUND, 0},
    {PR_BLURSPAN, "PR_BLURSPAN", "残像発生時間", ptInt, acRW, BOX | BUTTON | IMAGES | VIDEO | TILE,
     0},
    {PR_BLURDELAY, "PR_BLURDELAY", "残像消滅時間", ptInt, acRW,
     BOX | BUTTON | IMAGES | VIDEO | TILE, 0},
    {PR_FONTCHANGEABLED, "PR_FONTCHANGEABLED", "フォント変更可", ptFlag, acRW, MES, 0},
    {PR_IMEMODE, "PR_IMEMODE", "IMEモード", ptInt, acRW, EDIT | MEMO, 0},
    {PR_FLOATANGLE, "PR_FLOATANGLE", "角度(実数)", ptReal, acRW,
     BUTTON | IMAGES | LABEL | VIDEO | TILE, 0},
    {PR_FLOATZOOMX, "PR_FLOATZOOMX", "ズームX(実数)", ptReal, acRW,
     BUTTON | FIRE | IMAGES | LABEL | VIDEO | TILE, 0},
    {PR_FLOATZOOMY, "PR_FLOATZOOMY", "ズームY(実数)", ptReal, acRW,
     BUTTON | FIRE | IMAGES | LABEL | VIDEO | TILE, 0},
}};

} // namespace

bool IsValidPropId(int id) { return id >= 0 && id < kNovaPropCount; }

const TPropInfo& PropInfo(int id) { return kProps[static_cast<size_t>(id)]; }

bool KindReads(uint8_t kind, int id) {
  if (kind >= kNovaKindCount)
    return false;
  const TPropInfo& p = kProps[static_cast<size_t>(id)];
  return ((p.kinds | p.read_kinds) & K(kind)) != 0;
}

bool KindWrites(uint8_t kind, int id) {
  if (kind >= kNovaKindCount)
    return false;
  const TPropInfo& p = kProps[static_cast<size_t>(id)];
  return p.access == acRW && (p.kinds & K(kind)) != 0;
}

const std::string& KindCaption(uint8_t kind) {
  return SceneText(kind < kNovaKindCount ? static_cast<TSceneTextId>(kind) : stKindNone);
}

int PropIdByName(const std::string& name) {
  for (const TPropInfo& p : kProps)
    if (name == p.name)
      return p.id;
  return -1;
}

} // namespace nova
