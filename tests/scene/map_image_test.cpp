// SPDX-License-Identifier: MIT
#include "base/nova_error.h"
#include "scene/kinds/map_text.h"
#include "select_fixture.h"

namespace nova::test {
namespace {

TMapArea Rect(const std::string& name, int l, int t, int r, int b, uint8_t kind = 0) {
  TMapArea a;
  a.name = name;
  a.kind = kind;
  a.left = l;
  a.top = t;
  a.right = r;
  a.bottom = b;
  return a;
}

TMapArea Polygon(const std::string& name, std::vector<TMapPoint> points) {
  TMapArea a;
  a.name = name;
  a.kind = 2;
  a.points = std::move(points);
  return a;
}

TEST(MapFile, AreasContainTheirPixels) {
  const TMapArea rect = Rect("r", 2, 3, 5, 6);
  const TMapArea oval = Rect("o", 0, 0, 9, 5, 1);
  // A square with a square hole traced the other way round: the hole is outside.
  const TMapArea ring = Polygon(
      "p", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {3, 3}, {3, 7}, {7, 7}, {7, 3}, {3, 3}});
  // A self-overlapping star-like path: winding fills the overlap.
  const TMapArea twice =
      Polygon("t", {{0, 0}, {8, 0}, {8, 8}, {0, 8}, {0, 0}, {8, 0}, {8, 8}, {0, 8}});
  struct Case {
    const TMapArea* area;
    int x, y;
    bool in;
  };
  const Case cases[] = {
      {&rect, 2, 3, true},  {&rect, 5, 6, true},   {&rect, 6, 6, false}, {&rect, 1, 3, false},
      {&oval, 5, 3, true},  {&oval, 0, 0, false},  {&oval, 9, 2, true},  {&oval, 9, 0, false},
      {&ring, 1, 1, true},  {&ring, 5, 5, false},  {&ring, 8, 8, true},  {&ring, 10, 5, false},
      {&twice, 4, 4, true}, {&twice, 8, 4, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.area->Contains(c.x, c.y), c.in) << c.area->name << " " << c.x << "," << c.y;
  EXPECT_EQ(rect.Bounds().Right, 6);
  EXPECT_TRUE(Rect("e", 5, 5, 4, 9).Bounds().Empty()) << "reversed edges hold nothing";
}

// Descriptions give the areas a map file holds; faults name the file and the line.
TEST(MapFile, DescriptionsGiveAreas) {
  const std::vector<TMapArea> areas =
      ParseMapText("# stars\nrect \"a b\" 0 0 9 9\n\n  ellipse \"\\\"c\" -5 5 20 20 # oval\n"
                   "polygon \"p\" 0 0 4 0 0 4\n",
                   "m.txt");
  ASSERT_EQ(areas.size(), 3u);
  EXPECT_EQ(areas[0].name, "a b");
  EXPECT_EQ(areas[1].name, "\"c");
  EXPECT_EQ(areas[1].kind, 1);
  EXPECT_EQ(areas[1].left, -5);
  EXPECT_EQ(areas[2].kind, 2);
  ASSERT_EQ(areas[2].points.size(), 3u);
  EXPECT_EQ(areas[2].points[1].x, 4);
  EXPECT_EQ(ReadMapFile(WriteMapFile(areas), "m.map").size(), 3u);

  const struct {
    const char* text;
    const char* message;
  } bad[] = {
      {"\nrect \"a\" 0 0 9\n", "m.txt:2: rect takes a name and four edges"},
      {"rect a 0 0 9 9\n", "m.txt:1: expected a shape and a quoted name"},
      {"circle \"a\" 0 0 9 9\n", "m.txt:1: unknown shape \"circle\""},
      {"rect \"a 0 0 9 9\n", "m.txt:1: the name has no closing quote"},
      {"rect \"a\" 0 0 9 9x\n", "m.txt:1: \"9x\" is no coordinate"},
      {"rect \"a\" 0 0 9 2000000\n", "m.txt:1: \"2000000\" is no coordinate"},
      {"polygon \"p\" 0 0 4 0\n", "m.txt:1: polygon takes a name and at least three points"},
      {"polygon \"p\" 0 0 4 0 0 4 1\n", "m.txt:1: polygon takes a name and at least three"},
  };
  for (const auto& c : bad) {
    try {
      ParseMapText(c.text, "m.txt");
      ADD_FAILURE() << c.text;
    } catch (const ENovaError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
    }
  }
  std::string many;
  for (int i = 0; i <= 1024; ++i)
    many += "rect \"a\" 0 0 1 1\n";
  EXPECT_THROW(ParseMapText(many, "m.txt"), ENovaError);
}

TEST(MapFile, RoundTripAndDamagedFiles) {
  const std::vector<TMapArea> areas = {Rect("a", 0, 0, 9, 9), Rect("b", 5, 5, 20, 20, 1),
                                       Polygon("c", {{0, 0}, {4, 0}, {0, 4}})};
  const std::vector<uint8_t> bytes = WriteMapFile(areas);
  const std::vector<TMapArea> back = ReadMapFile(bytes, "m.map");
  ASSERT_EQ(back.size(), 3u);
  EXPECT_EQ(back[1].name, "b");
  EXPECT_EQ(back[1].kind, 1);
  EXPECT_EQ(back[2].points.size(), 3u);
  EXPECT_EQ(WriteMapFile(back), bytes);

  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    const std::vector<uint8_t> part(bytes.begin(), bytes.begin() + static_cast<long>(cut));
    EXPECT_THROW(ReadMapFile(part, "m.map"), ENovaError) << "cut at " << cut;
  }
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  BinaryWriter huge_points;
  huge_points.I32(1);
  huge_points.String("p");
  huge_points.U8(7);
  huge_points.I32(0x7FFFFFFF);
  const Case damaged[] = {
      {"area count beyond the file", {0xFF, 0xFF, 0xFF, 0x7F}},
      {"negative area count", {0xFF, 0xFF, 0xFF, 0xFF}},
      {"point count beyond the file", huge_points.Take()},
  };
  for (const Case& c : damaged) {
    try {
      ReadMapFile(c.bytes, "damaged.map");
      ADD_FAILURE() << c.what;
    } catch (const ENovaError& e) {
      EXPECT_NE(std::string(e.what()).find("damaged.map"), std::string::npos) << c.what;
    }
  }
}

class MapImages : public SelectScene {
protected:
  void SetUp() override {
    SelectScene::SetUp();
    WriteWisp("base.wsp", {SolidFrame(40, 30, 0xC80000, 100, false)});
    WriteWisp("lit.wsp", {SolidFrame(40, 30, 0x00C800, 100, false)});
    // Two overlapping areas: the first listed wins where they meet.
    WriteFile("m.map", WriteMapFile({Rect("door", 10, 10, 19, 19), Rect("wall", 15, 0, 39, 29)}));
  }
  TNovaMapImage* NewMap(int x = 0, int y = 0) {
    auto* m = CreateComponent<TNovaMapImage>(&List());
    m->SetName("map");
    m->SetParent(List().Front());
    m->SetLeft(x);
    m->SetTop(y);
    m->SetProp(PR_SOURCE, TPropValue::Str("base.wsp"));
    m->SetProp(PR_HOVERSOURCE, TPropValue::Str("lit.wsp"));
    m->SetProp(PR_MAPSOURCE, TPropValue::Str("m.map"));
    for (int id : {PR_ONMAPIN, PR_ONMAPOUT, PR_ONSELECT})
      m->SetProp(id, TPropValue::Str(PropInfo(id).name + 5));
    PointAt(150, 100);
    Drain(List());
    return m;
  }
};

TEST_F(MapImages, SizeAreasAndOverlap) {
  TNovaMapImage* m = NewMap(5, 5);
  EXPECT_EQ(m->GetWidth(), 40);
  EXPECT_EQ(m->GetHeight(), 30);
  ASSERT_EQ(m->AreaCount(), 2);
  EXPECT_EQ(m->AreaAt(16, 16), 0) << "the area listed first wins";
  EXPECT_EQ(m->AreaAt(25, 16), 1);
  EXPECT_EQ(m->AreaAt(2, 2), -1);
  EXPECT_TRUE(m->GetProp(PR_REPEAT).f);
  m->SetProp(PR_MAPSOURCE, TPropValue::Str("missing.map"));
  EXPECT_EQ(m->AreaCount(), 0) << "a map file that is not there leaves no areas";
  WriteFile("bad.map", {3, 0, 0, 0, 1});
  EXPECT_THROW(m->SetProp(PR_MAPSOURCE, TPropValue::Str("bad.map")), ENovaError);
}

TEST_F(MapImages, HoverPictureShowsOnlyInsideTheHoveredArea) {
  TNovaMapImage* m = NewMap();
  List().DrawStep();
  EXPECT_EQ(At(12, 12), Rgb(200, 0, 0)) << "no area hovered: the source everywhere";
  EXPECT_EQ(At(30, 20), Rgb(200, 0, 0));
  List().ClearDirty();
  m->SetHoverArea(0);
  List().DrawStep();
  EXPECT_EQ(At(12, 12), Rgb(0, 200, 0));
  EXPECT_EQ(At(19, 19), Rgb(0, 200, 0));
  EXPECT_EQ(At(20, 19), Rgb(200, 0, 0)) << "outside the area the source stays";
  EXPECT_EQ(At(9, 12), Rgb(200, 0, 0));
}

TEST_F(MapImages, PointerHoverAndChoice) {
  TNovaMapImage* m = NewMap();
  PointAt(12, 12);
  EXPECT_EQ(Drain(List()), std::vector<std::string>{"MAPIN door 0"});
  PointAt(30, 12);
  EXPECT_EQ(Drain(List()), (std::vector<std::string>{"MAPOUT door 0", "MAPIN wall 1"}));
  Click(30, 12);
  EXPECT_EQ(Drain(List()), std::vector<std::string>{"SELECT wall 1"});
  EXPECT_EQ(vars_.sel_str, "wall");
  EXPECT_EQ(vars_.sel_index, 1);
  m->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
  PointAt(12, 12);
  List().PressButton(false);
  Frame(List());
  EXPECT_EQ(vars_.sel_str, "door");
  ASSERT_GE(List().IndexOf(m), 0);
  EXPECT_TRUE(m->EventsSuppressed());
  Frame(List());
  EXPECT_LT(List().IndexOf(m), 0) << "gone two updates after the choice";
}

TEST_F(MapImages, KeysWrapAndEscapeCancels) {
  struct Case {
    int start, key, want;
  };
  const Case cases[] = {{-1, 38, 1}, {0, 37, 1}, {1, 38, 0}, {-1, 40, 0}, {1, 39, 0}, {0, 40, 1}};
  for (const Case& c : cases) {
    List().Reset();
    TNovaMapImage* m = NewMap();
    m->SetProp(PR_HANDLEKEY, TPropValue::Flag(true));
    List().SetFocus(m);
    m->SetHoverArea(c.start);
    Key(c.key);
    EXPECT_EQ(m->HoverArea(), c.want) << c.start << " key " << c.key;
  }
  List().Reset();
  TNovaMapImage* m = NewMap();
  m->SetProp(PR_HANDLEKEY, TPropValue::Flag(true));
  m->SetProp(PR_RCLICKSCRAP, TPropValue::Flag(true));
  List().SetFocus(m);
  Key(27);
  EXPECT_EQ(vars_.sel_str, "");
  EXPECT_EQ(vars_.sel_index, -1);
  EXPECT_GE(List().IndexOf(m), 0);
  Frame(List());
  EXPECT_LT(List().IndexOf(m), 0) << "destroyed two updates after Escape";
}

TEST_F(MapImages, RightClickClosesWithoutItsOwnEvent) {
  TNovaMapImage* m = NewMap();
  m->SetProp(PR_RCLICKSCRAP, TPropValue::Flag(true));
  m->SetProp(PR_ONRBTNDOWN, TPropValue::Str("rdown"));
  List().SetPointer(12, 12);
  List().PressButton(true);
  Frame(List());
  EXPECT_EQ(vars_.sel_index, -1);
  EXPECT_TRUE(m->EventsSuppressed());
  for (const std::string& e : Drain(List()))
    EXPECT_EQ(e.rfind("rdown", 0), std::string::npos);
  Frame(List());
  EXPECT_LT(List().IndexOf(m), 0);
}

TEST_F(MapImages, SaveFormRoundTripsAndReadsOlderLayouts) {
  TNovaMapImage* m = NewMap(3, 4);
  m->SetProp(PR_ALPHA, TPropValue::Int(128));
  m->SetProp(PR_BRIGHTNESS, TPropValue::Int(-20));
  m->SetProp(PR_ONIDLE, TPropValue::Str("idle"));
  const std::vector<uint8_t> bytes = SaveOf(*m);
  TNovaMapImage* copy = Reload<TNovaMapImage>(bytes);
  EXPECT_EQ(SaveOf(*copy), bytes);
  EXPECT_EQ(copy->AreaCount(), 2);
  EXPECT_EQ(copy->GetWidth(), 40);

  for (int version : {103, 114, 115}) {
    BinaryWriter w;
    WriteControlHead(w, version, "old", 0, 0);
    w.String("base.wsp");
    w.String("lit.wsp");
    w.String("m.map");
    w.I32(255);
    w.I32(0);
    w.String("in");
    w.String("out");
    w.U8(1); // auto scrap
    w.U8(0); // right-click scrap
    if (version > 103) {
      w.String("idle");
      w.U8(1); // paused
      w.String("select");
    }
    if (version > 114)
      w.I32(100); // closing requested
    const std::vector<uint8_t> old = w.Take();
    BinaryReader r(old, "old map image");
    auto* loaded = CreateComponent<TNovaMapImage>(&List());
    loaded->Load(r, version);
    EXPECT_TRUE(r.at_end()) << version;
    EXPECT_EQ(loaded->AreaCount(), 2);
    EXPECT_EQ(loaded->GetProp(PR_ONSELECT).s, version > 103 ? "select" : "");
    EXPECT_EQ(loaded->IsPaused(), version > 103);
    EXPECT_EQ(loaded->Phase(), version > 114 ? 100 : 0);
  }
}

} // namespace
} // namespace nova::test
