// SPDX-License-Identifier: MIT
// A title's texts through a translation catalogue: extracted, translated, applied as a patch
// archive, and played with the patch beside the title or named after it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "e2e/title_runner.h"
#include "graphics/dibx.h"

namespace nova::e2e {
namespace {

namespace fs = std::filesystem;

// Lit pixels right of the box's second character: only a longer text reaches them.
int LitBeyondTwoCharacters(const fs::path& shot) {
  std::ifstream file(shot, std::ios::binary);
  const std::vector<uint8_t> png((std::istreambuf_iterator<char>(file)),
                                 std::istreambuf_iterator<char>());
  TDIBX picture(1, 1, 32);
  picture.LoadFromStream(png, shot.string());
  int n = 0;
  for (int y = 20; y < 60; ++y)
    for (int x = 60; x < 200; ++x)
      n += (picture.PixelToColor(picture.GetPixel(x, y)) & 0xFFFFFF) != 0 ? 1 : 0;
  return n;
}

void Replace(std::string& text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), to);
}

TEST(TranslationE2e, TranslatedCatalogueRoundTripsIntoThePlayedTitle) {
  TTestTitle title("translation");
  title.Add("nova.npb.txt", "project 116\ntitle \"test\"\nscene 320 240\nstart \"main.nsb\"\n");
  title.Page("main.nsb",
             "MesNew PR_NAME={\"m\"} PR_PARENT={\"\"} PR_LEFT={20} PR_TOP={20} PR_WIDTH={200} "
             "PR_HEIGHT={40} PR_FONTHEIGHT={16} PR_FONTCOLOR={$FFFFFF} PR_TEXTDELAY={0}\n"
             "TextIns text=\"WW\" delay=0 box={\"m\"} history={1} wait={0}\n"
             "VarNew \"g\" type=4 value={\"Hello\"}\n"
             "Wait time={300}\n");
  title.Page("other.nsb", "VarNew \"o\" type=4 value={\"untouched\"}\n");
  const std::string tool = Tool("NOVA_TOOL", "/apps/novatool/novatool");
  const std::string play = Tool("NOVA_PLAY", "/apps/novaplay/novaplay");
  const fs::path root = title.Root(), dir = root / "title", po = root / "texts.po";
  const fs::path shot = root / "shot.png";
  auto run = [&](std::string* error) {
    return title.Run(30, error, "--screenshot " + shot.string());
  };

  std::string error;
  auto vars = run(&error);
  ASSERT_TRUE(error.empty()) << error;
  EXPECT_EQ(ValueOf(vars, "g"), "\"Hello\"");
  EXPECT_EQ(LitBeyondTwoCharacters(shot), 0);

  ASSERT_EQ(std::system((tool + " text extract " + dir.string() + " -o " + po.string()).c_str()),
            0);
  std::string catalogue = title.Slurp(po);
  EXPECT_NE(catalogue.find("#: main.nsb:1\nmsgctxt \"main.nsb:1:text\"\nmsgid \"WW\"\n"),
            std::string::npos)
      << catalogue;
  EXPECT_NE(catalogue.find("msgid \"untouched\""), std::string::npos);

  // An untranslated catalogue changes no page: the patch holds nothing.
  const fs::path empty_patch = root / "empty.dat", listing = root / "list.txt";
  ASSERT_EQ(std::system((tool + " text apply " + dir.string() + " " + po.string() + " -o " +
                         empty_patch.string())
                            .c_str()),
            0);
  ASSERT_EQ(
      std::system(
          (tool + " archive list " + empty_patch.string() + " > " + listing.string()).c_str()),
      0);
  EXPECT_EQ(title.Slurp(listing), "version 102, 0 entries\n");

  Replace(catalogue, "msgid \"WW\"\nmsgstr \"\"", "msgid \"WW\"\nmsgstr \"WWWWWWWW\"");
  Replace(catalogue, "msgid \"Hello\"\nmsgstr \"\"", "msgid \"Hello\"\nmsgstr \"Bonjour\"");
  std::ofstream(po, std::ios::binary) << catalogue;
  const fs::path patch = root / "fr.dat";
  ASSERT_EQ(std::system(
                (tool + " text apply " + dir.string() + " " + po.string() + " -o " + patch.string())
                    .c_str()),
            0);
  ASSERT_EQ(
      std::system((tool + " archive list " + patch.string() + " > " + listing.string()).c_str()),
      0);
  EXPECT_NE(title.Slurp(listing).find("1 entries"), std::string::npos) << title.Slurp(listing);
  EXPECT_NE(title.Slurp(listing).find("main.nsb"), std::string::npos);

  // Named on the command line after the title.
  const fs::path dump = root / "patched_vars.txt";
  const std::string patched = play + " --headless --frames 30 --dump-vars " + dump.string() +
                              " --screenshot " + shot.string() + " " + dir.string() + " " +
                              patch.string();
  ASSERT_EQ(std::system(patched.c_str()), 0) << patched;
  EXPECT_NE(title.Slurp(dump).find("= \"Bonjour\""), std::string::npos) << title.Slurp(dump);
  EXPECT_GT(LitBeyondTwoCharacters(shot), 0) << "the translated text is on screen";

  // As "patch.dat" beside "game.dat".
  fs::copy_file(patch, dir / "patch.dat");
  vars = run(&error);
  ASSERT_TRUE(error.empty()) << error;
  EXPECT_EQ(ValueOf(vars, "g"), "\"Bonjour\"");
  EXPECT_GT(LitBeyondTwoCharacters(shot), 0);
}

TEST(TranslationE2e, CataloguesThatDoNotFitTheTitleAreRefused) {
  TTestTitle title("translation_refused");
  title.Page("main.nsb", "VarNew \"g\" type=4 value={\"Hello\"}\n");
  std::string error;
  title.Run(1, &error);
  ASSERT_TRUE(error.empty()) << error;
  const std::string tool = Tool("NOVA_TOOL", "/apps/novatool/novatool");
  const fs::path root = title.Root(), po = root / "t.po", err = root / "apply.err";
  const struct {
    const char* catalogue;
    const char* expected;
  } cases[] = {
      {"msgctxt \"main.nsb:9:value/0/1\"\nmsgid \"Hello\"\nmsgstr \"Bonjour\"\n",
       "main.nsb:9:value/0/1: the title has no such text"},
      {"msgid \"Hello\"\nmsgstr \"Bonjour\n", "t.po:2: a string without its closing quote"},
  };
  for (const auto& c : cases) {
    std::ofstream(po, std::ios::binary) << c.catalogue;
    const std::string apply = tool + " text apply " + (root / "title").string() + " " +
                              po.string() + " -o " + (root / "p.dat").string() + " 2> " +
                              err.string();
    EXPECT_NE(std::system(apply.c_str()), 0) << c.catalogue;
    EXPECT_NE(title.Slurp(err).find(c.expected), std::string::npos) << title.Slurp(err);
  }
}

} // namespace
} // namespace nova::e2e
