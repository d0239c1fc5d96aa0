// SPDX-License-Identifier: MIT
// Sound descriptions: what the lines set, and which lines are refused with which message.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "audio/sound_desc.h"
#include "base/nova_error.h"

namespace nova::tool {
namespace {

TEST(SoundDesc, LinesSetTheSoundAndItsVoices) {
  const TSoundDesc d = ParseSoundDesc("# a comment line\n"
                                      "rate 22050\nchannels 1\nlength 2.5\nloop\nnormalize 0.5\n"
                                      "echo 0.2 0.3 0.4\nreverb 0.5 0.2\nseed 9\n"
                                      "voice 0.5 1   # trailing comment\n"
                                      "wave saw\nglide A5\npitches A4 C4 440.5\n"
                                      "env 0.1 0.2 0.5 0.3\nvolume 0.7\npan -1\nvibrato 5 20\n"
                                      "lowpass 1000 200\nhighpass 50\nband 300 3000 4\nunison 3 10\n"
                                      "repeat 4 0.25 0.1\n"
                                      "voice 0 1\r\nvowels a i u\r\nformant 1.2\r\nbreath 0.1\r\n",
                                      "x.txt");
  EXPECT_EQ(d.rate, 22050);
  EXPECT_EQ(d.channels, 1);
  EXPECT_TRUE(d.loop);
  EXPECT_DOUBLE_EQ(d.length_s, 2.5);
  EXPECT_DOUBLE_EQ(d.echo_feedback, 0.3);
  EXPECT_EQ(d.seed, 9u);
  ASSERT_EQ(d.voices.size(), 2u);
  const TSoundVoice& v = d.voices[0];
  EXPECT_EQ(v.line, 10);
  EXPECT_EQ(v.wave, TWave::Saw);
  ASSERT_EQ(v.pitches_hz.size(), 3u);
  EXPECT_DOUBLE_EQ(v.pitches_hz[0], 440.0);
  EXPECT_NEAR(v.pitches_hz[1], 261.626, 0.001);
  EXPECT_DOUBLE_EQ(v.pitches_hz[2], 440.5);
  EXPECT_DOUBLE_EQ(v.glide_ratio, 2.0); // to the first pitch, whichever line comes first
  EXPECT_DOUBLE_EQ(v.lowpass_end_hz, 200);
  EXPECT_DOUBLE_EQ(v.highpass_end_hz, 50); // one value: no sweep
  EXPECT_DOUBLE_EQ(v.band_end_hz, 3000);
  EXPECT_DOUBLE_EQ(v.band_q, 4);
  EXPECT_EQ(v.unison, 3);
  EXPECT_EQ(v.repeat, 4);
  EXPECT_DOUBLE_EQ(v.jitter_s, 0.1);
  EXPECT_EQ(d.voices[1].wave, TWave::Vowels);
  EXPECT_EQ(d.voices[1].vowels.size(), 3u);
  EXPECT_DOUBLE_EQ(d.voices[1].formant_scale, 1.2);
}

TEST(SoundDesc, BadLinesNameTheFileLineAndFault) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"voice 0 1\nwave sine\nbogus 1\n", "s.txt:3: unknown word \"bogus\""},
      {"wave sine\n", "s.txt:1: \"wave\" belongs to a voice"},
      {"voice 0 1\nwave pulse\n", "s.txt:2: unknown wave \"pulse\""},
      {"voice 0 1\npitch H4\n", "s.txt:2: \"H4\" is neither a note name"},
      {"voice 0 1\npitch 5\n", "s.txt:2: pitch 5 is outside 20 to 20000"},
      {"voice 0 1\nvolume 1x\n", "s.txt:2: \"1x\" is not a number"},
      {"voice 0 1\nvolume nan\n", "s.txt:2: \"nan\" is not a number"},
      {"voice 0 1\nenv 0 0 1\n", "s.txt:2: \"env\" takes 4 value(s), got 3"},
      {"rate 32000\nvoice 0 1\n", "s.txt:1: rate must be"},
      {"channels 3\nvoice 0 1\n", "s.txt:1: channels 3 is outside 1 to 2"},
      {"voice 0 1\nvowels a x\n", "s.txt:2: unknown vowel \"x\""},
      {"voice 0 1\nwave vowels\n", "s.txt:1: a voice of wave vowels needs a \"vowels\" line"},
      {"voice 0 599\nenv 0 0 1 5\n", "s.txt: the sound lasts longer than 600 s"},
      {"voice 0 1\nrepeat 4096 0\nunison 2 5\n", "s.txt:1: more than 4096 voice copies"},
      {"voice 0 300\nrepeat 30 0\n", "s.txt:1: the voices sound longer than 7200 s"},
      {"echo 0.1 0.95 0.5\nvoice 0 1\n", "s.txt:1: echo 0.95 is outside 0 to 0.9"},
      {"voice 0 1\nband 100 200 0.1\n", "s.txt:2: band 0.1 is outside 0.3 to 30"},
      {"rate 44100\n", "s.txt: no voice"},
      {"", "s.txt: no voice"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      ParseSoundDesc(c.text, "s.txt");
      ADD_FAILURE() << "accepted";
    } catch (const ENovaError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
}

TEST(SoundDesc, SpanCoversRepeatsReleaseAndTails) {
  EXPECT_DOUBLE_EQ(SoundSpanSeconds(ParseSoundDesc("voice 1 2\nenv 0 0 1 0.5\nrepeat 3 1\n", "s")),
                   1 + 2 + 2 + 0.5);
  // A fixed length wins unless the sound loops; then the tail past it is rendered to fold back.
  EXPECT_DOUBLE_EQ(SoundSpanSeconds(ParseSoundDesc("length 1\nvoice 0 3\n", "s")), 1);
  EXPECT_DOUBLE_EQ(SoundSpanSeconds(ParseSoundDesc("length 1\nloop\nvoice 0 3\n", "s")), 3.05);
}

} // namespace
} // namespace nova::tool
