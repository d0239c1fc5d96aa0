// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdio>

#include "base/binary_writer.h"
#include "base/extended_real.h"
#include "base/nova_error.h"
#include "base/sjis.h"
#include "script/install_settings.h"
#include "script/project_setting.h"
#include "script/running_state.h"
#include "script/text_form/project_text.h"

namespace nova {
namespace {

// A project file of `version` with every field its version carries, written field by field.
std::vector<uint8_t> ProjectBytes(int32_t version) {
  BinaryWriter w;
  w.I32(version);
  w.String("Title");
  w.I32(800);  // scene width
  w.I32(600);  // scene height
  w.I32(1024); // full-screen width
  w.I32(768);  // full-screen height
  w.String("main.nsb");
  if (version >= 110)
    w.String("exit.nsb");
  w.String("Key");
  w.I32(42); // image code
  if (version > 103)
    w.Bool(false); // write save file
  if (version >= 106)
    w.Bool(false); // extra flag
  if (version >= 109)
    w.String(".ogg");
  if (version > 112)
    w.Bool(true); // pause when inactive
  if (version >= 114)
    w.Bool(true); // second extra flag
  if (version >= 116)
    w.Bool(false); // show tool bar
  w.String("disk %d");
  w.String("bye");
  w.I32(2); // variables
  w.U8(2);  // real
  w.String("speed");
  w.Extended(1.5L);
  w.U8(9); // a type code without a value
  w.String("odd");
  w.I32(1); // folder disk table
  w.String("DATA\\");
  w.I32(2);
  return w.Take();
}

TEST(ProjectFile, VersionsDecideTheFields) {
  struct Case {
    int32_t version;
    const char* exit_page;
    bool write_save, extra, pause, extra2, tool_bar;
    const char* media;
  } cases[] = {
      {103, "", true, true, false, false, true, ".wav.wma.ogg.mid"},
      {109, "", false, false, false, false, true, ".ogg"},
      {113, "exit.nsb", false, false, true, false, true, ".ogg"},
      {116, "exit.nsb", false, false, true, true, false, ".ogg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    std::vector<uint8_t> bytes = ProjectBytes(c.version);
    TProjectSetting p;
    p.Read(bytes, "nova.npb");
    EXPECT_EQ(p.title, "Title");
    EXPECT_EQ(p.scene_width, 800);
    EXPECT_EQ(p.full_height, 768);
    EXPECT_EQ(p.exit_page, c.exit_page);
    EXPECT_EQ(p.image_code, 42);
    EXPECT_EQ(p.write_save_file, c.write_save);
    EXPECT_EQ(p.extra_flag, c.extra);
    EXPECT_EQ(p.media_extensions, c.media);
    EXPECT_EQ(p.pause_when_inactive, c.pause);
    EXPECT_EQ(p.extra_flag2, c.extra2);
    EXPECT_EQ(p.show_tool_bar, c.tool_bar);
    EXPECT_EQ(p.quit_message, "bye");
    ASSERT_EQ(p.variables.size(), 2u);
    EXPECT_EQ(ExtendedFromBytes(p.variables[0].real_bytes), 1.5L);
    EXPECT_EQ(p.variables[1].name, "odd");
    EXPECT_EQ(p.folder_disks.DiskOfFile("data\\a.nsb"), 2);

    BinaryWriter w;
    p.Write(w);
    EXPECT_EQ(w.data(), bytes);
    TProjectSetting from_text = AssembleProject(DumpProject(p), "dump.txt");
    BinaryWriter w2;
    from_text.Write(w2);
    EXPECT_EQ(w2.data(), bytes);
  }
}

TEST(ProjectFile, RejectsNewerVersionsAndDamage) {
  BinaryWriter newer;
  newer.I32(117);
  std::vector<uint8_t> truncated = ProjectBytes(116);
  truncated.resize(truncated.size() - 3);
  BinaryWriter many;
  many.I32(103);   // version
  many.String(""); // title
  for (int i = 0; i < 4; ++i)
    many.I32(0);       // scene and full-screen sizes
  many.String("");     // start page
  many.String("");     // cd key
  many.I32(0);         // image code
  many.String("");     // disk prompt
  many.String("");     // quit message
  many.I32(100000000); // variables, with nothing after them
  // Screen sizes no display had: a 16384 x 16384 scene alone would take a gigabyte.
  std::vector<uint8_t> huge_scene = ProjectBytes(116);
  huge_scene[4 + 4 + 5 + 1] = 0x40; // scene width 800 -> 16416
  std::vector<uint8_t> negative_full = ProjectBytes(116);
  negative_full[4 + 4 + 5 + 8 + 3] = 0x80; // full-screen width negative
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* expected;
  } cases[] = {
      {"newer", newer.Take(), "このバージョンには対応していません"},
      {"truncated", truncated, "nova.npb: unexpected end of data"},
      {"variable count", many.Take(), "count 100000000 for project variables"},
      {"huge scene", huge_scene, "nova.npb: scene size 16416x600 is outside 0..4096"},
      {"negative full screen", negative_full, "nova.npb: full-screen size"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TProjectSetting p;
    try {
      p.Read(c.bytes, "nova.npb");
      ADD_FAILURE() << "no error";
    } catch (const ENovaError& e) {
      EXPECT_NE(SjisToUtf8(e.what()).find(c.expected), std::string::npos) << SjisToUtf8(e.what());
    }
  }
}

TEST(ProjectFile, TextFieldsOutsideTheVersionAreRefused) {
  EXPECT_THROW(AssembleProject("project 109\nexit \"x.nsb\"\n", "p.txt"), ENovaError);
  EXPECT_THROW(AssembleProject("project 117\n", "p.txt"), ENovaError);
  TProjectSetting p = AssembleProject("title \"T\"\nstart \"a\\\\b.nsb\"\n", "p.txt");
  EXPECT_EQ(p.version, kNewestProjectVersion);
  EXPECT_EQ(p.start_page, "a\\b.nsb");
}

TEST(FolderDisks, LookupClimbsTheFolderChain) {
  TFolderDiskList list;
  list.entries = {{"SCENE\\", 2}, {"scene\\extra\\", 3}, {"\\", 1}};
  struct Case {
    const char* file;
    int32_t disk;
  } cases[] = {
      {"scene\\a.nsb", 2},
      {"Scene\\Extra\\b.nsb", 3},
      {"scene\\extra\\deep\\c.nsb", 3},
      {"scene\\other\\d.nsb", 2},
      {"voice\\e.ogg", 1}, // only the root entry
      {"f.nsb", 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(list.DiskOfFile(c.file), c.disk) << c.file;
  list.entries.pop_back();
  EXPECT_EQ(list.DiskOfFile("voice\\e.ogg"), 0);
}

// install.dat of `version` ("isNNN"; 0 writes no magic) as the installer writes it.
std::vector<uint8_t> InstallBytes(int32_t version, bool fully_installed) {
  BinaryWriter w;
  if (version > 0) {
    char magic[8];
    std::snprintf(magic, sizeof magic, "is%03d", version);
    w.Bytes(std::string_view(magic, 5));
  }
  w.I32(2); // disk
  w.String("Title");
  w.String("a");
  w.String("C:\\Games\\Title"); // install folder
  w.String("b");
  w.U8(0);
  w.String("c");
  w.U8(0);
  w.I32(2); // items
  w.String("game.exe");
  w.I32(0);
  w.U8(0);
  w.U8(0);
  w.String("d");
  w.String("e");
  for (int i = 0; i < 2 * 4 + 4; ++i)
    version > 99 ? w.I64(i) : w.I32(i); // sizes, totals
  w.U8(0);
  if (version > 100)
    w.U8(0);
  if (version > 101)
    w.StringList({"x", "y"});
  if (version > 102)
    w.Bool(fully_installed);
  if (version > 103)
    w.U8(0);
  if (version > 104)
    w.U8(0);
  if (version > 105)
    w.StringList({"z"});
  if (version > 106)
    w.String("Setup");
  if (version > 107) {
    w.String("f");
    w.String("g");
  }
  return w.Take();
}

TEST(InstallSettings, EveryVersionReachesItsFields) {
  for (int32_t version : {0, 99, 100, 102, 103, 105, 107, 108}) {
    SCOPED_TRACE(version);
    std::vector<uint8_t> bytes = InstallBytes(version, true);
    TNovaInstallSet s;
    s.Read(bytes, "install.dat");
    EXPECT_EQ(s.version, version);
    EXPECT_EQ(s.disk, 2);
    EXPECT_EQ(s.title, "Title");
    EXPECT_EQ(s.install_folder, "C:\\Games\\Title");
    EXPECT_EQ(s.fully_installed, version > 102);
    bytes.pop_back();
    EXPECT_THROW(s.Read(bytes, "install.dat"), ENovaError);
  }
}

TEST(RunningState, TagAndVersions) {
  struct Case {
    const char* what;
    std::string tag;
    bool no_events; // read only from record version 100 on
  } cases[] = {{"current", "nova100", true},
               {"not digits", "nova1x0", false},
               {"older", "nova099", false},
               {"no tag", "", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BinaryWriter w;
    w.Bytes(c.tag);
    w.I32(250); // time left
    w.I32(1);   // first-frame count
    w.Bool(true);
    TWaitState s;
    BinaryReader r(w.data(), "save");
    ReadRunningState(r, s);
    EXPECT_EQ(s.time_left_ms, 250);
    EXPECT_EQ(s.first_frames, 1);
    EXPECT_EQ(s.no_events, c.no_events);
  }
  // Fewer than 7 bytes: no tag, the reader starts where it was.
  BinaryWriter w;
  w.Bool(true); // Flip state of a version-0 record carries nothing
  BinaryReader r(w.data(), "save");
  TFlipState f;
  ReadRunningState(r, f);
  EXPECT_EQ(r.position(), 0u);

  TTextInsState t{"mes", true, true};
  BinaryWriter out;
  WriteRunningState(out, t);
  BinaryReader back(out.data(), "save");
  TTextInsState u;
  ReadRunningState(back, u);
  EXPECT_EQ(u.box, "mes");
  EXPECT_TRUE(u.waiting && u.no_events);
  EXPECT_TRUE(back.at_end());
}

} // namespace
} // namespace nova
