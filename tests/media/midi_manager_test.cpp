// SPDX-License-Identifier: MIT
#include "media/midi_manager.h"

#include <gtest/gtest.h>

#include <map>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "media/midi_alsa_ports.h"
#include "media/midi_synth.h"
#include "midi_fixture.h"
#include "platform/clock.h"

namespace nova {
namespace {

using test::Bytes;
using test::RecordingPorts;
using test::Smf;
using test::Track;

// Program 5, a note from 500 to 1000 ms, the end at 1000 ms.
Bytes Tune() {
  return Smf(96, {Track()
                      .Event(0, {0xC0, 0x05})
                      .Event(96, {0x90, 0x3C, 0x64})
                      .Event(96, {0x80, 0x3C, 0x00})
                      .End()});
}

class MidiManagerTest : public ::testing::Test {
protected:
  MidiManagerTest() : ports_({"Ext A", "Ext B"}), manager_(MakeSetup()) {}

  TMidiManagerSetup MakeSetup() {
    TMidiManagerSetup setup;
    setup.synthesizer = false;
    setup.ports = &ports_;
    setup.clock = &clock_;
    setup.read_file = [this](const std::string& name) {
      const auto found = files_.find(name);
      if (found == files_.end())
        throw ENovaError(name + ":file missing");
      return found->second;
    };
    setup.warn = [this](const std::string& text) { warnings_.push_back(text); };
    return setup;
  }
  void Run(uint32_t ms) {
    for (uint32_t t = 0; t < ms; t += 16) { // frame by frame, as the player pumps it
      clock_.Advance(16);
      manager_.Update();
    }
  }
  // The last `n` messages the port received.
  std::vector<Bytes> Last(size_t n) {
    const auto& all = ports_.sent->messages;
    return {all.end() - static_cast<long>(std::min(n, all.size())), all.end()};
  }
  static std::vector<Bytes> Volumes(uint8_t value) {
    std::vector<Bytes> out;
    for (uint8_t c = 0; c < 16; ++c)
      out.push_back({static_cast<uint8_t>(0xB0 + c), 7, value});
    return out;
  }

  static std::string AsText(const Bytes& bytes) { return {bytes.begin(), bytes.end()}; }

  std::map<std::string, std::string> files_{{"bgm.mid", AsText(Tune())}};
  std::vector<std::string> warnings_;
  TVirtualClock clock_{1000};
  RecordingPorts ports_;
  TMidiManager manager_;
};

TEST_F(MidiManagerTest, DeviceListStartsWithTheMapperAndClampsSelections) {
  EXPECT_EQ(manager_.DeviceCount(), 3);
  EXPECT_EQ(manager_.DeviceName(0), Utf8ToSjis("MIDIマッパー"));
  EXPECT_EQ(manager_.DeviceName(2), "Ext B");
  EXPECT_EQ(manager_.DeviceName(3), manager_.DeviceName(0));
  EXPECT_EQ(manager_.DeviceName(-1), manager_.DeviceName(0));
  manager_.SelectDevice(7);
  EXPECT_EQ(manager_.SelectedDevice(), 2);
  manager_.SelectDevice(-4);
  EXPECT_EQ(manager_.SelectedDevice(), 0);
  manager_.SelectDevice(std::string("Ext A"));
  EXPECT_EQ(manager_.SelectedDevice(), 1);
  manager_.SelectDevice(std::string("nothing"));
  EXPECT_EQ(manager_.SelectedDevice(), 1);
}

TEST_F(MidiManagerTest, IndexZeroOpensTheDefaultAndAChangeWhilePlayingKeepsThePosition) {
  auto item = manager_.Add("bgm.mid");
  item->Play();
  EXPECT_EQ(ports_.opened, std::vector<int>{-1});
  Run(320);
  const int32_t before = item->GetPosition();
  manager_.SelectDevice(2);
  EXPECT_EQ(ports_.opened, (std::vector<int>{-1, 1}));
  EXPECT_TRUE(item->IsPlaying());
  EXPECT_EQ(item->GetPosition(), before);
  // The new device was reset and got the program back before any note.
  EXPECT_EQ(Last(16), Volumes(0x7F));
}

TEST_F(MidiManagerTest, PauseRemembersThePositionAndVolumeStaysValidMidi) {
  auto item = manager_.Add("bgm.mid");
  EXPECT_EQ(item->GetLength(), 1000);
  item->Play();
  Run(640);
  item->Pause();
  EXPECT_TRUE(item->IsPaused());
  EXPECT_FALSE(item->IsPlaying());
  const int32_t paused_at = item->GetPosition();
  EXPECT_GT(paused_at, 500);
  // A component volume of 0 and of 2000 give -10000 and +10000: 50 and 100 percent.
  item->SetVolume(-10000);
  item->Play();
  EXPECT_EQ(Last(16), Volumes(63));
  EXPECT_FALSE(item->IsPaused());
  item->SetVolume(10000);
  EXPECT_EQ(Last(16), Volumes(127));
  Run(1100);
  EXPECT_TRUE(item->IsEnd());
  const auto& all = ports_.sent->messages;
  EXPECT_NE(std::find(all.begin(), all.end(), Bytes{0x80, 0x3C, 0x00}), all.end());
}

TEST_F(MidiManagerTest, SoundSwitchedOffHoldsPlayUntilItIsOnAgain) {
  auto playing = manager_.Add("bgm.mid");
  playing->Play();
  Run(100);
  manager_.SetActive(false);
  EXPECT_FALSE(playing->IsPlaying());
  auto later = manager_.Add("bgm.mid");
  later->Play();
  EXPECT_FALSE(later->IsPlaying());
  manager_.SetActive(true);
  EXPECT_TRUE(later->IsPlaying()); // the last one played is the current one
  EXPECT_FALSE(playing->IsPlaying());
}

TEST_F(MidiManagerTest, MissingOrDamagedFilesPlayNothingAndSaySo) {
  files_["bad.mid"] = std::string("MThd\0\0\0\6\0\1\0\1\0\0", 14); // division 0
  for (const char* name : {"missing.mid", "bad.mid"}) {
    SCOPED_TRACE(name);
    warnings_.clear();
    auto item = manager_.Add(name);
    EXPECT_EQ(item->GetLength(), 0);
    item->Play();
    Run(100);
    EXPECT_TRUE(item->IsEnd());
    ASSERT_FALSE(warnings_.empty());
    EXPECT_NE(warnings_.front().find(name), std::string::npos) << warnings_.front();
    item.reset();
  }
}

TEST_F(MidiManagerTest, DisplayModeChangeClosesAndResumesWhereItWas) {
  auto item = manager_.Add("bgm.mid");
  item->Play();
  Run(480);
  const int32_t position = item->GetPosition();
  manager_.ReleaseDevice();
  EXPECT_EQ(ports_.sent->resets, 1);
  EXPECT_FALSE(manager_.Sequencer().IsOpen());
  manager_.RestoreDevice();
  EXPECT_TRUE(manager_.Sequencer().IsOpen());
  EXPECT_TRUE(item->IsPlaying());
  EXPECT_EQ(item->GetPosition(), position);
  Run(600);
  const auto& all = ports_.sent->messages;
  EXPECT_NE(std::find(all.begin(), all.end(), Bytes{0x90, 0x3C, 0x64}), all.end());
}

TEST_F(MidiManagerTest, ItemsOutlivingTheirManagerAreSilentAndInert) {
  auto manager = std::make_unique<TMidiManager>(MakeSetup());
  auto item = manager->Add("bgm.mid");
  item->Play();
  EXPECT_TRUE(item->IsPlaying());
  manager.reset();
  EXPECT_TRUE(item->Detached());
  item->Play();
  item->SetVolume(-100);
  EXPECT_FALSE(item->IsPlaying());
  EXPECT_FALSE(item->IsEnd());
  EXPECT_EQ(item->GetLength(), 1000);
}

TEST(MidiMachinePorts, ListAndOpenWithoutFailing) {
  // Machines without the ALSA sequencer simply have no ports.
  TAlsaMidiPorts ports;
  const auto names = ports.Names();
  EXPECT_EQ(ports.Open(static_cast<int>(names.size())), nullptr);
}

TEST(MidiSynth, RendersSoundForANoteAndAcceptsSystemExclusive) {
  const std::string soundfont = FindSoundFont("");
  if (soundfont.empty())
    GTEST_SKIP() << "no General MIDI soundfont installed";
  EXPECT_EQ(FindSoundFont("/no/such.sf2"), soundfont);
  TMidiSynth synth(soundfont);
  auto out = synth.OpenOutput();
  const uint8_t gm_on[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  out->LongMessage(gm_on);
  std::vector<int16_t> samples(2 * 4410);
  synth.Render(samples.data(), 4410);
  EXPECT_TRUE(std::all_of(samples.begin(), samples.end(), [](int16_t s) { return s == 0; }));
  const uint8_t note_on[] = {0x90, 0x3C, 0x7F};
  out->ShortMessage(note_on);
  synth.Render(samples.data(), 4410);
  EXPECT_TRUE(std::any_of(samples.begin(), samples.end(), [](int16_t s) { return s > 1000; }));
  out->Reset();
  synth.Render(samples.data(), 4410);
  synth.Render(samples.data(), 4410);
  // Only the reverberation's tail is left.
  EXPECT_TRUE(
      std::all_of(samples.begin(), samples.end(), [](int16_t s) { return std::abs(s) < 300; }));
  EXPECT_THROW(TMidiSynth("/etc/hostname"), ENovaError);
}

} // namespace
} // namespace nova
