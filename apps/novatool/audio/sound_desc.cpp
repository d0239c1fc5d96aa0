// SPDX-License-Identifier: MIT
#include "audio/sound_desc.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audio/desc_words.h"
#include "base/nova_error.h"

namespace nova::tool {
namespace {

// Japanese vowels, spoken by an adult voice; `formant` scales them for brighter or darker voices.
struct TVowelEntry {
  const char* name;
  TFormants formants;
};
constexpr TVowelEntry kVowels[] = {
    {"a", {800, 1200, 2600}}, {"i", {300, 2300, 3000}}, {"u", {350, 1300, 2400}},
    {"e", {500, 1900, 2600}}, {"o", {500, 850, 2500}},  {"n", {250, 1100, 2400}},
};

class TParser {
public:
  explicit TParser(const std::string& name) : name_(name) {}

  TSoundDesc Parse(std::string_view text) {
    for (const TDescLine& line : SplitDescLines(text, name_)) {
      line_ = &line;
      Apply(line.words[0]);
    }
    CheckCosts();
    return std::move(desc_);
  }

private:
  [[noreturn]] void Fail(const std::string& what) const { DescFail(name_, line_->number, what); }

  size_t Args() const { return line_->words.size() - 1; }

  void NeedArgs(size_t least, size_t most) const {
    if (Args() < least || Args() > most) {
      const std::string count = least == most
                                    ? std::to_string(least)
                                    : std::to_string(least) + " to " + std::to_string(most);
      Fail("\"" + line_->words[0] + "\" takes " + count + " value(s), got " +
           std::to_string(Args()));
    }
  }

  // Argument `i` (1-based) as a number within [low, high].
  double Num(size_t i, double low, double high) const {
    const std::string& word = line_->words[i];
    const std::optional<double> v = ParseNumber(word);
    if (!v)
      Fail("\"" + word + "\" is not a number");
    if (*v < low || *v > high) {
      char range[96];
      std::snprintf(range, sizeof range, "%g to %g", low, high);
      Fail(line_->words[0] + " " + word + " is outside " + range);
    }
    return *v;
  }

  double Pitch(size_t i) const {
    const std::string& word = line_->words[i];
    if (const std::optional<int> note = ParseNoteName(word))
      return 440.0 * std::pow(2.0, (*note - 69) / 12.0);
    if (ParseNumber(word))
      return Num(i, 20, 20000);
    Fail("\"" + word + "\" is neither a note name (C4, F#3, Bb5) nor a frequency in Hz");
  }

  TSoundVoice& Voice() {
    if (desc_.voices.empty())
      Fail("\"" + line_->words[0] + "\" belongs to a voice; start one with \"voice START HOLD\"");
    return desc_.voices.back();
  }

  void Filter(double& from, double& to) {
    NeedArgs(1, 2);
    from = Num(1, 10, 20000);
    to = Args() == 2 ? Num(2, 10, 20000) : from;
  }

  void Apply(const std::string& key) {
    if (key == "rate") {
      NeedArgs(1, 1);
      const double rate = Num(1, 8000, 48000);
      if (rate != 44100 && rate != 22050 && rate != 48000 && rate != 11025)
        Fail("rate must be 11025, 22050, 44100 or 48000");
      desc_.rate = static_cast<int>(rate);
    } else if (key == "channels") {
      NeedArgs(1, 1);
      desc_.channels = Num(1, 1, 2) == 1 ? 1 : 2;
      if (desc_.channels != Num(1, 1, 2))
        Fail("channels must be 1 or 2");
    } else if (key == "length") {
      NeedArgs(1, 1);
      desc_.length_s = Num(1, 0.001, kMaxSoundSeconds);
    } else if (key == "loop") {
      NeedArgs(0, 0);
      desc_.loop = true;
    } else if (key == "gain") {
      NeedArgs(1, 1);
      desc_.gain = Num(1, 0, 16);
    } else if (key == "normalize") {
      NeedArgs(1, 1);
      desc_.normalize = Num(1, 0.01, 1);
    } else if (key == "echo") {
      NeedArgs(3, 3);
      desc_.echo_s = Num(1, 0.01, 2);
      desc_.echo_feedback = Num(2, 0, 0.9);
      desc_.echo_mix = Num(3, 0, 1);
    } else if (key == "reverb") {
      NeedArgs(2, 2);
      desc_.reverb_size = Num(1, 0, 1);
      desc_.reverb_mix = Num(2, 0, 1);
    } else if (key == "seed") {
      NeedArgs(1, 1);
      desc_.seed = static_cast<uint32_t>(Num(1, 0, 4294967295.0));
    } else if (key == "voice") {
      NeedArgs(2, 2);
      if (desc_.voices.size() >= static_cast<size_t>(kMaxVoiceCopies))
        Fail("more than " + std::to_string(kMaxVoiceCopies) + " voices");
      TSoundVoice voice;
      voice.line = line_->number;
      voice.start_s = Num(1, 0, kMaxSoundSeconds);
      voice.hold_s = Num(2, 0, kMaxSoundSeconds);
      desc_.voices.push_back(voice);
    } else if (key == "wave") {
      NeedArgs(1, 1);
      static constexpr std::pair<const char*, TWave> kWaves[] = {
          {"sine", TWave::Sine},         {"square", TWave::Square}, {"saw", TWave::Saw},
          {"triangle", TWave::Triangle}, {"noise", TWave::Noise},   {"vowels", TWave::Vowels}};
      TSoundVoice& voice = Voice();
      for (const auto& [word, wave] : kWaves)
        if (line_->words[1] == word) {
          voice.wave = wave;
          return;
        }
      Fail("unknown wave \"" + line_->words[1] + "\" (sine, square, saw, triangle, noise, vowels)");
    } else if (key == "pitch" || key == "pitches") {
      NeedArgs(1, 64);
      TSoundVoice& voice = Voice();
      voice.pitches_hz.clear();
      for (size_t i = 1; i <= Args(); ++i)
        voice.pitches_hz.push_back(Pitch(i));
    } else if (key == "glide") {
      NeedArgs(1, 1);
      Voice().glide_hz = Pitch(1);
    } else if (key == "env") {
      NeedArgs(4, 4);
      TSoundVoice& voice = Voice();
      voice.attack_s = Num(1, 0, 60);
      voice.decay_s = Num(2, 0, 60);
      voice.sustain = Num(3, 0, 1);
      voice.release_s = Num(4, 0, 60);
    } else if (key == "volume") {
      NeedArgs(1, 1);
      Voice().volume = Num(1, 0, 4);
    } else if (key == "pan") {
      NeedArgs(1, 1);
      Voice().pan = Num(1, -1, 1);
    } else if (key == "vibrato") {
      NeedArgs(2, 2);
      TSoundVoice& voice = Voice();
      voice.vibrato_hz = Num(1, 0, 50);
      voice.vibrato_cents = Num(2, 0, 1200);
    } else if (key == "lowpass") {
      TSoundVoice& voice = Voice();
      Filter(voice.lowpass_hz, voice.lowpass_end_hz);
    } else if (key == "highpass") {
      TSoundVoice& voice = Voice();
      Filter(voice.highpass_hz, voice.highpass_end_hz);
    } else if (key == "band") {
      NeedArgs(1, 3);
      TSoundVoice& voice = Voice();
      voice.band_hz = Num(1, 20, 20000);
      voice.band_end_hz = Args() >= 2 ? Num(2, 20, 20000) : voice.band_hz;
      voice.band_q = Args() == 3 ? Num(3, 0.3, 30) : 1.5;
    } else if (key == "unison") {
      NeedArgs(2, 2);
      TSoundVoice& voice = Voice();
      voice.unison = static_cast<int>(Num(1, 1, 8));
      voice.unison_cents = Num(2, 0, 100);
    } else if (key == "repeat") {
      NeedArgs(2, 3);
      TSoundVoice& voice = Voice();
      voice.repeat = static_cast<int>(Num(1, 1, kMaxVoiceCopies));
      voice.every_s = Num(2, 0, kMaxSoundSeconds);
      voice.jitter_s = Args() == 3 ? Num(3, 0, 10) : 0;
    } else if (key == "vowels") {
      NeedArgs(1, 64);
      TSoundVoice& voice = Voice();
      voice.wave = TWave::Vowels;
      voice.vowels.clear();
      for (size_t i = 1; i <= Args(); ++i) {
        const auto it =
            std::find_if(std::begin(kVowels), std::end(kVowels),
                         [&](const TVowelEntry& v) { return line_->words[i] == v.name; });
        if (it == std::end(kVowels))
          Fail("unknown vowel \"" + line_->words[i] + "\" (a, i, u, e, o, n)");
        voice.vowels.push_back(it->formants);
      }
    } else if (key == "formant") {
      NeedArgs(1, 1);
      Voice().formant_scale = Num(1, 0.5, 2);
    } else if (key == "breath") {
      NeedArgs(1, 1);
      Voice().breath = Num(1, 0, 1);
    } else {
      Fail("unknown word \"" + key + "\"");
    }
  }

  void CheckCosts() {
    double copies = 0, seconds = 0;
    for (TSoundVoice& voice : desc_.voices) {
      if (voice.glide_hz > 0)
        voice.glide_ratio = voice.glide_hz / voice.pitches_hz.front();
      if (voice.wave == TWave::Vowels && voice.vowels.empty())
        DescFail(name_, voice.line, "a voice of wave vowels needs a \"vowels\" line");
      const double n = static_cast<double>(voice.repeat) * voice.unison;
      copies += n;
      seconds += n * (voice.hold_s + voice.release_s);
      if (copies > kMaxVoiceCopies)
        DescFail(name_, voice.line,
                 "more than " + std::to_string(kMaxVoiceCopies) + " voice copies in all");
      if (seconds > kMaxVoiceSeconds)
        DescFail(name_, voice.line, "the voices sound longer than 7200 s in all");
    }
    if (SoundSpanSeconds(desc_) > kMaxSoundSeconds)
      throw ENovaError(name_ + ": the sound lasts longer than 600 s");
    if (desc_.voices.empty())
      throw ENovaError(name_ + ": no voice");
  }

  const std::string& name_;
  const TDescLine* line_ = nullptr;
  TSoundDesc desc_;
};

} // namespace

TSoundDesc ParseSoundDesc(std::string_view text, const std::string& name) {
  return TParser(name).Parse(text);
}

double SoundSpanSeconds(const TSoundDesc& desc) {
  double end = 0;
  for (const TSoundVoice& voice : desc.voices) {
    const double last_start = voice.start_s + (voice.repeat - 1) * voice.every_s + voice.jitter_s;
    end = std::max(end, last_start + voice.hold_s + voice.release_s);
  }
  double tail = 0;
  if (desc.echo_mix > 0 && desc.echo_feedback > 0)
    tail += desc.echo_s * std::min(40.0, std::log(0.001) / std::log(desc.echo_feedback));
  else if (desc.echo_mix > 0)
    tail += desc.echo_s;
  if (desc.reverb_mix > 0)
    tail += 0.5 + 3.0 * desc.reverb_size;
  if (desc.length_s > 0)
    return desc.loop ? std::max(end, desc.length_s) + tail : desc.length_s;
  return end + tail;
}

} // namespace nova::tool
