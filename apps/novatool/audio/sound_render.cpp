// SPDX-License-Identifier: MIT
#include "audio/sound_render.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace nova::tool {
namespace {

constexpr double kTau = 6.283185307179586;

// xorshift32: small, and the same everywhere.
class TRandom {
public:
  explicit TRandom(uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {
    if (state_ == 0)
      state_ = 1;
  }
  double Unit() { // 0 .. 1
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_ / 4294967296.0;
  }
  double Signed() { return Unit() * 2 - 1; }

private:
  uint32_t state_;
};

// Softens the jump of a saw or square at `t` (phase 0..1) over one sample of width `dt`, so
// high notes do not alias into a harsh buzz.
double PolyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1;
  }
  if (t > 1 - dt) {
    t = (t - 1) / dt;
    return t * t + t + t + 1;
  }
  return 0;
}

class TOnePole {
public:
  double LowPass(double x, double cutoff_hz, double rate) {
    const double a = 1 - std::exp(-kTau * std::min(cutoff_hz, rate * 0.45) / rate);
    y_ += a * (x - y_);
    return y_;
  }

private:
  double y_ = 0;
};

// A band around one formant (constant peak gain).
class TResonator {
public:
  void Tune(double hz, double bandwidth_hz, double rate) {
    const double w0 = kTau * std::clamp(hz, 20.0, rate * 0.45) / rate;
    const double alpha =
        std::sin(w0) * std::sinh(std::log(2.0) / 2 * (bandwidth_hz / hz) * w0 / std::sin(w0));
    const double a0 = 1 + alpha;
    b0_ = alpha / a0;
    a1_ = -2 * std::cos(w0) / a0;
    a2_ = (1 - alpha) / a0;
  }
  double Run(double x) {
    const double y = b0_ * (x - x2_) - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
  }

private:
  double b0_ = 0, a1_ = 0, a2_ = 0, x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// How far a murmur has moved from one syllable to the next: still for the first 60% of the
// syllable, then a smooth step.
double SyllableMove(double within) {
  const double move = std::clamp((within - 0.6) / 0.4, 0.0, 1.0);
  return move * move * (3 - 2 * move);
}

double Envelope(const TSoundVoice& v, double t) {
  auto held = [&](double at) {
    if (at < v.attack_s)
      return at / v.attack_s;
    if (at < v.attack_s + v.decay_s) {
      const double x = 1 - (at - v.attack_s) / v.decay_s;
      return v.sustain + (1 - v.sustain) * x * x;
    }
    return v.sustain;
  };
  if (t < v.hold_s)
    return held(t);
  if (v.release_s <= 0)
    return 0;
  const double x = 1 - (t - v.hold_s) / v.release_s;
  return x <= 0 ? 0 : held(v.hold_s) * x * x;
}

// One copy of a voice: its start, pitch, detune and place.
struct TCopy {
  double start_s, pitch_hz, pan, volume;
  uint32_t seed;
};

void RenderCopy(const TSoundVoice& v, const TCopy& c, int rate, int channels,
                std::vector<float>& mix) {
  const size_t frames = static_cast<size_t>((v.hold_s + v.release_s) * rate);
  const size_t first = static_cast<size_t>(c.start_s * rate);
  const size_t total = mix.size() / channels;
  TRandom noise(c.seed);
  TOnePole low, high;
  std::array<TResonator, 3> formants;
  TResonator band;
  // Each syllable of a murmur gets a slightly different pitch, as speech does.
  std::vector<double> syllable_pitch(v.vowels.size(), 1.0);
  for (double& p : syllable_pitch)
    p = std::pow(2.0, noise.Signed() * 1.5 / 12);
  const double left = channels == 1 ? 1 : std::cos((c.pan + 1) * kTau / 8);
  const double right = channels == 1 ? 1 : std::sin((c.pan + 1) * kTau / 8);
  double phase = 0;
  for (size_t i = 0; i < frames && first + i < total; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double held = v.hold_s > 0 ? std::min(t / v.hold_s, 1.0) : 1.0;
    double hz = c.pitch_hz * std::pow(v.glide_ratio, held);
    if (v.vibrato_cents > 0)
      hz *= std::pow(2.0, v.vibrato_cents / 1200 * std::sin(kTau * v.vibrato_hz * t));
    double syllable = 0, within = 0;
    if (v.wave == TWave::Vowels) {
      syllable = std::min(held * v.vowels.size(), v.vowels.size() - 1e-9);
      within = syllable - std::floor(syllable);
      // The pitch moves to the next syllable's over the same stretch as the formants.
      const size_t at = static_cast<size_t>(syllable);
      const double from = syllable_pitch[at];
      const double to = syllable_pitch[std::min(at + 1, syllable_pitch.size() - 1)];
      hz *= from + (to - from) * SyllableMove(within);
    }
    const double dt = std::min(hz / rate, 0.5);
    double x = 0;
    switch (v.wave) {
    case TWave::Sine:
      x = std::sin(kTau * phase);
      break;
    case TWave::Square:
      x = (phase < 0.5 ? 1 : -1) + PolyBlep(phase, dt) - PolyBlep(std::fmod(phase + 0.5, 1.0), dt);
      break;
    case TWave::Saw:
      x = 2 * phase - 1 - PolyBlep(phase, dt);
      break;
    case TWave::Triangle:
      x = phase < 0.5 ? 4 * phase - 1 : 3 - 4 * phase;
      break;
    case TWave::Noise:
      x = noise.Signed();
      break;
    case TWave::Vowels: {
      const size_t at = static_cast<size_t>(syllable);
      if (i % 32 == 0) {
        const TFormants& from = v.vowels[at];
        const TFormants& to = v.vowels[std::min(at + 1, v.vowels.size() - 1)];
        const double k = SyllableMove(within);
        const double s = v.formant_scale;
        formants[0].Tune(s * (from.f1 + (to.f1 - from.f1) * k), 90, rate);
        formants[1].Tune(s * (from.f2 + (to.f2 - from.f2) * k), 120, rate);
        formants[2].Tune(s * (from.f3 + (to.f3 - from.f3) * k), 180, rate);
      }
      const double source = (2 * phase - 1 - PolyBlep(phase, dt)) + v.breath * noise.Signed();
      // Between syllables the voice dips, which is what makes it sound like words.
      const double shape = 0.3 + 0.7 * std::sqrt(std::sin(M_PI * within));
      x = shape * 4 *
          (formants[0].Run(source) + 0.6 * formants[1].Run(source) + 0.3 * formants[2].Run(source));
      break;
    }
    }
    phase += hz / rate;
    phase -= std::floor(phase);
    if (v.band_hz > 0) {
      if (i % 32 == 0) {
        const double at_hz = v.band_hz * std::pow(v.band_end_hz / v.band_hz, held);
        band.Tune(at_hz, at_hz / v.band_q, rate);
      }
      x = band.Run(x);
    }
    if (v.lowpass_hz > 0)
      x = low.LowPass(x, v.lowpass_hz * std::pow(v.lowpass_end_hz / v.lowpass_hz, held), rate);
    if (v.highpass_hz > 0)
      x -= high.LowPass(x, v.highpass_hz * std::pow(v.highpass_end_hz / v.highpass_hz, held), rate);
    const double y = x * Envelope(v, t) * c.volume;
    float* out = &mix[(first + i) * channels];
    out[0] += static_cast<float>(y * left);
    if (channels == 2)
      out[1] += static_cast<float>(y * right);
  }
}

void ApplyEcho(const TSoundDesc& d, std::vector<float>& mix) {
  const int ch = d.channels;
  const size_t delay = static_cast<size_t>(d.echo_s * d.rate);
  const size_t frames = mix.size() / ch;
  if (delay == 0 || delay >= frames)
    return;
  // Ping-pong: each repeat moves to the other side.
  std::vector<float> wet(mix.size(), 0.0f);
  for (size_t i = delay; i < frames; ++i)
    for (int c = 0; c < ch; ++c) {
      const int other = ch == 2 ? 1 - c : 0;
      wet[i * ch + c] = static_cast<float>(mix[(i - delay) * ch + c] +
                                           d.echo_feedback * wet[(i - delay) * ch + other]);
    }
  for (size_t i = 0; i < mix.size(); ++i)
    mix[i] += static_cast<float>(d.echo_mix * wet[i]);
}

// A small room: four damped combs and two all-passes per side.
void ApplyReverb(const TSoundDesc& d, std::vector<float>& mix) {
  const int ch = d.channels;
  const size_t frames = mix.size() / ch;
  const double scale = d.rate / 44100.0;
  const double feedback = 0.7 + 0.27 * d.reverb_size, damp = 0.35;
  std::vector<float> wet(mix.size(), 0.0f);
  for (int c = 0; c < ch; ++c) {
    const int spread = c * 23;
    struct TComb {
      std::vector<float> line;
      size_t at = 0;
      double low = 0;
    };
    std::vector<TComb> combs;
    for (int length : {1116, 1188, 1277, 1356})
      combs.push_back(
          {std::vector<float>(static_cast<size_t>((length + spread) * scale) + 1), 0, 0});
    std::vector<TComb> passes;
    for (int length : {556, 441})
      passes.push_back(
          {std::vector<float>(static_cast<size_t>((length + spread) * scale) + 1), 0, 0});
    for (size_t i = 0; i < frames; ++i) {
      double in = 0;
      for (int k = 0; k < ch; ++k)
        in += mix[i * ch + k];
      in *= 0.03;
      double out = 0;
      for (TComb& comb : combs) {
        const double y = comb.line[comb.at];
        comb.low = y * (1 - damp) + comb.low * damp;
        comb.line[comb.at] = static_cast<float>(in + comb.low * feedback);
        comb.at = (comb.at + 1) % comb.line.size();
        out += y;
      }
      for (TComb& pass : passes) {
        const double b = pass.line[pass.at];
        pass.line[pass.at] = static_cast<float>(out + b * 0.5);
        pass.at = (pass.at + 1) % pass.line.size();
        out = b - out;
      }
      wet[i * ch + c] = static_cast<float>(out);
    }
  }
  for (size_t i = 0; i < mix.size(); ++i)
    mix[i] += static_cast<float>(d.reverb_mix * wet[i]);
}

} // namespace

std::vector<float> RenderSound(const TSoundDesc& d) {
  const int ch = d.channels;
  const size_t span = static_cast<size_t>(std::ceil(SoundSpanSeconds(d) * d.rate)) + 1;
  std::vector<float> mix(span * ch, 0.0f);
  TRandom jitter(d.seed);
  uint32_t copy_seed = d.seed;
  for (const TSoundVoice& v : d.voices)
    for (int r = 0; r < v.repeat; ++r)
      for (int u = 0; u < v.unison; ++u) {
        const double spread = v.unison > 1 ? 2.0 * u / (v.unison - 1) - 1 : 0;
        TCopy copy;
        copy.start_s = v.start_s + r * v.every_s + v.jitter_s * jitter.Unit();
        copy.pitch_hz = v.pitches_hz[static_cast<size_t>(r) % v.pitches_hz.size()] *
                        std::pow(2.0, spread * v.unison_cents / 1200);
        copy.pan = std::clamp(v.pan + spread * 0.5, -1.0, 1.0);
        copy.volume = v.volume / std::sqrt(static_cast<double>(v.unison));
        copy.seed = ++copy_seed;
        RenderCopy(v, copy, d.rate, ch, mix);
      }
  if (d.echo_mix > 0)
    ApplyEcho(d, mix);
  if (d.reverb_mix > 0)
    ApplyReverb(d, mix);

  size_t frames = span;
  if (d.length_s > 0) {
    frames = std::max<size_t>(1, static_cast<size_t>(std::llround(d.length_s * d.rate)));
    if (d.loop) {
      // What sounds past the end belongs to the start of the next time round.
      for (size_t i = frames; i < span; ++i)
        for (int c = 0; c < ch; ++c)
          mix[(i % frames) * ch + c] += mix[i * ch + c];
    } else {
      // A voice cut by the length ends in a short fade instead of a click.
      const size_t fade = std::min<size_t>(frames, d.rate / 200);
      for (size_t i = 0; i < fade; ++i)
        for (int c = 0; c < ch; ++c)
          mix[(frames - 1 - i) * ch + c] *= static_cast<float>(i) / fade;
    }
    mix.resize(frames * ch, 0.0f);
  }
  double gain = d.gain;
  if (d.normalize > 0) {
    float peak = 0;
    for (float s : mix)
      peak = std::max(peak, std::isfinite(s) ? std::abs(s) : 0.0f);
    gain = peak > 0 ? d.normalize / peak : 1;
  }
  for (float& s : mix)
    s = std::isfinite(s) ? static_cast<float>(std::clamp(s * gain, -1.0, 1.0)) : 0.0f;
  return mix;
}

} // namespace nova::tool
