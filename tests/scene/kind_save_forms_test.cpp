// SPDX-License-Identifier: MIT
// The saved form of the timed, media, caption, gauge, slider, edit and effect kinds: round
// trips, the layouts of older data versions, and damaged records.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "expr/build_parser.h"
#include "media_fixture.h"
#include "scene_fixture.h"

namespace nova::test {
namespace {

constexpr int kNewest = 143;

using Props = std::vector<std::pair<int, TPropValue>>;

TPropValue I(int32_t v) { return TPropValue::Int(v); }
TPropValue F(bool v) { return TPropValue::Flag(v); }
TPropValue S(const std::string& v) { return TPropValue::Str(v); }
TPropValue R(long double v) { return TPropValue::Real(v); }

std::vector<uint8_t> SaveOf(const TNovaObject& obj) {
  BinaryWriter w;
  obj.Save(w);
  return w.Take();
}

// A fresh component of the kind loaded from `bytes`.
TNovaObject* LoadNew(TNovaBaseList& list, uint8_t kind, const std::vector<uint8_t>& bytes,
                     int version) {
  TNovaObject* obj = CreateByKind(&list, kind);
  BinaryReader r(bytes, "save.dat GAMESAVEDATA0");
  obj->Load(r, version);
  EXPECT_TRUE(r.at_end()) << "kind " << int(kind) << " version " << version;
  return obj;
}

// Every kind of this group with values unlike its start values, set through properties.
struct KindCase {
  uint8_t kind;
  Props props;
};

std::vector<KindCase> Cases() {
  return {
      {LT_TIMER, {{PR_ONNOTIFY, S("tick:L")}, {PR_DELAY, I(250)}, {PR_AUTOSCRAP, F(true)}}},
      {LT_SOUND,
       {{PR_SOURCE, S("bgm.ogg")},
        {PR_REPEAT, F(true)},
        {PR_VOLUME, I(640)},
        {PR_BALANCE, I(-300)},
        {PR_DELAY, I(700)},
        {PR_ONPLAYEND, S("end")},
        {PR_AUTOSCRAP, F(true)},
        {PR_REWINDONLOAD, F(true)},
        {PR_MUTEONLOAD, F(false)},
        {PR_REPEATPOS, I(1234)}}},
      {LT_PROPMOTION, {{PR_TAG, S("pm")}}},
      // The fetcher saves nothing of its own: a loaded one has no URL and no handler.
      {LT_HTTP, {{PR_TAG, S("web")}}},
      {LT_CABINET, {{PR_TAG, S("cab")}}},
      {LT_VIDEO,
       {{PR_SOURCE, S("op.mpg")},
        {PR_REPEAT, F(true)},
        {PR_AUTOSCRAP, F(true)},
        {PR_PAUSED, F(true)},
        {PR_VOLUME, I(300)},
        {PR_BALANCE, I(20)},
        {PR_DELAY, I(40)},
        {PR_ONPLAYEND, S("vend")},
        {PR_ONIDLE, S("vidle")},
        {PR_REWINDONLOAD, F(true)},
        {PR_OVERLAY, F(false)},
        {PR_ALPHA, I(200)}}},
      {LT_CINEMA,
       {{PR_SOURCE, S("film.nmt")},
        {PR_REPEAT, F(true)},
        {PR_PAUSED, F(true)},
        {PR_AUTOSCRAP, F(true)},
        {PR_ONPLAYEND, S("cend")},
        {PR_ONIDLE, S("cidle")},
        {PR_REWINDONLOAD, F(true)},
        {PR_VOLUME, I(77)},
        {PR_MUTEONLOAD, F(false)}}},
      {LT_LABEL,
       {{PR_FONTNAME, S("")},
        {PR_FONTHEIGHT, I(20)},
        {PR_LINESPACE, I(3)},
        {PR_FONTSTYLE, I(FS_BOLD | FS_UNDERLINE)},
        {PR_ALPHA, I(300)},
        {PR_FONTCOLOR, I(0x123456)},
        {PR_HALIGN, I(HA_RIGHT)},
        {PR_ANTIALIAS, F(true)},
        {PR_FLIPH, F(true)},
        {PR_FLIPV, F(true)},
        {PR_FLOATANGLE, R(0.5L)},
        {PR_FLOATZOOMX, R(1.5L)},
        {PR_FLOATZOOMY, R(0.75L)},
        {PR_ONIDLE, S("lidle")},
        {PR_REPEAT, F(true)},
        {PR_AUTOSCRAP, F(true)},
        {PR_ONPLAYEND, S("lend")},
        {PR_PAUSED, F(true)}}},
      {LT_CGLABEL,
       {{PR_TEXT, S("12\r\n3")},
        {PR_MAPTEXT, S("0123456789")},
        {PR_GLYPHWIDTH, I(8)},
        {PR_GLYPHHEIGHT, I(10)},
        {PR_LINESPACE, I(2)},
        {PR_PAUSED, F(true)},
        {PR_HALIGN, I(HA_CENTER)},
        {PR_ALPHA, I(128)},
        {PR_ONIDLE, S("gidle")}}},
      {LT_GAUGE,
       {{PR_MIN, I(10)},
        {PR_MAX, I(90)},
        {PR_VALUE, I(40)},
        {PR_ALPHA, I(100)},
        {PR_PAUSED, F(true)},
        {PR_ORIENTATION, I(OT_VERTICAL)},
        {PR_DURATION, I(1000)},
        {PR_DELAY, I(500)},
        {PR_REVERSE, F(true)},
        {PR_ONIDLE, S("gauge")},
        {PR_BARSIZE, I(33)}}},
      {LT_SLIDER,
       {{PR_MIN, I(-5)},
        {PR_MAX, I(5)},
        {PR_VALUE, I(2)},
        {PR_SMALLCHANGE, I(2)},
        {PR_ALPHA, I(99)},
        {PR_PAUSED, F(true)},
        {PR_ORIENTATION, I(OT_VERTICAL)},
        {PR_ONNOTIFY, S("n")},
        {PR_ONHOLD, S("h")},
        {PR_ONRELEASE, S("r")},
        {PR_ONIDLE, S("i")},
        {PR_CAPTUREMASK, F(true)},
        {PR_BARSIZE, I(50)}}},
      {LT_SCROLLBAR, {{PR_MIN, I(1)}, {PR_MAX, I(3)}, {PR_LARGECHANGE, I(7)}}},
      {LT_EDIT,
       {{PR_PAUSED, F(true)},
        {PR_TEXT, S("typed")},
        {PR_FONTNAME, S("face")},
        {PR_FONTHEIGHT, I(18)},
        {PR_FONTSTYLE, I(FS_ITALIC)},
        {PR_FONTCOLOR, I(0xFF)},
        {PR_COLOR, I(0xFFFFFF)},
        {PR_READONLY, F(true)},
        {PR_ONNOTIFY, S("key")},
        {PR_IMEMODE, I(6)}}},
      {LT_MEMO, {{PR_TEXT, S("a\r\nb")}, {PR_HALIGN, I(2)}, {PR_IMEMODE, I(0)}}},
      {LT_PARTICLE,
       {{PR_SOURCE, S("snow.wsp")},
        {PR_PARTMOTION, I(PM_STAR)},
        {PR_PARAM1, R(1.25L)},
        {PR_PARAM2, R(-2.5L)},
        {PR_PARAM3, R(3.75L)},
        {PR_ALPHA, I(50)},
        {PR_INDEX, I(400)},
        {PR_ONIDLE, S("p")},
        {PR_PAUSED, F(true)},
        {PR_DURATION, I(3000)}}},
      {LT_FIRE,
       {{PR_POWER, I(128)},
        {PR_ORIGWIDTH, I(20)},
        {PR_ORIGHEIGHT, I(10)},
        {PR_FLOATZOOMX, R(2.0L)},
        {PR_FLOATZOOMY, R(1.5L)},
        {PR_ONIDLE, S("f")},
        {PR_PAUSED, F(true)}}},
      {LT_WAVE,
       {{PR_AMP, I(4)},
        {PR_WAVELEN, I(64)},
        {PR_DELAY, I(1000)},
        {PR_ONIDLE, S("w")},
        {PR_PAUSED, F(true)}}},
  };
}

void PrintTo(const KindCase& c, std::ostream* os) { *os << "kind " << int(c.kind); }

class KindSaveForms : public ::testing::TestWithParam<KindCase> {
protected:
  void SetUp() override { ResetRunState(); }
  // The fake media and films in `list`.
  void Serve(TNovaBaseList& list) {
    media.Serve(list);
    UseFakeFilms(list);
  }
  FakeMediaLibrary media;
};

TEST_P(KindSaveForms, RoundTripKeepsEveryProperty) {
  const KindCase& c = GetParam();
  TNovaBaseList list(200, 100), other(200, 100);
  Serve(list);
  Serve(other);
  TNovaObject* obj = CreateByKind(&list, c.kind);
  obj->SetName("x");
  for (const auto& [id, v] : c.props)
    obj->SetProp(id, v);
  const std::vector<uint8_t> bytes = SaveOf(*obj);
  TNovaObject* loaded = LoadNew(other, c.kind, bytes, kNewest);
  for (const auto& [id, v] : c.props) {
    EXPECT_EQ(loaded->GetProp(id), obj->GetProp(id)) << PropInfo(id).name;
  }
  EXPECT_EQ(SaveOf(*loaded), bytes);
}

TEST_P(KindSaveForms, DamagedRecordsFailCleanlyAtEveryCut) {
  const KindCase& c = GetParam();
  TNovaBaseList list(200, 100), other(200, 100);
  Serve(list);
  Serve(other);
  TNovaObject* obj = CreateByKind(&list, c.kind);
  for (const auto& [id, v] : c.props)
    obj->SetProp(id, v);
  const std::vector<uint8_t> bytes = SaveOf(*obj);
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    const std::vector<uint8_t> part(bytes.begin(), bytes.begin() + static_cast<long>(cut));
    TNovaObject* fresh = CreateByKind(&other, c.kind);
    BinaryReader r(part, "save.dat GAMESAVEDATA0");
    EXPECT_THROW(fresh->Load(r, kNewest), ENovaError) << "cut at " << cut;
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, KindSaveForms, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return "kind" + std::to_string(info.param.kind); });

// The common head and an empty control part in the layout of an older data version.
void WriteHead(BinaryWriter& w, int version, bool control) {
  w.String("old"); // name
  w.I32(5);        // priority
  if (version > 103)
    w.I32(0); // priority offset
  if (version >= 120)
    w.String("tag");
  if (!control)
    return;
  for (int v : {1, 2, 30, 40, 0, 0})
    w.I32(v); // left, top, width, height, anchors
  w.U8(0);    // posZoomed
  if (version >= 130)
    for (int i = 0; i < 4; ++i)
      w.I32(0); // motion and plus
  if (version > 103) {
    for (int i = 0; i < 4; ++i)
      w.I32(0); // clip
    w.U8(0);    // aniPaused
  }
  w.U8(1);   // visible
  w.I32(-1); // colour
  for (int i = 0; i < 4; ++i)
    w.I32(0);   // reserved rectangle
  w.U8(0);      // ignoreMouse
  w.String(""); // cursor
  w.String(""); // OnMouseMove
  if (version > 101)
    w.String(""); // OnMouseIn
  for (int i = 0; i < 7; ++i)
    w.String("");
  if (version > 117) {
    w.U8(0); // handleKey
    for (int i = 0; i < 5; ++i)
      w.String("");
  }
  w.I32(0); // children
}

void Ext(BinaryWriter& w, long double v) { w.Extended(v); }

struct OldCase {
  const char* what;
  uint8_t kind;
  int version;
  std::function<void(BinaryWriter&)> body; // the kind's own fields in that layout
  Props expect;
};

std::vector<OldCase> OldCases() {
  constexpr long double kTurn = 2 * std::numbers::pi_v<long double>;
  return {
      {"timer without auto scrap and fired",
       LT_TIMER,
       103,
       [](BinaryWriter& w) {
         w.String("t"); // handler
         w.I32(100);    // period
         w.U8(1);       // paused
       },
       {{PR_ONNOTIFY, S("t")}, {PR_DELAY, I(100)}, {PR_AUTOSCRAP, F(false)}}},
      {"sound before rewind, mute and repeat position",
       LT_SOUND,
       107,
       [](BinaryWriter& w) {
         w.String("se.wav");
         for (int b : {1, 0, 0, 0, 0})
           w.U8(static_cast<uint8_t>(b)); // repeat, scrap, paused, anipaused, ended
         for (int v : {500, 9000, 0, 0})
           w.I32(v); // volume, balance, fade, position
         w.U8(2);    // play state
         w.String("e");
       },
       {{PR_REPEAT, F(true)},
        {PR_VOLUME, I(500)},
        {PR_BALANCE, I(9000)},
        {PR_REWINDONLOAD, F(false)},
        {PR_REPEATPOS, I(0)}}},
      {"caption with whole-number angle and zoom and no idle part",
       LT_LABEL,
       103,
       [](BinaryWriter& w) {
         w.String("f");
         w.I32(12); // font height
         w.I32(0);  // line space
         w.U8(0);   // style
         w.I32(255);
         w.I32(0);
         for (int i = 0; i < 4; ++i)
           w.U8(0);      // alignment, antialias, flips
         w.I32(255 / 4); // angle n / 255 of a turn
         w.I32(512);     // zoom 2.0
         w.String("");   // text
       },
       {{PR_ANGLE, I(63)},
        {PR_FLOATZOOMX, R(2.0L)},
        {PR_FLOATZOOMY, R(2.0L)},
        {PR_FLOATANGLE, R(63 / 255.0L * kTurn)}}},
      {"caption of version 142: zoom Y as a whole number too",
       LT_LABEL,
       142,
       [](BinaryWriter& w) {
         w.String("f");
         w.I32(12);
         w.I32(0);
         w.U8(0);
         w.I32(255);
         w.I32(0);
         for (int i = 0; i < 4; ++i)
           w.U8(0);
         w.I32(0);
         w.I32(256);
         w.String("");
         w.String("idle");
         w.String("");
         w.U8(0);
         w.U8(0);
         w.String("");
         w.U8(1);    // paused
         w.I32(128); // zoom Y 0.5
       },
       {{PR_ONIDLE, S("idle")}, {PR_PAUSED, F(true)}, {PR_FLOATZOOMY, R(0.5L)}}},
      {"glyph caption without idle handler, sizes below 1",
       LT_CGLABEL,
       124,
       [](BinaryWriter& w) {
         w.String("");
         w.String("ab");
         w.String("ba");
         w.I32(0);  // glyph width
         w.I32(-4); // glyph height
         w.I32(0);
         w.U8(0);
         w.U8(0);
         w.I32(255);
       },
       {{PR_GLYPHWIDTH, I(1)}, {PR_GLYPHHEIGHT, I(1)}, {PR_WIDTH, I(2)}, {PR_HEIGHT, I(1)}}},
      {"gauge without idle handler and bar size",
       LT_GAUGE,
       124,
       [](BinaryWriter& w) {
         w.String("");
         for (int v : {0, 100, 150, 255})
           w.I32(v);
         w.U8(0);
         w.U8(0);
         w.I32(10);
         w.I32(20);
         w.U8(0);
       },
       {{PR_VALUE, I(100)}, {PR_BARSIZE, I(0)}, {PR_PLAYING, F(false)}}},
      {"slider without capture mask and bar size",
       LT_SLIDER,
       118,
       [](BinaryWriter& w) {
         for (int i = 0; i < 3; ++i)
           w.String("");
         for (int v : {0, 10, 4, 1, 255})
           w.I32(v);
         w.U8(0);
         w.U8(1);
         for (int i = 0; i < 4; ++i)
           w.String(i == 0 ? "n" : "");
       },
       {{PR_VALUE, I(4)}, {PR_ORIENTATION, I(1)}, {PR_ONNOTIFY, S("n")}, {PR_BARSIZE, I(0)}}},
      {"cinema before idle handler, frame, volume and ended",
       LT_CINEMA,
       103,
       [](BinaryWriter& w) {
         w.String("");
         w.U8(1);
         w.U8(0);
         w.U8(0);
         w.String("end");
       },
       {{PR_REPEAT, F(true)}, {PR_ONPLAYEND, S("end")}, {PR_ONIDLE, S("")}}},
      {"property motion before paused",
       LT_PROPMOTION,
       125,
       [](BinaryWriter& w) {
         w.String("target");
         w.I32(PR_LEFT);
         Ext(w, 100);
         w.I32(1000);
         w.I32(1);
         Ext(w, 0);
         w.I32(0);
       },
       {{PR_PLAYING, F(true)}}},
      {"edit before the input-method mode",
       LT_EDIT,
       141,
       [](BinaryWriter& w) {
         w.U8(0);
         w.String("hello");
         w.String("face");
         w.I32(-14);
         w.U8(0);
         w.I32(0);
         w.I32(0xFFFFFF);
         w.U8(0);
         w.String("n");
       },
       {{PR_TEXT, S("hello")}, {PR_FONTHEIGHT, I(14)}, {PR_IMEMODE, I(IM_DONTCARE)}}},
      {"particle before pre-roll and duration",
       LT_PARTICLE,
       103,
       [](BinaryWriter& w) {
         for (int i = 0; i < 3; ++i)
           TNovaParser().SaveOps(w);
         w.String("");
         w.U8(PM_SNOW);
         for (long double p : {1.0L, 2.0L, 3.0L})
           Ext(w, p);
         w.I32(255);
       },
       {{PR_PARTMOTION, I(PM_SNOW)}, {PR_PARAM3, R(3.0L)}, {PR_INDEX, I(0)}}},
      {"fire with whole-number zoom and nothing after it",
       LT_FIRE,
       103,
       [](BinaryWriter& w) {
         w.I32(300); // power above the range
         w.I32(8);
         w.I32(4);
         w.I32(512);
       },
       {{PR_POWER, I(255)}, {PR_WIDTH, I(16)}, {PR_HEIGHT, I(8)}, {PR_FLOATZOOMY, R(2.0L)}}},
      {"wave before idle and paused, wave length 0",
       LT_WAVE,
       103,
       [](BinaryWriter& w) {
         w.I32(3);
         w.I32(0);
         w.I32(-5);
       },
       {{PR_AMP, I(3)}, {PR_WAVELEN, I(1)}, {PR_DELAY, I(1)}}},
      {"video before rewind, overlay and mute",
       LT_VIDEO,
       107,
       [](BinaryWriter& w) {
         w.I32(255); // image part: alpha
         w.I32(256); // zoom
         w.I32(0);   // angle
         w.U8(0);
         w.U8(0);
         w.U8(0);
         w.I32(256); // zoom Y
         w.String("v.mpg");
         w.U8(1);
         w.U8(0);
         w.U8(0);
         for (int v : {800, 0, 0, 0})
           w.I32(v);
         w.U8(2);
         w.String("");
         w.String("vi");
       },
       {{PR_SOURCE, S("v.mpg")}, {PR_OVERLAY, F(true)}, {PR_VOLUME, I(800)}, {PR_ONIDLE, S("vi")}}},
  };
}

void PrintTo(const OldCase& c, std::ostream* os) { *os << c.what; }

class OldLayouts : public ::testing::TestWithParam<OldCase> {};

TEST_P(OldLayouts, ReadTheirOwnFieldsOnly) {
  const OldCase& c = GetParam();
  ResetRunState();
  BinaryWriter w;
  TNovaBaseList list(100, 100);
  TNovaObject* probe = CreateByKind(&list, c.kind);
  WriteHead(w, c.version, probe->AsControl() != nullptr);
  c.body(w);
  TNovaObject* obj = LoadNew(list, c.kind, w.Take(), c.version);
  for (const auto& [id, v] : c.expect)
    EXPECT_EQ(obj->GetProp(id), v) << c.what << ": " << PropInfo(id).name;
}

INSTANTIATE_TEST_SUITE_P(Versions, OldLayouts, ::testing::ValuesIn(OldCases()),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

} // namespace
} // namespace nova::test
