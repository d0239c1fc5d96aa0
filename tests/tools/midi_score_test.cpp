// SPDX-License-Identifier: MIT
// Written scores built into Standard MIDI Files and read back by the player's own MIDI reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/midi_score.h"
#include "base/nova_error.h"
#include "media/midi_file.h"

namespace nova::tool {
namespace {

struct TNoteSeen {
  int32_t time_ms;
  int channel, key, velocity; // velocity 0: the note ends
  bool operator==(const TNoteSeen&) const = default;
};

TMidiV Read(const std::string& text) {
  const std::vector<uint8_t> bytes = WriteSmf(ParseMidiScore(text, "m.txt"));
  TMidiV midi;
  EXPECT_TRUE(midi.ReadFile(bytes));
  EXPECT_EQ(midi.Problem(), "");
  return midi;
}

std::vector<TNoteSeen> Notes(const TMidiV& midi) {
  std::vector<TNoteSeen> out;
  for (const TMidiMsgEvent& e : midi.Events())
    if (e.kind == mkNoteOn || e.kind == mkNoteOff)
      out.push_back({e.time, e.Status() & 0x0F, e.Data(0), e.kind == mkNoteOn ? e.Data(1) : 0});
  return out;
}

TEST(MidiScore, NotesChordsRestsAndRepeatsPlayAtTheirTimes) {
  // At 120 beats a minute a quarter note is 500 ms.
  const TMidiV midi = Read("tempo 120\n"
                           "track Lead\nchannel 3\nprogram 5\nvolume 90\nlegato 50\n"
                           "C4 q v100 [E4 G4] e r e r h | \n"
                           "repeat 2\n  D4 h.\nend\n");
  const std::vector<TNoteSeen> want = {
      {0, 2, 60, 80},  {250, 2, 60, 0},    {500, 2, 64, 100}, {500, 2, 67, 100},  {625, 2, 64, 0},
      {625, 2, 67, 0}, {2000, 2, 62, 100}, {2750, 2, 62, 0},  {3500, 2, 62, 100}, {4250, 2, 62, 0},
  };
  EXPECT_EQ(Notes(midi), want);
  EXPECT_EQ(midi.LengthMs(), 5000); // every track ends where the score does
  bool program = false, volume = false;
  for (const TMidiMsgEvent& e : midi.Events()) {
    program |= e.kind == mkProgram && e.Status() == 0xC2 && e.Data(0) == 5;
    volume |= e.kind == mkControl && e.Data(0) == 7 && e.Data(1) == 90;
  }
  EXPECT_TRUE(program);
  EXPECT_TRUE(volume);
}

TEST(MidiScore, TempoDurationsTranspositionAndTracks) {
  // 60 beats a minute: a quarter is 1 s; later 120. Tracks take channels 1, 2, ... past 10.
  const TMidiV midi = Read("tempo 60\ntime 3/4\n"
                           "track A\nlegato 100\ntranspose 12\nC4 h C4 e3 C4 e3 C4 e3 |\n"
                           "tempo 120\nC4 h+q\n"
                           "track B\nlegato 100\nBb3 s Bb3 t\n");
  const std::vector<TNoteSeen> notes = Notes(midi);
  const std::vector<TNoteSeen> want = {
      {0, 0, 72, 80},    {0, 1, 58, 80},    {250, 1, 58, 0},   {250, 1, 58, 80},  {375, 1, 58, 0},
      {2000, 0, 72, 0},  {2000, 0, 72, 80}, {2333, 0, 72, 0},  {2333, 0, 72, 80}, {2667, 0, 72, 0},
      {2667, 0, 72, 80}, {3000, 0, 72, 0},  {3000, 0, 72, 80}, {4500, 0, 72, 0},
  };
  ASSERT_EQ(notes.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(notes[i].time_ms, want[i].time_ms, 1);
    EXPECT_EQ(notes[i].key, want[i].key);
    EXPECT_EQ(notes[i].channel, want[i].channel);
    EXPECT_EQ(notes[i].velocity, want[i].velocity);
  }
}

TEST(MidiScore, LongLegatoNeverSilencesTheSameKeyStruckAgain) {
  const std::vector<TNoteSeen> notes = Notes(Read("track\nlegato 300\nC4 q C4 q E4 q\n"));
  const std::vector<TNoteSeen> want = {
      {0, 0, 60, 80},    {500, 0, 60, 0},  {500, 0, 60, 80},
      {1000, 0, 64, 80}, {2000, 0, 60, 0}, {2500, 0, 64, 0},
  };
  EXPECT_EQ(notes, want);
}

TEST(MidiScore, TrackTenAndOnAvoidTheDrumChannelUnlessAsked) {
  std::string text;
  for (int i = 0; i < 11; ++i)
    text += "track\nC4 q\n";
  text += "track\nchannel 10\nC4 q\n";
  std::vector<int> channels;
  for (const TNoteSeen& n : Notes(Read(text)))
    if (n.velocity > 0)
      channels.push_back(n.channel);
  EXPECT_EQ(channels, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 9}));
}

TEST(MidiScore, BadLinesNameTheFileLineAndFault) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"tempo 10\ntrack\nC4 q\n", "m.txt:1: tempo 10 is outside 20 to 400"},
      {"time 5/5\n", "m.txt:1: time \"5/5\" is not a signature"},
      {"divison 480\n", "m.txt:1: unknown word \"divison\" before the first track"},
      {"division 100\n", "m.txt:1: division must be a multiple of 48"},
      {"tempo 90\n", "m.txt: no track"},
      {"track\nC4 q\nH4 q\n", "m.txt:3: \"H4\" is not a note name"},
      {"track\nchanel 2\n", "m.txt:2: \"chanel\" is not a note name"},
      {"track\nC4\n", "m.txt:2: \"C4\" needs a duration"},
      {"track\nC4 x\n", "m.txt:2: \"x\" is not a duration"},
      {"track\nC4 q+\n", "m.txt:2: \"q+\" is not a duration"},
      {"track\n[C4 E4\n", "m.txt:2: a chord without its closing \"]\""},
      {"track\n[] q\n", "m.txt:2: an empty chord"},
      {"track\nC4 q |\n", "m.txt:2: bar line 1 beats into bar 1"},
      {"track\nv0 C4 q\n", "m.txt:2: velocity \"v0\" is outside v1 to v127"},
      {"track\nprogram 128\n", "m.txt:2: program 128 is outside 0 to 127"},
      {"track\nC4 q\nchannel 2\n", "m.txt:3: the channel is set before"},
      {"track\ntranspose 48\nG9 q\n", "m.txt:3: \"G9\" transposed leaves the MIDI range"},
      {"track\nrepeat 2\nC4 q\n", "m.txt:2: \"repeat\" without its \"end\""},
      {"track\nC4 q\nend\n", "m.txt:3: \"end\" without a \"repeat\""},
      {"track\nrepeat 101\nend\n", "m.txt:2: repeat 101 is outside 1 to 100"},
      {"track\nrepeat 1\nrepeat 1\nrepeat 1\nrepeat 1\nrepeat 1\nrepeat 1\nrepeat 1\nrepeat 1\n"
       "repeat 1\nend\nend\nend\nend\nend\nend\nend\nend\nend\n",
       "m.txt:10: repeats nest deeper than 8"},
      // 100 x 100 x 100 bars of whole notes run past the cap on events before any allocation.
      {"track\nrepeat 100\nrepeat 100\nrepeat 100\nC4 w\nend\nend\nend\n",
       "m.txt:5: more than 200000 events"},
      {"division 960\ntrack\nrepeat 100\nrepeat 100\nrepeat 100\nr w+w+w+w\nend\nend\nend\n",
       "the track grows longer than 268435456 ticks"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      ParseMidiScore(c.text, "m.txt");
      ADD_FAILURE() << "accepted";
    } catch (const ENovaError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
}

} // namespace
} // namespace nova::tool
