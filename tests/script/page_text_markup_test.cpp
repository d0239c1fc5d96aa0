// SPDX-License-Identifier: MIT
// TextIns text in the page text form: markup in, glyph-list streams stored, markup out again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "script/commands/scene_commands.h"
#include "script/page.h"
#include "script/text_form/page_text.h"
#include "text/zpword.h"

namespace nova {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Assemble(const std::string& text) {
  TPage page;
  page.set_name("main.nsb");
  TPageSource(text, "main.txt").Build(page);
  BinaryWriter w;
  page.Write(w);
  return w.Take();
}

std::string Disassemble(const std::vector<uint8_t>& bytes) {
  TPage page;
  EXPECT_EQ(page.Read(bytes, "main.nsb"), TPageReadResult::Loaded);
  return DisassemblePage(page); // UTF-8, as files hold it
}

struct MarkupCase {
  const char* line;   // as written
  const char* markup; // the markup it stores (UTF-8)
  int delay_ms;       // and the base wait
  const char* shown;  // the text field disassembly shows
  const char* delay;  // and the delay field, if any
};

const MarkupCase kCases[] = {
    {R"(TextIns "こんにちは<BR>世界" box={"mes"})", "こんにちは<BR>世界", 50,
     R"(text="こんにちは<BR>世界")", nullptr},
    // WAIT tags come back; the delay is kept when most characters use another wait.
    {R"(TextIns text="a<WAIT VALUE=300>b</WAIT>c" delay=20)", "a<WAIT VALUE=300>b</WAIT>c", 20,
     R"(text="a<WAIT VALUE=300>b</WAIT>c")", "delay=20"},
    {R"(TextIns text="<wait value=0>abc")", "<WAIT VALUE=0>abc", 50, R"(text="abc")", "delay=0"},
    // Markup escapes inside a text-form string: \\< is the markup's \<.
    {R"(TextIns "\\<tag> \"q\" <FONT COLOR=#FF0000 SIZE=20>赤</FONT><A HREF=\"go\">リンク</A>")",
     R"(\<tag> "q" <FONT COLOR=#FF0000 SIZE=20>赤</FONT><A HREF="go">リンク</A>)", 50,
     R"(text="\\<tag> \\\"q\\\" <FONT SIZE=20 COLOR=#FF0000>赤</FONT><A HREF=\"go\">リンク</A>")",
     nullptr},
    {R"(TextIns "<EVENT VALUE=\"se:1\" END><VAR NAME=\"name\">さん<CLEAR>")",
     R"(<EVENT VALUE="se:1" END><VAR NAME="name">さん<CLEAR>)", 50,
     R"(text="<EVENT VALUE=\"se:1\" END><VAR NAME=\"name\">さん<CLEAR>")", nullptr},
    // Bytes that markup cannot say stay hexadecimal.
    {R"(TextIns text=hex:0A0B0C)", nullptr, 0, R"(text=hex:0A0B0C)", nullptr},
};

// Disassembly shows the case's fields.
void ExpectShown(const std::string& text, const MarkupCase& c) {
  EXPECT_NE(text.find(c.shown), std::string::npos) << c.shown << "\n" << text;
  if (c.delay)
    EXPECT_NE(text.find(c.delay), std::string::npos) << c.delay << "\n" << text;
}

TEST(PageTextMarkup, TextInsCarriesGlyphStreamsAndShowsTheirMarkup) {
  for (const MarkupCase& c : kCases) {
    const std::vector<uint8_t> bytes = Assemble(std::string("page 116\n") + c.line + "\n");
    TPage page;
    ASSERT_EQ(page.Read(bytes, "main.nsb"), TPageReadResult::Loaded) << c.line;
    if (c.markup) {
      const std::vector<uint8_t> stream = MarkupToGlyphStream(Utf8ToSjis(c.markup), c.delay_ms);
      EXPECT_EQ(CommandAs<TComTextIns>(page.commands()[0]).glyph_stream,
                std::string(stream.begin(), stream.end()))
          << c.line;
    }
    const std::string text = Disassemble(bytes);
    ExpectShown(text, c);
    if (!c.delay)
      EXPECT_EQ(text.find("delay="), std::string::npos) << text;
    EXPECT_EQ(Assemble(text), bytes) << c.line;
  }
}

TEST(PageTextMarkup, FaultsNameTheLine) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"page 116\nLabel \"x\"\nTextIns \"<A>link</A>\"\n",
       "main.txt:3: <A>タグにHREF値がありません"},
      {"page 116\nTextIns text=hex:00 delay=5\n", "main.txt:2: delay belongs to markup text"},
      {"page 116\nTextIns delay=5\n", "main.txt:2: delay without markup text"},
      {"page 116\nTextIns text=\"a\" delay=x\n", "main.txt:2: expected delay"},
  };
  for (const auto& c : cases) {
    try {
      Assemble(c.text);
      ADD_FAILURE() << c.text;
    } catch (const ENovaError& e) {
      EXPECT_NE(SjisToUtf8(e.what()).find(c.message), std::string::npos) << SjisToUtf8(e.what());
    }
  }
}

// The same through the tool, as authors and title builds use it.
TEST(PageTextMarkup, ToolRoundTrip) {
  const char* tool = std::getenv("NOVA_TOOL");
  ASSERT_NE(tool, nullptr);
  const fs::path root = fs::path(testing::TempDir()) / "page_text_markup_tool";
  fs::remove_all(root);
  fs::create_directories(root);
  std::string source = "page 116\n";
  for (const MarkupCase& c : kCases)
    source += std::string(c.line) + "\n";
  std::ofstream(root / "a.txt", std::ios::binary) << source;
  auto run = [&](const std::string& args) {
    const std::string line = std::string(tool) + " " + args + " 2>" + (root / "err").string();
    EXPECT_EQ(std::system(line.c_str()), 0) << line;
  };
  run("page asm " + (root / "a.txt").string() + " -o " + (root / "a.nsb").string());
  run("page disasm " + (root / "a.nsb").string() + " > " + (root / "b.txt").string());
  run("page asm " + (root / "b.txt").string() + " -o " + (root / "b.nsb").string());
  auto read = [](const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };
  const std::string shown = read(root / "b.txt");
  for (const MarkupCase& c : kCases)
    ExpectShown(shown, c);
  EXPECT_EQ(read(root / "a.nsb"), read(root / "b.nsb"));
  fs::remove_all(root);
}

} // namespace
} // namespace nova
