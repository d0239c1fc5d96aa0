// SPDX-License-Identifier: MIT
// Numbered component kinds, properties and the small value vocabularies of the scene.
#pragma once
#include <algorithm>
#include <climits>
#include <cstdint>

namespace nova {

// Component kinds; the byte written before every component in saved scenes.
enum TNovaKind : uint8_t {
  LT_NONE = 0,
  LT_AUDIO = 1,
  LT_BOX = 2,
  LT_BUTTON = 3,
  LT_CINEMA = 4,
  LT_EDIT = 5,
  LT_FIRE = 6,
  LT_HTTP = 7,
  LT_IMAGES = 8,
  LT_LABEL = 9,
  LT_MAP = 10,
  LT_MEMO = 11,
  LT_MENU = 12,
  LT_MES = 13,
  LT_PARTICLE = 14,
  LT_TIMER = 15,
  LT_VIDEO = 16,
  LT_SOUND = 17,
  LT_MAPIMG = 18,
  LT_WAVE = 19,
  LT_TILE = 20,
  LT_SLIDER = 21,
  LT_SCROLLBAR = 22,
  LT_GAUGE = 23,
  LT_CGLABEL = 24,
  LT_PREVMENU = 25,
  LT_PROPMOTION = 26,
  LT_CABINET = 27,
};
constexpr int kNovaKindCount = 28;

// Component properties, ids 0 to 169.
enum TNovaProp : uint8_t {
  PR_NAME = 0,
  PR_PARENT = 1,
  PR_SOURCE = 2,
  PR_LEFT = 3,
  PR_TOP = 4,
  PR_WIDTH = 5,
  PR_HEIGHT = 6,
  PR_ZOOMX = 7,
  PR_COLOR = 8,
  PR_BORDERWIDTH = 9,
  PR_BORDERCOLOR = 10,
  PR_ALPHA = 11,
  PR_PRIORITY = 12,
  PR_OFFSETX = 13,
  PR_OFFSETY = 14,
  PR_FONTNAME = 15,
  PR_FONTHEIGHT = 16,
  PR_FONTSTYLE = 17,
  PR_LINESPACE = 18,
  PR_FONTCOLOR = 19,
  PR_FONTLINKCOLOR = 20,
  PR_FONTBORDERCOLOR = 21,
  PR_FONTHOVERCOLOR = 22,
  PR_FONTHOVERSTYLE = 23,
  PR_HOVERCOLOR = 24,
  PR_ANTIALIAS = 25,
  PR_DELAY = 26,
  PR_PAUSED = 27,
  PR_VOLUME = 28,
  PR_REPEAT = 29,
  PR_BALANCE = 30,
  PR_ANGLE = 31,
  PR_ONPLAYING = 32,
  PR_ONNOTIFY = 33,
  PR_ONMOUSEMOVE = 34,
  PR_ONMOUSEOUT = 35,
  PR_ONLBTNDOWN = 36,
  PR_ONLBTNUP = 37,
  PR_ONRBTNDOWN = 38,
  PR_ONRBTNUP = 39,
  PR_ONWHEELDOWN = 40,
  PR_ONWHEELUP = 41,
  PR_BRIGHTNESS = 42,
  PR_ONPLAYEND = 43,
  PR_INDEX = 44,
  PR_COUNT = 45,
  PR_ONLINK = 46,
  PR_VISIBLE = 47,
  PR_COLCOUNT = 48,
  PR_ROWCOUNT = 49,
  PR_TEXT = 50,
  PR_MARGINX = 51,
  PR_MARGINY = 52,
  PR_HALIGN = 53,
  PR_BORDERSOURCETL = 54,
  PR_BORDERSOURCETC = 55,
  PR_BORDERSOURCETR = 56,
  PR_BORDERSOURCECL = 57,
  PR_BORDERSOURCECC = 58,
  PR_BORDERSOURCECR = 59,
  PR_BORDERSOURCEBL = 60,
  PR_BORDERSOURCEBC = 61,
  PR_BORDERSOURCEBR = 62,
  PR_BORDERHALIGNT = 63,
  PR_BORDERHALIGNC = 64,
  PR_BORDERHALIGNB = 65,
  PR_BORDERVALIGNL = 66,
  PR_BORDERVALIGNC = 67,
  PR_BORDERVALIGNR = 68,
  PR_SCROLLSOURCE = 69,
  PR_CHECKSOURCE = 70,
  PR_AUTOSCRAP = 71,
  PR_ONSELECT = 72,
  PR_RCLICKSCRAP = 73,
  PR_ONOPENING = 74,
  PR_ONOPENED = 75,
  PR_ONCLOSING = 76,
  PR_ONCLOSED = 77,
  PR_CARETX = 78,
  PR_CARETY = 79,
  PR_IGNOREMOUSE = 80,
  PR_TEXTPAUSED = 81,
  PR_TEXTDELAY = 82,
  PR_HOVERSOURCE = 83,
  PR_PRESSEDSOURCE = 84,
  PR_GROUPINDEX = 85,
  PR_ALLOWALLUP = 86,
  PR_SELECTED = 87,
  PR_CAPTUREMASK = 88,
  PR_POWER = 89,
  PR_ORIGWIDTH = 90,
  PR_ORIGHEIGHT = 91,
  PR_APPEARX = 92,
  PR_APPEARY = 93,
  PR_PARTMOTION = 94,
  PR_PARAM1 = 95,
  PR_PARAM2 = 96,
  PR_TOPINDEX = 97,
  PR_READONLY = 98,
  PR_CURSOR = 99,
  PR_POSZOOMED = 100,
  PR_ONPLAYSTART = 101,
  PR_PARAM3 = 102,
  PR_ONMOUSEIN = 103,
  PR_ONMAPIN = 104,
  PR_ONMAPOUT = 105,
  PR_MAPSOURCE = 106,
  PR_AMP = 107,
  PR_WAVELEN = 108,
  PR_SCROLLX = 109,
  PR_SCROLLY = 110,
  PR_FLIPH = 111,
  PR_FLIPV = 112,
  PR_ONIDLE = 113,
  PR_DISTANCEX = 114,
  PR_DISTANCEY = 115,
  PR_CLIPLEFT = 116,
  PR_CLIPTOP = 117,
  PR_CLIPWIDTH = 118,
  PR_CLIPHEIGHT = 119,
  PR_DURATION = 120,
  PR_THUMBSOURCE = 121,
  PR_BUTTONSOURCE = 122,
  PR_MIN = 123,
  PR_MAX = 124,
  PR_VALUE = 125,
  PR_ORIENTATION = 126,
  PR_SMALLCHANGE = 127,
  PR_LARGECHANGE = 128,
  PR_MAPTEXT = 129,
  PR_GLYPHWIDTH = 130,
  PR_GLYPHHEIGHT = 131,
  PR_ZOOMY = 132,
  PR_CLICKEDSOURCE = 133,
  PR_ANIPAUSED = 134,
  PR_ONHOLD = 135,
  PR_ONRELEASE = 136,
  PR_REVERSE = 137,
  PR_PLAYING = 138,
  PR_REWINDONLOAD = 139,
  PR_COMPOTYPE = 140,
  PR_FONTSHADOWCOLOR = 141,
  PR_FONTBORDER = 142,
  PR_FONTSHADOW = 143,
  PR_ONKEYDOWN = 144,
  PR_ONKEYUP = 145,
  PR_ONKEYREPEAT = 146,
  PR_HANDLEKEY = 147,
  PR_ONFOCUSIN = 148,
  PR_ONFOCUSOUT = 149,
  PR_OVERLAY = 150,
  PR_TAG = 151,
  PR_CAPTURELINK = 152,
  PR_FONTHOVERBORDER = 153,
  PR_FONTHOVERBORDERCOLOR = 154,
  PR_FONTHOVERSHADOW = 155,
  PR_FONTHOVERSHADOWCOLOR = 156,
  PR_BARSIZE = 157,
  PR_MUTEONLOAD = 158,
  PR_PLUSX = 159,
  PR_PLUSY = 160,
  PR_CARETHEIGHT = 161,
  PR_REPEATPOS = 162,
  PR_BLURSPAN = 163,
  PR_BLURDELAY = 164,
  PR_FONTCHANGEABLED = 165,
  PR_IMEMODE = 166,
  PR_FLOATANGLE = 167,
  PR_FLOATZOOMX = 168,
  PR_FLOATZOOMY = 169,
};
constexpr int kNovaPropCount = 170;

// How a control treats the mouse (PR_IGNOREMOUSE).
enum TIgnoreMouse : uint8_t { IM_NONE = 0, IM_ALL = 1, IM_CLICK = 2, IM_LCLICK = 3, IM_RCLICK = 4 };
// Accept sets of hit testing: bit sets over the IM_ values.
constexpr uint32_t kAcceptLeftPress = (1u << IM_NONE) | (1u << IM_RCLICK);  // 17
constexpr uint32_t kAcceptRightPress = (1u << IM_NONE) | (1u << IM_LCLICK); // 9
constexpr uint32_t kAcceptHover =
    (1u << IM_NONE) | (1u << IM_CLICK) | (1u << IM_LCLICK) | (1u << IM_RCLICK); // 29

enum TFontStyleBit : uint8_t { FS_BOLD = 1, FS_ITALIC = 2, FS_UNDERLINE = 4, FS_STRIKEOUT = 8 };
enum THAlign : uint8_t { HA_LEFT = 0, HA_CENTER = 1, HA_RIGHT = 2 };
enum TVAlign : uint8_t { VA_TOP = 0, VA_CENTER = 1, VA_BOTTOM = 2 };
enum TOrientation : uint8_t { OT_HORIZONTAL = 0, OT_VERTICAL = 1 };
enum TPartMotion : uint8_t { PM_NONE = 0, PM_SNOW = 1, PM_STAR = 2, PM_FLUFF = 3, PM_TWISTER = 4 };

// Key codes beyond the 256 virtual keys: the wheel as two pseudo keys.
constexpr int VkmWheelDown = 256;
constexpr int VkmWheelUp = 257;

// A rectangle with exclusive right and bottom edges.
struct TSceneRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  // Saturates: positions and sizes come from scripts.
  static TSceneRect FromSize(int32_t x, int32_t y, int32_t w, int32_t h) {
    auto sat = [](int64_t v) {
      return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return {x, y, sat(int64_t{x} + w), sat(int64_t{y} + h)};
  }
  int32_t Width() const {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{Right} - Left, INT32_MIN, INT32_MAX));
  }
  int32_t Height() const {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{Bottom} - Top, INT32_MIN, INT32_MAX));
  }
  bool Empty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(int32_t x, int32_t y) const {
    return x >= Left && x < Right && y >= Top && y < Bottom;
  }
  bool Inside(const TSceneRect& outer) const {
    return Left >= outer.Left && Top >= outer.Top && Right <= outer.Right && Bottom <= outer.Bottom;
  }
  TSceneRect Intersect(const TSceneRect& o) const {
    return {std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right),
            std::min(Bottom, o.Bottom)};
  }
  // Grown by d on every side, saturating.
  TSceneRect Inflate(int32_t d) const {
    auto sat = [](int64_t v) {
      return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return {sat(int64_t{Left} - d), sat(int64_t{Top} - d), sat(int64_t{Right} + d),
            sat(int64_t{Bottom} + d)};
  }
  TSceneRect Union(const TSceneRect& o) const {
    return {std::min(Left, o.Left), std::min(Top, o.Top), std::max(Right, o.Right),
            std::max(Bottom, o.Bottom)};
  }
  bool operator==(const TSceneRect&) const = default;
};

} // namespace nova
