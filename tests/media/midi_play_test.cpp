// SPDX-License-Identifier: MIT
#include "media/midi_play.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include <unistd.h>

#include "media/midi_log.h"
#include "midi_fixture.h"
#include "platform/clock.h"

namespace nova {
namespace {

using test::Bytes;
using test::RecordingPorts;
using test::Smf;
using test::Track;

// At division 96 and the default tempo a tick is 5.2083 ms: tick 96 is 500 ms.
Bytes Tune(uint8_t program = 0x05) {
  return Smf(96, {Track()
                      .Event(0, {0xC0, program})
                      .Event(96, {0x90, 0x3C, 0x64})
                      .Event(96, {0x80, 0x3C, 0x00})
                      .End()});
}

std::vector<std::string> Repeated(const std::string& position, const std::string& tail) {
  std::vector<std::string> lines;
  const char* hex = "0123456789ABCDEF";
  for (int c = 0; c < 16; ++c)
    lines.push_back(position + " B" + hex[c] + " " + tail);
  return lines;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A sequencer on the virtual clock whose log the tests read back.
class MidiPlayTest : public ::testing::Test {
protected:
  MidiPlayTest()
      : path_(std::filesystem::path(::testing::TempDir()) /
              ("midi_play_" + std::to_string(::getpid()) + ".log")),
        log_(path_.string()), ports_({"port"}), seq_(&ports_, TMidiTiming::Pumped, clock_) {
    seq_.SetLog(&log_);
    seq_.Open(-1);
  }
  ~MidiPlayTest() override { std::filesystem::remove(path_); }

  void Start(const Bytes& file, int32_t at_ms = 0) {
    ASSERT_TRUE(seq_.Load(file));
    seq_.Reset();
    seq_.PlayAt(at_ms);
  }
  void Run(uint32_t ms) {
    clock_.Advance(ms);
    seq_.Pump(clock_.NowMs());
  }
  // The log lines written since the last call.
  std::vector<std::string> NewLines() {
    log_.Flush();
    std::ifstream in(path_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
      lines.push_back(line);
    std::vector<std::string> fresh(lines.begin() + static_cast<long>(seen_), lines.end());
    seen_ = lines.size();
    return fresh;
  }

  std::filesystem::path path_;
  TMidiLog log_;
  TVirtualClock clock_{5000};
  RecordingPorts ports_;
  TMidiPlayV seq_;
  size_t seen_ = 0;
};

TEST_F(MidiPlayTest, FullVolumeOnEveryChannelJustBeforeTheFirstNote) {
  Start(Tune());
  Run(1100);
  const auto expected = std::vector<std::string>{"0 F0 7E 7F 09 01 F7", "10 C0 05"} +
                        Repeated("10", "07 7F") +
                        std::vector<std::string>{"510 90 3C 64", "1010 80 3C 00"};
  EXPECT_EQ(NewLines(), expected);
  EXPECT_TRUE(seq_.IsAtEnd());
  EXPECT_TRUE(seq_.IsPlaying()); // at the end the timer keeps running and sends nothing
  // What the log records is what the device received.
  EXPECT_EQ(ports_.sent->messages.size(), expected.size());
}

TEST_F(MidiPlayTest, ControllerScaleHalvesTheStoredVolume) {
  Start(Tune());
  seq_.SetControllerScale(7, 50);
  Run(10);
  EXPECT_EQ(NewLines(), std::vector<std::string>{"0 F0 7E 7F 09 01 F7"} + Repeated("0", "07 3F") +
                            std::vector<std::string>{"10 C0 05"} + Repeated("10", "07 3F"));
  // Stopped, a new scale is only remembered.
  seq_.Stop();
  NewLines();
  seq_.SetControllerScale(7, 100);
  EXPECT_TRUE(NewLines().empty());
}

TEST_F(MidiPlayTest, RepeatSilencesAndStartsAgainFromTheFirstEvent) {
  seq_.SetRepeat(true);
  Start(Tune());
  Run(1000);
  NewLines();
  Run(10);
  EXPECT_EQ(NewLines(), std::vector<std::string>{"1010 80 3C 00"} + Repeated("1010", "7B 00"));
  Run(10);
  const auto lines = NewLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "10 C0 05");
  EXPECT_FALSE(seq_.IsAtEnd());
}

TEST_F(MidiPlayTest, PlayAtChasesAllButNotesAndBeyondTheEndStartsAgain) {
  Start(Tune(), 700);
  // Everything before the event preceding 700 ms, notes left out, after all-notes-off.
  EXPECT_EQ(NewLines(), std::vector<std::string>{"0 F0 7E 7F 09 01 F7"} + Repeated("0", "7B 00") +
                            std::vector<std::string>{"0 C0 05"} + Repeated("0", "07 7F"));
  // Playing goes on from 700 ms: the note sounding there is struck again on the first tick.
  EXPECT_EQ(seq_.Position(), 700);
  Run(1200);
  EXPECT_EQ(NewLines(), (std::vector<std::string>{"710 90 3C 64", "1010 80 3C 00"}));
  seq_.PlayAt(60'000);
  EXPECT_EQ(NewLines(), Repeated("1010", "7B 00"));
  EXPECT_EQ(seq_.Position(), 0);
  Run(10);
  EXPECT_EQ(NewLines().front(), "10 C0 05");
}

TEST_F(MidiPlayTest, LoadingAnotherFileStartsFromItsBeginningWithoutABurst) {
  Start(Tune());
  Run(2000);
  NewLines();
  ASSERT_TRUE(seq_.Load(Tune(0x07)));
  EXPECT_EQ(seq_.Position(), 0);
  seq_.PlayAt(0);
  Run(10);
  const auto lines = NewLines();
  ASSERT_EQ(lines.size(), 17u); // the program change and the inserted volumes, no note
  EXPECT_EQ(lines.front(), "10 C0 07");
}

TEST_F(MidiPlayTest, StopSilencesEveryChannelOnce) {
  Start(Tune());
  Run(600);
  NewLines();
  seq_.Stop();
  EXPECT_FALSE(seq_.IsPlaying());
  EXPECT_EQ(NewLines(), Repeated("600", "7B 00"));
  seq_.Stop();
  Run(1000);
  EXPECT_TRUE(NewLines().empty());
}

TEST_F(MidiPlayTest, DataBytesStayBelow128) {
  // Running status reads raw bytes: a data byte of 0x90 after a note-on status.
  Start(Smf(96, {Track().Event(0, {0x90, 0x3C, 0x90}).Event(0, {0xB0, 0x0A, 0xFF}).End(10)}));
  Run(10);
  const auto lines = NewLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "10 90 3C 7F"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "10 B0 0A 7F"), lines.end());
}

TEST_F(MidiPlayTest, TheThreadTimerPlaysOnItsOwn) {
  TMidiPlayV threaded(&ports_, TMidiTiming::Thread, PlatformClock());
  ASSERT_TRUE(threaded.Open(-1));
  ASSERT_TRUE(
      threaded.Load(Smf(96, {Track().Event(0, {0xC0, 0x01}).Event(2, {0xC0, 0x02}).End(2)})));
  const size_t before = ports_.sent->messages.size();
  threaded.PlayAt(0);
  for (int i = 0; i < 200 && !threaded.IsAtEnd(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_TRUE(threaded.IsAtEnd());
  threaded.Stop();
  // Both programs, the volumes inserted at the end (the last event is never sent), and
  // all-notes-off.
  EXPECT_EQ(ports_.sent->messages.size() - before, 2u + 15u + 16u);
}

} // namespace
} // namespace nova
