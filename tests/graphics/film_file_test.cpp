// SPDX-License-Identifier: MIT
// Film files: every layout version, the conversions of old versions, damaged bytes, resource
// names and the text form.
#include <gtest/gtest.h>

#include <cstring>

#include "base/nova_error.h"
#include "graphics/film_file.h"

namespace nova {
namespace {

// One track of every kind with values away from the defaults.
TFilmFile SampleFilm(int version) {
  TFilmFile f;
  f.version = version;
  f.width = 320;
  f.height = 240;
  f.back_color = 0x102030;
  f.relative = 1;
  f.origin = {7, 9};
  f.loop_start = 12;
  for (uint8_t kind = 0; kind < kFilmTrackKinds; ++kind) {
    TFilmTrack t;
    t.kind = kind;
    t.predecessor = kind == 0 ? -1 : kind - 1;
    t.length = 30 + kind;
    t.start = 5;
    t.cycle = 4;
    t.priority = 3;
    t.flip_h = 1;
    t.next_page = kind == 2;
    t.anchor = {2, 3};
    t.start_pos = {10, 20};
    t.end_pos = {110, -20};
    t.curve_x = 1;
    t.curve_y = 2;
    t.start_rotation = 45;
    t.end_rotation = 90;
    t.start_zoom_x = 0.5;
    t.end_zoom_x = 2;
    t.start_zoom_y = 1.5;
    t.end_zoom_y = 3;
    t.start_opacity = 100;
    t.end_opacity = -50;
    t.crop = {{1, 2}, {30, 40}, {3, 4}, {50, 60}, 1, 2};
    t.start_blur_span = 6;
    t.end_blur_delay = 8;
    t.source = kind == fkSound ? "se.ogg" : "pic.wsp";
    t.text = "hello";
    t.font_name = "Sans";
    t.line_space = 4;
    t.halign = 2;
    t.start_width = 64;
    t.end_height = 48;
    t.end_scroll_x = 9;
    t.distance_x = 5;
    t.start_color = 0xFF;
    t.end_border_color = 0xFF00;
    t.wipe_kind = 5;
    t.mask_name = "mask.wsp";
    t.param0 = 11;
    t.reverse = 1;
    t.start_volume = 500;
    t.end_volume = -3000;
    t.end_pan = 2000;
    t.motion_type = 2;
    t.start_emission = {5, 6};
    t.end_param = {1.25, 2.5, 3.75};
    t.power = 70;
    f.tracks.push_back(t);
  }
  return f;
}

TEST(FilmFile, NewestLayoutRoundTripsEveryKind) {
  const TFilmFile film = SampleFilm(kFilmVersion);
  const TFilmFile back = ReadFilm(WriteFilm(film), "film.nmt");
  EXPECT_EQ(FilmToText(back), FilmToText(film));
  EXPECT_FALSE(back.stopped_at_unknown_kind);
  // The text form lists fields the kinds do not store only as defaults: spot-check a few.
  EXPECT_EQ(back.tracks[fkFire].power, 70);
  EXPECT_EQ(back.tracks[fkWipe].mask_name, "mask.wsp");
  EXPECT_EQ(back.tracks[fkParticle].end_param[2], 3.75);
}

// What reading an older layout gives for the sample film's values.
struct VersionCase {
  int version;
  int32_t start, length, loop_start; // track 0
  int32_t sound_end_volume;
  double zoom_y_start;     // image track
  double rotation_start;   // 45 survives as whole degrees
  int32_t crop_end_size_x; // 0: no crop block
  int32_t label_line_space;
  bool relative;
};

class FilmVersions : public ::testing::TestWithParam<VersionCase> {};

TEST_P(FilmVersions, OlderLayoutsReadAsThePlayerReadsThem) {
  const VersionCase& c = GetParam();
  const TFilmFile back = ReadFilm(WriteFilm(SampleFilm(c.version)), "film.nmt");
  ASSERT_EQ(back.version, c.version);
  ASSERT_EQ(back.tracks.size(), size_t{kFilmTrackKinds});
  const TFilmTrack& image = back.tracks[fkImage];
  EXPECT_EQ(image.start, c.start);
  EXPECT_EQ(image.length, c.length);
  EXPECT_EQ(back.loop_start, c.loop_start);
  EXPECT_EQ(back.tracks[fkSound].end_volume, c.sound_end_volume);
  EXPECT_EQ(image.start_zoom_y, c.zoom_y_start);
  EXPECT_EQ(image.start_rotation, c.rotation_start);
  EXPECT_EQ(image.crop.end_size.x, c.crop_end_size_x);
  EXPECT_EQ(back.tracks[fkLabel].line_space, c.label_line_space);
  EXPECT_EQ(back.relative != 0, c.relative);
  // Every kind's last field is still in place: nothing shifted.
  EXPECT_EQ(back.tracks[fkFire].power, 70);
  EXPECT_EQ(back.tracks[fkParticle].end_param[2], 3.75);
}

INSTANTIATE_TEST_SUITE_P(All, FilmVersions,
                         ::testing::Values(
                             // Up to 106 frame counts are doubled; up to 107 volumes v / 10 + 1000.
                             VersionCase{100, 10, 60, 0, 700, 0.5, 45, 0, 0, false},
                             VersionCase{101, 10, 60, 0, 700, 0.5, 45, 50, 0, false},
                             VersionCase{103, 10, 60, 0, 700, 0.5, 45, 50, 4, true},
                             VersionCase{105, 10, 60, 0, 700, 1.5, 45, 50, 4, true},
                             VersionCase{106, 10, 60, 24, 700, 1.5, 45, 50, 4, true},
                             VersionCase{107, 5, 30, 12, 700, 1.5, 45, 50, 4, true},
                             VersionCase{108, 5, 30, 12, -3000, 1.5, 45, 50, 4, true},
                             VersionCase{110, 5, 30, 12, -3000, 1.5, 45, 50, 4, true}));

TEST(FilmFile, RotationsBeforeVersion110AreWholeDegrees) {
  TFilmFile f = SampleFilm(109);
  f.tracks[0].start_rotation = 12.75;
  EXPECT_EQ(ReadFilm(WriteFilm(f), "a.nmt").tracks[0].start_rotation, 13);
  f.version = 110;
  EXPECT_EQ(ReadFilm(WriteFilm(f), "a.nmt").tracks[0].start_rotation, 12.75);
}

TEST(FilmFile, TagsAndUnknownKinds) {
  TFilmFile f = SampleFilm(kFilmVersion);
  f.tag_index = 1;
  EXPECT_EQ(ReadFilm(WriteFilm(f), "m.nmt").tag_index, 1);
  EXPECT_EQ(ReadFilm(WriteFilm(f), "m.nmt").tracks.size(), size_t{kFilmTrackKinds});

  // Another tag, or a version that is not a number, loads nothing.
  std::vector<uint8_t> bytes = WriteFilm(f);
  bytes[0] = 'X';
  EXPECT_TRUE(ReadFilm(bytes, "m.nmt").tracks.empty());
  bytes = WriteFilm(f);
  bytes[11] = 'x';
  EXPECT_TRUE(ReadFilm(bytes, "m.nmt").tracks.empty());
  EXPECT_TRUE(ReadFilm({}, "m.nmt").tracks.empty());

  // A kind above 7 ends the reading; the tracks before it stay.
  TFilmFile two = SampleFilm(kFilmVersion);
  two.tracks.resize(2);
  bytes = WriteFilm(two);
  const size_t second = WriteFilm([&] {
                          TFilmFile one = two;
                          one.tracks.resize(1);
                          return one;
                        }())
                            .size();
  bytes[second] = 9;
  // The count still says 2.
  const TFilmFile stopped = ReadFilm(bytes, "m.nmt");
  EXPECT_TRUE(stopped.stopped_at_unknown_kind);
  EXPECT_EQ(stopped.tracks.size(), 1u);
}

TEST(FilmFile, DamagedBytesFailNamingTheFile) {
  const std::vector<uint8_t> whole = WriteFilm(SampleFilm(kFilmVersion));
  // Every cut after the tag ends inside a field.
  for (size_t cut = 13; cut < whole.size(); ++cut) {
    const std::vector<uint8_t> part(whole.begin(), whole.begin() + static_cast<long>(cut));
    try {
      ReadFilm(part, "data\\film.nmt");
      ADD_FAILURE() << "no error at cut " << cut;
    } catch (const ENovaError& e) {
      EXPECT_NE(std::string(e.what()).find("film.nmt"), std::string::npos) << e.what();
    }
  }
  // A track count beyond the file is refused before anything is made.
  TFilmFile empty;
  std::vector<uint8_t> bytes = WriteFilm(empty);
  const int32_t huge = 0x7FFFFFFF;
  std::memcpy(bytes.data() + bytes.size() - 4, &huge, 4);
  EXPECT_THROW(ReadFilm(bytes, "film.nmt"), ENovaError);
  // A string longer than the file.
  TFilmFile one;
  one.tracks.resize(1);
  one.tracks[0].source = "abc";
  bytes = WriteFilm(one);
  const size_t length_at = bytes.size() - 4 - 3;
  std::memcpy(bytes.data() + length_at, &huge, 4);
  EXPECT_THROW(ReadFilm(bytes, "film.nmt"), ENovaError);
}

TEST(FilmFile, NegativeStringLengthsAreEmpty) {
  TFilmFile one;
  one.tracks.resize(1);
  std::vector<uint8_t> bytes = WriteFilm(one);
  // The image name is the last field: its length -5 stands for the empty name.
  const int32_t negative = -5;
  std::memcpy(bytes.data() + bytes.size() - 4, &negative, 4);
  const TFilmFile back = ReadFilm(bytes, "film.nmt");
  ASSERT_EQ(back.tracks.size(), 1u);
  EXPECT_EQ(back.tracks[0].source, "");
}

TEST(FilmFile, ResourceNamesResolveAgainstTheFilmsFolder) {
  struct Case {
    const char *folder, *name, *expected;
  } cases[] = {
      {"data\\film\\", "pic.wsp", "data\\film\\pic.wsp"},
      {"data\\film\\", "\\top.wsp", "\\top.wsp"},
      {"data\\film\\", "c:\\abs.wsp", "c:\\abs.wsp"},
      {"data\\film\\", "..\\pic.wsp", "DATA\\pic.wsp"},
      {"data\\film\\", "..\\..\\pic.wsp", "pic.wsp"},
      {"data\\", "..\\..\\pic.wsp", "pic.wsp"},
      {"c:\\game\\data\\", "..\\pic.wsp", "C:\\GAME\\pic.wsp"},
      {"c:\\game\\", "..\\..\\pic.wsp", "C:\\pic.wsp"},
      {"\\\\server\\share\\a\\", "..\\..\\pic.wsp", "\\\\SERVER\\SHARE\\pic.wsp"},
      {"", "pic.wsp", "pic.wsp"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ResolveFilmName(c.folder, c.name), c.expected) << c.folder << " + " << c.name;
  EXPECT_EQ(FilmFolderOf("data\\film\\a.nmt"), "data\\film\\");
  EXPECT_EQ(FilmFolderOf("a.nmt"), "");

  TFilmFile f = SampleFilm(kFilmVersion);
  const TFilmFile back = ReadFilm(WriteFilm(f), "movie\\op.nmt");
  EXPECT_EQ(back.tracks[fkImage].source, "movie\\pic.wsp");
  EXPECT_EQ(back.tracks[fkSound].source, "movie\\se.ogg");
  EXPECT_EQ(back.tracks[fkWipe].mask_name, "movie\\mask.wsp");
}

TEST(FilmFile, TextFormBuildsFilms) {
  const TFilmFile f = ParseFilmText("# a moving picture\n"
                                    "film 110 64 48\n"
                                    "back_color 255\n"
                                    "loop_start 3\n"
                                    "track image\n"
                                    "  length 10\n"
                                    "  start_pos 1 2\n"
                                    "  end_zoom_x 1.5\n"
                                    "  source pics\\a b.wsp\n"
                                    "track wipe\n"
                                    "  wipe_kind 4\n");
  EXPECT_EQ(f.width, 64);
  EXPECT_EQ(f.back_color, 255);
  EXPECT_EQ(f.loop_start, 3);
  ASSERT_EQ(f.tracks.size(), 2u);
  EXPECT_EQ(f.tracks[0].length, 10);
  EXPECT_EQ(f.tracks[0].start_pos, (TFilmPoint{1, 2}));
  EXPECT_EQ(f.tracks[0].end_zoom_x, 1.5);
  EXPECT_EQ(f.tracks[0].source, "pics\\a b.wsp");
  EXPECT_EQ(f.tracks[1].kind, fkWipe);
  EXPECT_EQ(f.tracks[1].wipe_kind, 4);
  // The listing reads back as the same film.
  EXPECT_EQ(FilmToText(ParseFilmText(FilmToText(f))), FilmToText(f));

  const char* bad[] = {
      "track image\n",                                 // no film line first
      "film 110 1 1\ntrack movie\n",                   // unknown kind
      "film 110 1 1\ntrack box\n  source x\n",         // not a box field
      "film 100 1 1\ntrack image\n  crop_curve_x 1\n", // no crop before 101
      "film 110 1 1\ntrack image\n  length many\n",
  };
  for (const char* text : bad)
    EXPECT_THROW(ParseFilmText(text), ENovaError) << text;
}

} // namespace
} // namespace nova
