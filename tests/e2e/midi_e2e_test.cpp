// SPDX-License-Identifier: MIT
// A title's MIDI music through the sequencer and the synthesizer, seen in --midi-log and heard
// in --audio-out.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/title_runner.h"

namespace nova::e2e {
namespace {

// Division 96 at the default tempo: 96 ticks are 500 ms. Program 5; a note from 500 to 1000 ms
// and one from 1500 to 2000 ms.
std::string Tune() {
  const unsigned char file[] = {
      'M',  'T',  'h',  'd',  0, 0, 0, 6,  0, 1, 0, 1, 0, 96, // header: format 1, 1 track
      'M',  'T',  'r',  'k',  0, 0, 0, 25,                    // the track's 25 bytes
      0x00, 0xC0, 0x05,                                       // program 5
      0x60, 0x90, 0x3C, 0x64,                                 // tick 96: note on
      0x60, 0x80, 0x3C, 0x00,                                 // tick 192: note off
      0x60, 0x90, 0x40, 0x64,                                 // tick 288: note on
      0x60, 0x80, 0x40, 0x00,                                 // tick 384: note off
      0x00, 0xFF, 0x2F, 0x00,                                 // end of track
  };
  return std::string(reinterpret_cast<const char*>(file), sizeof file);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// The bytes of a log line (after the position).
std::string BytesOf(const std::string& line) { return line.substr(line.find(' ') + 1); }

size_t Find(const std::vector<std::string>& lines, const std::string& bytes, size_t from = 0) {
  for (size_t i = from; i < lines.size(); ++i)
    if (BytesOf(lines[i]) == bytes)
      return i;
  return lines.size();
}

TEST(MidiE2e, PausedMusicResumesQuieterWhereItStopped) {
  TTestTitle title("midi");
  title.Add("bgm.mid", Tune());
  title.Page("main.nsb", "VarNew \"ports\" type=1 value={0}\n"
                         "VarNew \"chosen\" type=3 value={FALSE}\n"
                         "Calc {ports = GetArraySize(@MidiPorts)}\n"
                         "Calc {@MidiPort = @MidiPorts[1]}\n"
                         "Calc {chosen = @MidiPort == @MidiPorts[1]}\n"
                         "Sound PR_NAME={\"bgm\"} PR_SOURCE={\"bgm.mid\"}\n"
                         "Wait time={800}\n"
                         // Paused, then half the volume (component volume 500), then resumed.
                         "SetProp object={\"bgm\"} prop={134} value={TRUE}\n"
                         "SetProp object={\"bgm\"} prop={28} value={500}\n"
                         "Wait time={400}\n"
                         "SetProp object={\"bgm\"} prop={134} value={FALSE}\n"
                         "Wait time={5000}\n");
  std::string logs[2], captures[2];
  for (int run = 0; run < 2; ++run) {
    const std::string log = (title.Root() / "midi.log").string();
    const std::string capture = (title.Root() / "out.wav").string();
    std::string error;
    const auto vars = title.Run(200, &error, "--midi-log " + log + " --audio-out " + capture);
    ASSERT_TRUE(error.empty()) << error;
    EXPECT_EQ(ValueOf(vars, "chosen"), "TRUE");
    EXPECT_GE(std::stoi(ValueOf(vars, "ports")), 2); // the mapper and the synthesizer
    logs[run] = title.Slurp(log);
    captures[run] = title.Slurp(capture);
  }
  EXPECT_EQ(logs[0], logs[1]);
  EXPECT_TRUE(captures[0] == captures[1]);

  const auto lines = Lines(logs[0]);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "0 F0 7E 7F 09 01 F7");
  // Full volume just before the first note; the note at 500 ms goes out on the tick after it.
  const size_t first_note = Find(lines, "90 3C 64");
  ASSERT_LT(first_note, lines.size());
  EXPECT_EQ(BytesOf(lines[first_note - 1]), "BF 07 7F");
  EXPECT_EQ(lines[first_note], "510 90 3C 64");
  // The pause silences every channel at about 800 ms.
  const size_t pause = Find(lines, "B0 7B 00", first_note);
  ASSERT_LT(pause, lines.size());
  EXPECT_NEAR(std::stoi(lines[pause]), 800, 20);
  // Resumed: reset, then the program and the channel volumes again, now at half.
  const size_t reset = Find(lines, "F0 7E 7F 09 01 F7", pause);
  ASSERT_LT(reset, lines.size());
  EXPECT_LT(Find(lines, "C0 05", reset), lines.size());
  EXPECT_EQ(Find(lines, "B0 07 7F", reset), lines.size());
  EXPECT_LT(Find(lines, "B0 07 3F", reset), lines.size());
  // Resumed at 800 ms: the note sounding there is struck again at once, the rest follows in
  // time; at the end only the silencing of the channels when the player closes.
  const size_t again = Find(lines, "90 3C 64", reset);
  ASSERT_LT(again, lines.size());
  EXPECT_EQ(lines[again], "810 90 3C 64");
  const size_t last_off = Find(lines, "80 40 00", reset);
  ASSERT_LT(last_off, lines.size());
  EXPECT_EQ(lines[last_off], "2010 80 40 00");
  for (size_t i = last_off + 1; i < lines.size(); ++i)
    EXPECT_EQ(BytesOf(lines[i]).substr(2), " 7B 00") << lines[i];

  // The synthesizer is heard in the capture once the first note plays, not before.
  const std::string& wav = captures[0];
  ASSERT_GT(wav.size(), 44u + 4 * 44100);
  auto peak = [&wav](double from_ms, double to_ms) {
    int peak = 0;
    for (size_t at = 44 + 4 * static_cast<size_t>(from_ms * 44.1);
         at + 2 <= wav.size() && at < 44 + 4 * static_cast<size_t>(to_ms * 44.1); at += 2) {
      int16_t v;
      std::memcpy(&v, wav.data() + at, 2);
      peak = std::max(peak, std::abs(static_cast<int>(v)));
    }
    return peak;
  };
  EXPECT_EQ(peak(0, 480), 0);
  EXPECT_GT(peak(520, 800), 500);
}

} // namespace
} // namespace nova::e2e
