// SPDX-License-Identifier: MIT
// A sound described in text (docs/sound-tools.md): global settings and timed voices, read line
// by line. Every count and length is capped here, so rendering a parsed description never
// allocates more than the caps allow.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nova::tool {

enum class TWave : uint8_t { Sine, Square, Saw, Triangle, Noise, Vowels };

// One vowel's three formant frequencies in Hz.
struct TFormants {
  double f1 = 0, f2 = 0, f3 = 0;
};

struct TSoundVoice {
  int line = 0;       // where the voice starts in the description
  double start_s = 0; // when the first copy starts
  double hold_s = 0;  // how long it is held before its release
  TWave wave = TWave::Sine;
  std::vector<double> pitches_hz{440.0}; // the copies cycle through these
  double glide_hz = 0;                   // the first pitch's goal at the end of the hold; 0: none
  double glide_ratio = 1;                // glide_hz over the first pitch, which every copy follows
  double attack_s = 0.005, decay_s = 0, sustain = 1, release_s = 0.05;
  double volume = 0.5;
  double pan = 0; // -1 left .. 1 right
  double vibrato_hz = 0, vibrato_cents = 0;
  double lowpass_hz = 0, lowpass_end_hz = 0;         // 0: no filter
  double highpass_hz = 0, highpass_end_hz = 0;       // 0: no filter
  double band_hz = 0, band_end_hz = 0, band_q = 1.5; // 0: no band-pass
  int unison = 1;
  double unison_cents = 0;
  int repeat = 1;                   // copies in all
  double every_s = 0, jitter_s = 0; // the distance between copies, and its random part
  std::vector<TFormants> vowels;    // TWave::Vowels only
  double formant_scale = 1;
  double breath = 0.05; // noise mixed into the vowel source
};

struct TSoundDesc {
  int rate = 44100;
  int channels = 2;
  double length_s = 0; // 0: the end of the last voice and its tails
  bool loop = false;   // the tail past `length_s` folds onto the start
  double gain = 1;
  double normalize = 0; // >0: the loudest sample becomes this
  double echo_s = 0, echo_feedback = 0, echo_mix = 0;
  double reverb_size = 0, reverb_mix = 0;
  uint32_t seed = 1;
  std::vector<TSoundVoice> voices;
};

// Caps that keep a description's cost bounded.
inline constexpr double kMaxSoundSeconds = 600;  // of output, tails included
inline constexpr int kMaxVoiceCopies = 4096;     // voices times their repeats and unison
inline constexpr double kMaxVoiceSeconds = 7200; // summed over every copy

// Reads a description; a fault throws ENovaError "NAME:LINE: what is wrong".
TSoundDesc ParseSoundDesc(std::string_view text, const std::string& name);

// Seconds of output the description makes before a loop folds (tails included).
double SoundSpanSeconds(const TSoundDesc& desc);

} // namespace nova::tool
