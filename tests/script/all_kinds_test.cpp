// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "script/commands/component_commands.h"
#include "script/commands/flow_commands.h"
#include "script/commands/scene_commands.h"
#include "script/page.h"
#include "script/text_form/page_text.h"

namespace nova {
namespace {

// One command of every kind, in id order, each field given a value that differs from its
// default.
constexpr const char* kAllKinds = R"(page 116
result str
If {a > 1}
Elseif {a > 2}
Else
Label "top"
Jump page="other.nsb" target=3 cond={b}
Call page="other.nsb" target=2 result="r" cond={c} args=({1}, {"x"}, {1.25})
Exit {d}
Wait cond={e} time={500} noevents={TRUE}
BoxNew PR_NAME={"box"} PR_LEFT={10} PR_COLOR={$FF}
ImgNew PR_NAME={"img"} PR_SOURCE={"a.png"}
MesNew PR_NAME={"mes"} PR_FONTHEIGHT={20}
Timer PR_NAME={"tm"} PR_DELAY={100}
Movie PR_NAME={"mv"} PR_VOLUME={900}
Flip kind={3} time={400} flag={1} keep={1} names=({"A"}, {"B"}) delold={TRUE} param1={1} \
    param2={2} source={"mask.png"} noevents={FALSE}
Calc {x = x + 1}
VarNew name="v" type=4 value={"s"} scope=2
VarDel "v"
GetProp object={"box"} prop={3} var="left"
SetProp object={"box"} prop={3} value={20}
ObjDel {"box"}
TextIns text=hex:0A0B0C box={"mes"} history={TRUE} wait={TRUE} noevents={TRUE}
MovieStop object={"mv"} fade={300} wait={TRUE} noevents={TRUE}
ClrHist
Cinema PR_NAME={"cin"}
Caption PR_NAME={"cap"} PR_TEXT={"hello"}
Menu PR_NAME={"menu"} PR_ROWCOUNT={3}
MenuClose {"menu"}
Comment "メモ"
TextClr {"mes"}
CallHist box={"mes"} first={0} count={5} readback={TRUE} format={"fmt"}
Button PR_NAME={"btn"} PR_HOVERSOURCE={"h.png"}
While cond={i < 3} end=36
WhileInit {i = 0}
WhileLoop expr={i = i + 1} head=31
Break cond={i == 2} target=36
Continue cond={i == 1} target=-1
ParticleNew PR_NAME={"pt"} PR_APPEARX={1} PR_APPEARY={2}
FireNew PR_NAME={"fire"} PR_POWER={4}
GameSave slot={1} page="resume.nsb" index=7 title={"save"}
GameLoad {1}
PCReset page="main.nsb" target=@top clear=1
Reset page="main.nsb" target=0 unused=1
Sound PR_NAME={"snd"} PR_SOURCE={"a.ogg"} PR_REPEAT={TRUE}
EditNew PR_NAME={"ed"} PR_IMEMODE={3}
MemoNew PR_NAME={"memo"} PR_READONLY={TRUE}
Terminate
DoEvent
ClrRead
MapImgNew PR_NAME={"map"} PR_MAPSOURCE={"m.map"}
WaveNew PR_NAME={"wave"} PR_AMP={2} PR_WAVELEN={50}
TileNew PR_NAME={"tile"} PR_SCROLLX={1}
SliderNew PR_NAME={"sl"} PR_MIN={0} PR_MAX={10}
ScrollbarNew PR_NAME={"sb"} PR_LARGECHANGE={5}
GaugeNew PR_NAME={"g"} PR_VALUE={50} PR_REVERSE={TRUE}
CGCaption PR_NAME={"cg"} PR_MAPTEXT={"0123"}
MediaPlay {"snd"}
PrevMenuNew PR_NAME={"pm"}
PropMotion name={"mo"} object={"box"} prop={3} value={100.5} time={1000} curve={1} paused={FALSE}
FormatHist object={"mes"} format={"fmt"}
SaveCabinet PR_NAME={"cab"} invert={TRUE} names=({"A"})
LoadCabinet PR_NAME={"cab"} invert={FALSE} names=({"A"}, {"B"})
)";

std::vector<uint8_t> Assemble(const std::string& text, TPage& page) {
  TPageSource(text, "all.txt").Build(page);
  BinaryWriter w;
  page.Write(w);
  return w.Take();
}

TEST(PageTextForm, EveryKindRoundTrips) {
  TPage built;
  built.set_name("main.nsb");
  std::vector<uint8_t> bytes = Assemble(kAllKinds, built);

  TPage page;
  ASSERT_EQ(page.Read(bytes, "main.nsb"), TPageReadResult::Loaded);
  ASSERT_EQ(page.commands().Count(), kCommandKindCount);
  for (int32_t i = 0; i < kCommandKindCount; ++i) {
    EXPECT_EQ(static_cast<int32_t>(page.commands()[i].Id()), i) << "command " << i;
  }
  EXPECT_EQ(page.result_type(), 4);

  const TComList& c = page.commands();
  EXPECT_EQ(CommandAs<TComCall>(c[5]).args.size(), 3u);
  EXPECT_EQ(CommandAs<TComCall>(c[5]).result_var, "r");
  EXPECT_EQ(CommandAs<TComFlip>(c[13]).names.size(), 2u);
  EXPECT_EQ(CommandAs<TComTextIns>(c[20]).glyph_stream, "\x0A\x0B\x0C");
  EXPECT_EQ(CommandAs<TComVarNew>(c[15]).type, 4);
  EXPECT_EQ(CommandAs<TComVarNew>(c[15]).scope, 2);
  EXPECT_EQ(CommandAs<TComComment>(c[27]).text, Utf8ToSjis("メモ"));
  EXPECT_TRUE(c[27].Skip());
  EXPECT_EQ(CommandAs<TComWhile>(c[31]).end_index, 36);
  EXPECT_EQ(CommandAs<TComContinue>(c[35]).target, -1);
  EXPECT_EQ(CommandAs<TComGameSave>(c[38]).resume_index, 7);
  EXPECT_EQ(CommandAs<TComPCReset>(c[40]).target, 3); // @top in this page
  EXPECT_TRUE(CommandAs<TComPCReset>(c[40]).ClearAllCalls());
  EXPECT_EQ(CommandAs<TComCabinetLoad>(c[60]).names.size(), 2u);
  // Property expressions follow the mask the assembler derived, in id order.
  const auto& gauge = CommandAs<TComGaugeNew>(c[53]).props.entries();
  ASSERT_EQ(gauge.size(), 3u);
  EXPECT_EQ(gauge[0].first, 0);   // PR_NAME
  EXPECT_EQ(gauge[1].first, 125); // PR_VALUE
  EXPECT_EQ(gauge[2].first, 137); // PR_REVERSE
  // Header defaults: indent from the text, line from the text line.
  EXPECT_EQ(c[1].header.line, 4);
  EXPECT_TRUE(c[1].header.cont);

  std::string text = DisassemblePage(page);
  TPage again;
  again.set_name("main.nsb");
  EXPECT_EQ(Assemble(text, again), bytes) << text;
}

TEST(PageTextForm, HeaderFieldsAndOldVersionsRoundTrip) {
  constexpr const char* kText = R"(page 106
result flag
masks 64 30
mask BoxNew PR_NAME PR_TOP 171 tail=0000000000000001
mask 63 PR_PARENT
    If {x} indent=-3 skip=1 cont=0 line=77 kindbyte=0x80
      Wait time={1}
BoxNew PR_NAME={"b"}
Flip kind={1} source={"s"}
)";
  TPage built;
  std::vector<uint8_t> bytes = Assemble(kText, built);
  TPage page;
  ASSERT_EQ(page.Read(bytes, "o.nsb"), TPageReadResult::Loaded);
  const TCommandHeader& h = page.commands()[0].header;
  EXPECT_EQ(h.indent, -3);
  EXPECT_TRUE(h.skip);
  EXPECT_FALSE(h.cont);
  EXPECT_EQ(h.line, 77);
  EXPECT_EQ(page.commands()[0].kind_byte, 0x80);
  EXPECT_EQ(page.commands()[1].header.indent, 3);
  EXPECT_EQ(page.masks().StoredCount(), 64);
  EXPECT_EQ(page.masks().StoredSize(), 30);
  // The mask line names PR_TOP, so the box carries an (empty) PR_TOP expression.
  EXPECT_EQ(CommandAs<TComBoxNew>(page.commands()[2]).props.entries().size(), 2u);
  TPage again;
  EXPECT_EQ(Assemble(DisassemblePage(page), again), bytes);
}

TEST(PageTextForm, MistakesNameTheLine) {
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"page 116\nWait time={1} noevents={1} colour={2}\n",
       "t.txt:2: unknown field 'colour' for Wait"},
      {"page 106\nWait noevents={1}\n",
       "t.txt:2: unknown field 'noevents' for Wait in page version 106"},
      {"Jump target=@nowhere\n", "t.txt:1: no label \"nowhere\" in this page"},
      {"mask BoxNew PR_NAME\nBoxNew PR_LEFT={1}\n",
       "t.txt:2: PR_LEFT is not in the page's mask entry for BoxNew"},
      {"Calc {x = (1}\n", "t.txt:1: expression \"x = (1\": 構文エラー"},
      {"Frobnicate\n", "t.txt:1: unknown command 'Frobnicate'"},
      {"Calc [x = ocNope 1]\n", "t.txt:1: unknown operator 'ocNope'"},
      {"page 102\n", "t.txt:1: expected a page version from 103"},
      {"Label \"a\nCalc {}\n", "t.txt:1: unterminated string"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      TPage page;
      TPageSource(c.text, "t.txt").Build(page);
      ADD_FAILURE() << "no error";
    } catch (const ENovaError& e) {
      EXPECT_NE(SjisToUtf8(e.what()).find(c.expected), std::string::npos) << SjisToUtf8(e.what());
    }
  }
}

// An expression may go on over lines ending in a backslash, as a command does: it is the same
// expression as written on one line. A backslash inside a string literal stays what it is.
TEST(PageTextForm, ExpressionsContinueOverLines) {
  struct Case {
    const char* continued;
    const char* one_line;
  } cases[] = {
      {"Calc {s = \"p\" ++ \\\n  \"q\"}\n", "Calc {s = \"p\" ++ \"q\"}\n"},
      {"VarNew \"v\" type=1 \\\n  value={1 + \\  \n 2 * \\\n 3} scope=2\n",
       "VarNew \"v\" type=1 value={1 + 2 * 3} scope=2\n"},
      {"Calc {s = \"a\\\\\" ++ \\\n \"b\"}\n", "Calc {s = \"a\\\\\" ++ \"b\"}\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.continued);
    TPage continued, one_line;
    Assemble(c.continued, continued);
    Assemble(c.one_line, one_line);
    // The commands differ only in their line numbers.
    auto strip = [](std::string t) {
      for (size_t at; (at = t.find("line=")) != std::string::npos;)
        t.erase(at, t.find('\n', at) - at);
      return t;
    };
    EXPECT_EQ(strip(DisassemblePage(continued)), strip(DisassemblePage(one_line)));
  }
}

TEST(PageTextForm, LabelsOfOtherPagesComeFromTheResolver) {
  TPage page;
  page.set_name("main.nsb");
  TPageSource source(
      "Jump page=\"sub.nsb\" target=@there\nCall page=\"main.nsb\" target=@here\nLabel \"here\"\n",
      "t.txt");
  source.Build(page, [](const std::string& p, const std::string& label) -> std::optional<int32_t> {
    if (p == "sub.nsb" && label == "there")
      return 12;
    return std::nullopt;
  });
  EXPECT_EQ(CommandAs<TComJump>(page.commands()[0]).target, 12);
  EXPECT_EQ(CommandAs<TComCall>(page.commands()[1]).target, 2);
}

} // namespace
} // namespace nova
