// SPDX-License-Identifier: MIT
#include "media/midi_file.h"

#include <gtest/gtest.h>

#include "midi_fixture.h"

namespace nova {
namespace {

using test::AppendTrack;
using test::Bytes;
using test::Header;
using test::Smf;
using test::Track;

std::string Msg(std::initializer_list<uint8_t> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

TEST(MidiFile, EqualTicksKeepTrackOrderAndTempoChangesTimeFromTheirOwnEvent) {
  // Track 0: the tempo map; track 1: notes. Tick 960 at 500000 us/quarter is 1000 ms; the
  // following 480 ticks run at 250000 us/quarter.
  const Bytes file =
      Smf(480, {Track()
                    .Event(0, {0xC0, 0x05})                        // program at tick 0
                    .Event(960, {0xFF, 0x51, 3, 0x03, 0xD0, 0x90}) // tempo 250000 at 960
                    .End(480),
                Track()
                    .Event(0, {0x90, 0x3C, 0x64}) // same tick as the program change
                    .Event(1440, {0x80, 0x3C, 0x00})
                    .End()});
  TMidiV midi;
  ASSERT_TRUE(midi.ReadFile(file));
  const auto& e = midi.Events();
  ASSERT_EQ(e.size(), 6u);
  EXPECT_EQ(e[0].message, Msg({0xC0, 0x05}));
  EXPECT_EQ(e[1].message, Msg({0x90, 0x3C, 0x64}));
  EXPECT_EQ(e[1].track, 1);
  EXPECT_EQ(e[2].kind, mkTempo);
  EXPECT_EQ(e[2].time, 1000);
  // At tick 1440 the first track's end comes before the second track's note-off.
  EXPECT_EQ(e[3].kind, mkEndOfTrack);
  EXPECT_EQ(e[3].track, 0);
  EXPECT_EQ(e[4].tick, 1440);
  EXPECT_EQ(e[4].kind, mkNoteOff);
  EXPECT_EQ(e[4].time, 1250);
  EXPECT_EQ(midi.LengthMs(), 1250);
  // Sequence numbers count in reading order over the whole file.
  EXPECT_EQ(e[1].sequence, 3);
}

// Each interval is rounded on its own, halves to even, with the factor held in single precision.
TEST(MidiFile, IntervalsRoundWithASinglePrecisionFactor) {
  const struct {
    uint16_t division;
    std::vector<uint32_t> deltas;
    std::vector<int32_t> times;
  } cases[] = {
      // 0.5 ms a tick: 0.5, 1.5 and 2.5 round to 0, 2 and 2.
      {1000, {1, 3, 5}, {0, 2, 4}},
      // 1.0416666 ms a tick in single precision: 36 ticks are 37.4999987, not 37.5 (38).
      {480, {36, 36}, {37, 74}},
  };
  for (const auto& c : cases) {
    Track track;
    for (uint32_t delta : c.deltas)
      track.Event(delta, {0xC0, 0x01});
    TMidiV midi;
    ASSERT_TRUE(midi.ReadFile(Smf(c.division, {track.End()})));
    for (size_t i = 0; i < c.times.size(); ++i)
      EXPECT_EQ(midi.Events()[i].time, c.times[i]) << "division " << c.division << " event " << i;
  }
}

TEST(MidiFile, SingleByteLengthsAndRunningStatusAcrossMetaAndSysEx) {
  Track track;
  track.Event(0, {0x90, 0x3C, 0x64});
  Bytes text{0x00, 0xFF, 0x01, 200}; // a text meta event of 200 bytes: one length byte
  text.insert(text.end(), 200, 'a');
  track.Raw(text);
  track.Raw({0x00, 0x01, 0x01, 'b'});                          // runs on FF: type 1, length 1
  track.Event(10, {0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}); // sysex: length byte 5
  track.Raw({0x00, 0x02, 0x41, 0xF7});                         // runs on F0: length 2
  track.Event(0, {0xFF, 0x58, 0x04, 0x03, 0x03, 0x18, 0x08});  // time signature 3/8
  track.End();
  TMidiV midi;
  ASSERT_TRUE(midi.ReadFile(Smf(96, {track})));
  EXPECT_TRUE(midi.Problem().empty()) << midi.Problem();
  const auto& e = midi.Events();
  ASSERT_EQ(e.size(), 7u);
  EXPECT_EQ(e[1].message, Msg({0xFF, 0x01}) + std::string(200, 'a'));
  EXPECT_EQ(e[1].kind, 11);
  EXPECT_EQ(e[1].carrier, mcMeta);
  EXPECT_EQ(e[2].message, Msg({0xFF, 0x01, 'b'}));
  EXPECT_EQ(e[3].message, Msg({0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
  EXPECT_EQ(e[3].carrier, mcSysEx);
  EXPECT_EQ(e[4].message, Msg({0xF0, 0x41, 0xF7}));
  EXPECT_EQ(e[5].kind, mkTimeSignature);
  EXPECT_EQ(e[6].kind, mkEndOfTrack);
  ASSERT_EQ(midi.TimeSignatures().size(), 2u);
  EXPECT_EQ(midi.TimeSignatures()[1].tick, 10);
  EXPECT_EQ(midi.TimeSignatures()[1].numerator, 3);
  EXPECT_EQ(midi.TimeSignatures()[1].denominator, 8);
}

TEST(MidiFile, KindsFollowTheMessage) {
  const struct {
    std::string message;
    uint8_t kind;
  } cases[] = {
      {Msg({0x91, 0x3C, 0x01}), mkNoteOn},
      {Msg({0x91, 0x3C, 0x00}), mkNoteOff},
      {Msg({0x8F, 0x3C, 0x40}), mkNoteOff},
      {Msg({0xA0, 0x3C, 0x40}), mkKeyPressure},
      {Msg({0xB3, 0x07, 0x40}), mkControl},
      {Msg({0xC0, 0x01}), mkProgram},
      {Msg({0xD0, 0x01}), mkChannelPressure},
      {Msg({0xE0, 0x00, 0x40}), mkPitchBend},
      {Msg({0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}), mkGsReset},
      {Msg({0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x42, 0xF7}), mkOther},
      {Msg({0xFF, 0x51, 0x07, 0xA1, 0x20}), mkTempo},
      {Msg({0xFF, 0x00, 0x00, 0x01}), mkSequenceNumber},
      {Msg({0xFF, 0x07}), mkCuePoint},
      {Msg({0xFF, 0x2F}), mkEndOfTrack},
      {Msg({0xFF, 0x52}), mkMeta52},
      {Msg({0xFF, 0x59, 0x00, 0x00}), mkKeySignature},
      {Msg({0xFF, 0x7F}), mkOther},
      {Msg({0x3C}), mkOther},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MidiKindOf(c.message), c.kind) << int(static_cast<uint8_t>(c.message[0]));
}

// Damaged files load what lies before the damage, or nothing, and say what was wrong.
TEST(MidiFile, DamagedFilesLoadWhatTheyCan) {
  const Track notes = Track().Event(0, {0x90, 0x3C, 0x64}).Event(96, {0x80, 0x3C, 0x00});
  Bytes beyond = Header(1, 96);
  AppendTrack(beyond, Track(notes).End(), 1'000'000'000);
  Bytes no_end = Header(1, 96);
  AppendTrack(no_end, notes);
  Bytes long_vlq = Header(1, 96);
  AppendTrack(long_vlq, Track(notes).Raw({0x81, 0x81, 0x81, 0x81, 0x81, 0x81, 0x81, 0x81, 0x81,
                                          0x01, 0x90, 0x3C, 0x64}));
  Bytes no_status = Header(1, 96);
  AppendTrack(no_status, Track().Raw({0x00, 0x3C, 0x64}).End());
  Bytes resync = Header(2, 96); // a damaged first track; the second is found by its length
  AppendTrack(resync, Track().Raw({0x00, 0x3C, 0x64}).End());
  AppendTrack(resync, Track(notes).End());
  Bytes many_tracks = Header(65535, 96);
  AppendTrack(many_tracks, Track(notes).End());
  Bytes not_a_track = Header(2, 96); // an unknown chunk id skips only the id
  not_a_track.insert(not_a_track.end(), {'X', 'Y', 'Z', 'W'});
  AppendTrack(not_a_track, Track(notes).End());
  const struct {
    const char* what;
    Bytes file;
    bool loaded;
    size_t events;
    bool problem;
  } cases[] = {
      {"no header", {'R', 'I', 'F', 'F', 0, 0, 0, 0}, false, 0, true},
      {"short header", {'M', 'T', 'h', 'd', 0, 0}, false, 0, true},
      {"division 0", Smf(0, {Track(notes).End()}), false, 0, true},
      {"track length beyond the file", beyond, true, 3, false},
      {"track without end-of-track", no_end, true, 2, true},
      {"variable-length quantity of 10 bytes", long_vlq, true, 2, true},
      {"running status before any status", no_status, false, 0, true},
      {"damaged track, then a sound one", resync, true, 3, true},
      {"65535 tracks claimed, one present", many_tracks, true, 3, true},
      {"unknown chunk id", not_a_track, true, 3, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TMidiV midi;
    EXPECT_EQ(midi.ReadFile(c.file), c.loaded);
    EXPECT_EQ(midi.Events().size(), c.events);
    EXPECT_EQ(!midi.Problem().empty(), c.problem) << midi.Problem();
  }
}

TEST(MidiFile, AFileClaimingMoreEventsThanAnyMusicStopsAtTheCap) {
  // Program changes of two bytes each in running status: a small file, a huge event count.
  Track track;
  track.Event(0, {0xC0, 0x05});
  for (size_t i = 0; i < TMidiV::kMaxEvents + 10; ++i)
    track.Raw({0x00, 0x05});
  track.End();
  TMidiV midi;
  EXPECT_TRUE(midi.ReadFile(Smf(96, {track})));
  EXPECT_EQ(midi.Events().size(), TMidiV::kMaxEvents);
  EXPECT_NE(midi.Problem().find("more events"), std::string::npos) << midi.Problem();
}

} // namespace
} // namespace nova
