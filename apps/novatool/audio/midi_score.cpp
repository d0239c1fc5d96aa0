// SPDX-License-Identifier: MIT
#include "audio/midi_score.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>

#include "audio/desc_words.h"
#include "base/nova_error.h"

namespace nova::tool {
namespace {

constexpr int kMaxRepeatDepth = 8;

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values)
    out.push_back(static_cast<char>(v));
  return out;
}

// What a track's lines have set so far, and where the track is.
struct TTrackState {
  int32_t tick = 0;
  int velocity = 80;
  int legato_percent = 95;
  int transpose = 0;
};

class TScoreParser {
public:
  explicit TScoreParser(const std::string& name) : name_(name) {}

  TScore Parse(std::string_view text) {
    std::vector<TDescLine> lines = SplitDescLines(text, name_);
    // The header runs up to the first track; each track runs up to the next.
    size_t i = 0;
    for (; i < lines.size() && lines[i].words[0] != "track"; ++i)
      Header(lines[i]);
    score_.conductor.messages.push_back(
        {0, 0, Bytes({0xFF, 0x58, 4, numerator_, DenominatorPower(), 24, 8})});
    if (!tempo_set_)
      score_.conductor.messages.push_back(Tempo(0, 120));
    while (i < lines.size()) {
      size_t end = i + 1;
      while (end < lines.size() && lines[end].words[0] != "track")
        ++end;
      Track(lines, i, end);
      i = end;
    }
    if (score_.tracks.empty())
      throw ENovaError(name_ + ": no track");
    return std::move(score_);
  }

private:
  [[noreturn]] void Fail(const TDescLine& line, const std::string& what) const {
    DescFail(name_, line.number, what);
  }

  int Int(const TDescLine& line, size_t i, int low, int high) const {
    if (i >= line.words.size())
      Fail(line, "\"" + line.words[0] + "\" needs a value");
    const std::optional<double> v = ParseNumber(line.words[i]);
    if (!v || *v != std::floor(*v))
      Fail(line, "\"" + line.words[i] + "\" is not a whole number");
    if (*v < low || *v > high)
      Fail(line, line.words[0] + " " + line.words[i] + " is outside " + std::to_string(low) +
                     " to " + std::to_string(high));
    return static_cast<int>(*v);
  }

  void NeedArgs(const TDescLine& line, size_t count) const {
    if (line.words.size() != count + 1)
      Fail(line, "\"" + line.words[0] + "\" takes " + std::to_string(count) + " value(s)");
  }

  int DenominatorPower() const {
    int power = 0;
    while ((1 << power) < denominator_)
      ++power;
    return power;
  }

  TScoreMessage Tempo(int32_t tick, int bpm) const {
    const int us = 60'000'000 / bpm;
    return {tick, 0, Bytes({0xFF, 0x51, 3, (us >> 16) & 0xFF, (us >> 8) & 0xFF, us & 0xFF})};
  }

  void Header(const TDescLine& line) {
    const std::string& key = line.words[0];
    if (key == "tempo") {
      NeedArgs(line, 1);
      score_.conductor.messages.push_back(Tempo(0, Int(line, 1, 20, 400)));
      tempo_set_ = true;
    } else if (key == "division") {
      NeedArgs(line, 1);
      score_.division = Int(line, 1, 48, 960);
      if (score_.division % 48 != 0)
        Fail(line, "division must be a multiple of 48, so that every dotted or triplet 32nd is a "
                   "whole number of ticks");
    } else if (key == "time") {
      NeedArgs(line, 1);
      const std::string& sig = line.words[1];
      const size_t slash = sig.find('/');
      const std::optional<double> n =
          ParseNumber(sig.substr(0, slash == std::string::npos ? 0 : slash));
      const std::optional<double> d =
          slash == std::string::npos ? std::nullopt : ParseNumber(sig.substr(slash + 1));
      if (!n || !d || *n < 1 || *n > 32 || *n != std::floor(*n) ||
          (*d != 2 && *d != 4 && *d != 8 && *d != 16))
        Fail(line, "time \"" + sig + "\" is not a signature such as 4/4, 3/4 or 6/8");
      numerator_ = static_cast<int>(*n);
      denominator_ = static_cast<int>(*d);
    } else {
      Fail(line, "unknown word \"" + key + "\" before the first track");
    }
  }

  void Track(const std::vector<TDescLine>& lines, size_t begin, size_t end) {
    if (score_.tracks.size() >= static_cast<size_t>(kMaxScoreTracks))
      Fail(lines[begin], "more than " + std::to_string(kMaxScoreTracks) + " tracks");
    TScoreTrack track;
    for (size_t w = 1; w < lines[begin].words.size(); ++w)
      track.name += (w > 1 ? " " : "") + lines[begin].words[w];
    // Tracks take channels in turn, passing over channel 10, which General MIDI keeps for drums.
    const size_t index = score_.tracks.size();
    track.channel = static_cast<uint8_t>(std::min<size_t>(index < 9 ? index : index + 1, 15));
    track_ = &track;
    state_ = TTrackState();
    Run(lines, begin + 1, end, 0);
    FixOverlaps(track);
    score_.length = std::max(score_.length, state_.tick);
    score_.tracks.push_back(std::move(track));
  }

  // Lines [begin, end) of a track, with nested `repeat N` ... `end` blocks.
  void Run(const std::vector<TDescLine>& lines, size_t begin, size_t end, int depth) {
    for (size_t i = begin; i < end; ++i) {
      const TDescLine& line = lines[i];
      if (line.words[0] == "repeat") {
        NeedArgs(line, 1);
        const int times = Int(line, 1, 1, 100);
        if (depth + 1 > kMaxRepeatDepth)
          Fail(line, "repeats nest deeper than " + std::to_string(kMaxRepeatDepth));
        size_t close = i + 1;
        for (int open = 1; close < end; ++close) {
          open += lines[close].words[0] == "repeat" ? 1 : lines[close].words[0] == "end" ? -1 : 0;
          if (open == 0)
            break;
        }
        if (close >= end)
          Fail(line, "\"repeat\" without its \"end\"");
        for (int t = 0; t < times; ++t)
          Run(lines, i + 1, close, depth + 1);
        i = close;
      } else if (line.words[0] == "end") {
        Fail(line, "\"end\" without a \"repeat\"");
      } else {
        TrackLine(line);
      }
    }
  }

  void Controller(const TDescLine& line, int controller) {
    NeedArgs(line, 1);
    Message(line,
            {state_.tick, 0, Bytes({0xB0 | track_->channel, controller, Int(line, 1, 0, 127)})});
  }

  void Message(const TDescLine& line, TScoreMessage message) {
    CountEvent(line);
    track_->messages.push_back(std::move(message));
  }

  void CountEvent(const TDescLine& line) {
    if (++events_ > kMaxScoreEvents)
      Fail(line, "more than " + std::to_string(kMaxScoreEvents) + " events");
  }

  void TrackLine(const TDescLine& line) {
    const std::string& key = line.words[0];
    if (key == "channel") {
      NeedArgs(line, 1);
      if (!track_->notes.empty() || !track_->messages.empty())
        Fail(line, "the channel is set before the track's first note or setting");
      track_->channel = static_cast<uint8_t>(Int(line, 1, 1, 16) - 1);
    } else if (key == "program") {
      NeedArgs(line, 1);
      Message(line, {state_.tick, 0, Bytes({0xC0 | track_->channel, Int(line, 1, 0, 127)})});
    } else if (key == "volume") {
      Controller(line, 7);
    } else if (key == "expression") {
      Controller(line, 11);
    } else if (key == "pan") {
      Controller(line, 10);
    } else if (key == "reverb") {
      Controller(line, 91);
    } else if (key == "chorus") {
      Controller(line, 93);
    } else if (key == "velocity") {
      NeedArgs(line, 1);
      state_.velocity = Int(line, 1, 1, 127);
    } else if (key == "legato") {
      NeedArgs(line, 1);
      state_.legato_percent = Int(line, 1, 10, 400);
    } else if (key == "transpose") {
      NeedArgs(line, 1);
      state_.transpose = Int(line, 1, -48, 48);
    } else if (key == "tempo") {
      NeedArgs(line, 1);
      CountEvent(line);
      score_.conductor.messages.push_back(Tempo(state_.tick, Int(line, 1, 20, 400)));
    } else {
      Notes(line);
    }
  }

  // A duration such as q, e., h+e, e3 (an eighth of a triplet), in ticks; 0 when it is none.
  int32_t Duration(std::string_view word) const {
    int32_t total = 0;
    while (!word.empty()) {
      const size_t plus = word.find('+');
      std::string_view part = word.substr(0, plus);
      word = plus == std::string_view::npos ? std::string_view() : word.substr(plus + 1);
      if (plus != std::string_view::npos && word.empty())
        return 0;
      // Each length in 32nd notes.
      static constexpr std::pair<char, int> kBases[] = {{'w', 32}, {'h', 16}, {'q', 8},
                                                        {'e', 4},  {'s', 2},  {'t', 1}};
      if (part.empty())
        return 0;
      const auto base = std::find_if(std::begin(kBases), std::end(kBases),
                                     [&](const auto& b) { return b.first == part[0]; });
      if (base == std::end(kBases))
        return 0;
      int32_t ticks = score_.division * base->second / 8;
      part.remove_prefix(1);
      if (!part.empty() && part[0] == '.') {
        ticks += ticks / 2;
        part.remove_prefix(1);
      }
      if (!part.empty() && part[0] == '3') {
        ticks = ticks * 2 / 3;
        part.remove_prefix(1);
      }
      if (!part.empty())
        return 0;
      total += ticks;
      if (total > kMaxScoreTicks)
        return 0;
    }
    return total;
  }

  int Key(const TDescLine& line, const std::string& word) const {
    const std::optional<int> note = ParseNoteName(word);
    if (!note)
      Fail(line, "\"" + word + "\" is not a note name (C4, F#3, Bb5), a rest (r) or a word");
    const int key = *note + state_.transpose;
    if (key < 0 || key > 127)
      Fail(line, "\"" + word + "\" transposed leaves the MIDI range");
    return key;
  }

  void Advance(const TDescLine& line, int32_t ticks) {
    if (state_.tick > kMaxScoreTicks - ticks)
      Fail(line, "the track grows longer than " + std::to_string(kMaxScoreTicks) + " ticks");
    state_.tick += ticks;
  }

  void Notes(const TDescLine& line) {
    const std::vector<std::string>& w = line.words;
    for (size_t i = 0; i < w.size(); ++i) {
      const std::string& word = w[i];
      if (word == "|") {
        const int32_t bar = score_.division * 4 * numerator_ / denominator_;
        if (state_.tick % bar != 0) {
          char where[96];
          std::snprintf(where, sizeof where, "bar line %.3g beats into bar %d",
                        static_cast<double>(state_.tick % bar) / score_.division,
                        state_.tick / bar + 1);
          Fail(line, where);
        }
        continue;
      }
      if (word == "pedal") {
        Message(line, {state_.tick, 1, Bytes({0xB0 | track_->channel, 64, 0})});
        Message(line, {state_.tick, 2, Bytes({0xB0 | track_->channel, 64, 127})});
        continue;
      }
      if (word == "unpedal") {
        Message(line, {state_.tick, 1, Bytes({0xB0 | track_->channel, 64, 0})});
        continue;
      }
      if (word.size() > 1 && word[0] == 'v' && ParseNumber(word.substr(1))) {
        const double v = *ParseNumber(word.substr(1));
        if (v < 1 || v > 127 || v != std::floor(v))
          Fail(line, "velocity \"" + word + "\" is outside v1 to v127");
        state_.velocity = static_cast<int>(v);
        continue;
      }
      // A rest, a note or a chord, then its duration.
      std::vector<int> keys;
      if (word == "r") {
      } else if (word.starts_with("[")) {
        std::string inner = word.substr(1);
        for (;;) {
          const bool last = inner.ends_with("]");
          if (last)
            inner.pop_back();
          if (!inner.empty())
            keys.push_back(Key(line, inner));
          if (last)
            break;
          if (++i >= w.size())
            Fail(line, "a chord without its closing \"]\"");
          inner = w[i];
        }
        if (keys.empty())
          Fail(line, "an empty chord");
      } else if (ParseNoteName(word)) {
        keys.push_back(Key(line, word));
      } else {
        Fail(line, "\"" + word + "\" is not a note name (C4, F#3, Bb5), a rest (r) or a word");
      }
      if (i + 1 >= w.size())
        Fail(line, "\"" + word + "\" needs a duration after it (w h q e s t, with . or 3)");
      const int32_t ticks = Duration(w[++i]);
      if (ticks <= 0)
        Fail(line, "\"" + w[i] + "\" is not a duration (w h q e s t, with . or 3, joined by +)");
      const int32_t sounded =
          std::max<int32_t>(1, static_cast<int32_t>(int64_t{ticks} * state_.legato_percent / 100));
      for (int key : keys) {
        CountEvent(line);
        CountEvent(line);
        track_->notes.push_back(
            {state_.tick, 0, static_cast<uint8_t>(key), static_cast<uint8_t>(state_.velocity)});
        track_->notes.back().end = state_.tick + std::min(sounded, kMaxScoreTicks);
      }
      Advance(line, ticks);
    }
  }

  // A key struck again while still sounding (a long legato) ends its earlier note there, so
  // the later note is not silenced by the earlier one's note-off.
  static void FixOverlaps(TScoreTrack& track) {
    std::stable_sort(track.notes.begin(), track.notes.end(),
                     [](const TScoreNote& a, const TScoreNote& b) { return a.start < b.start; });
    std::map<uint8_t, size_t> sounding;
    for (size_t i = 0; i < track.notes.size(); ++i) {
      TScoreNote& note = track.notes[i];
      auto it = sounding.find(note.key);
      if (it != sounding.end()) {
        TScoreNote& before = track.notes[it->second];
        if (before.end > note.start)
          before.end = std::max(before.start + 1, note.start);
        if (before.start == note.start)
          before.end = note.start; // the same key twice in one chord sounds once
      }
      sounding[note.key] = i;
    }
    std::erase_if(track.notes, [](const TScoreNote& n) { return n.end <= n.start; });
  }

  const std::string& name_;
  TScore score_;
  TScoreTrack* track_ = nullptr;
  TTrackState state_;
  size_t events_ = 0;
  int numerator_ = 4, denominator_ = 4;
  bool tempo_set_ = false;
};

void PutBig(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i)
    out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutVlq(std::vector<uint8_t>& out, uint32_t value) {
  uint8_t bytes[5];
  int n = 0;
  bytes[n++] = value & 0x7F;
  while (value >>= 7)
    bytes[n++] = static_cast<uint8_t>(0x80 | (value & 0x7F));
  while (n > 0)
    out.push_back(bytes[--n]);
}

void PutTrack(std::vector<uint8_t>& file, const TScoreTrack& track, int32_t length) {
  std::vector<TScoreMessage> all = track.messages;
  if (!track.name.empty()) {
    std::string name =
        Bytes({0xFF, 0x03, static_cast<int>(std::min<size_t>(track.name.size(), 127))});
    name += track.name.substr(0, 127);
    all.insert(all.begin(), {0, 0, name});
  }
  for (const TScoreNote& n : track.notes) {
    all.push_back({n.start, 2, Bytes({0x90 | track.channel, n.key, n.velocity})});
    all.push_back({n.end, 1, Bytes({0x80 | track.channel, n.key, 0})});
  }
  std::stable_sort(all.begin(), all.end(), [](const TScoreMessage& a, const TScoreMessage& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.rank < b.rank;
  });
  std::vector<uint8_t> body;
  int32_t at = 0;
  for (const TScoreMessage& m : all) {
    PutVlq(body, static_cast<uint32_t>(m.tick - at));
    at = m.tick;
    body.insert(body.end(), m.bytes.begin(), m.bytes.end());
  }
  PutVlq(body, static_cast<uint32_t>(std::max(length, at) - at));
  body.insert(body.end(), {0xFF, 0x2F, 0x00});
  file.insert(file.end(), {'M', 'T', 'r', 'k'});
  PutBig(file, static_cast<uint32_t>(body.size()), 4);
  file.insert(file.end(), body.begin(), body.end());
}

} // namespace

TScore ParseMidiScore(std::string_view text, const std::string& name) {
  return TScoreParser(name).Parse(text);
}

std::vector<uint8_t> WriteSmf(const TScore& score) {
  std::vector<uint8_t> file{'M', 'T', 'h', 'd'};
  PutBig(file, 6, 4);
  PutBig(file, 1, 2); // type 1: tracks played together
  PutBig(file, static_cast<uint32_t>(score.tracks.size() + 1), 2);
  PutBig(file, static_cast<uint32_t>(score.division), 2);
  PutTrack(file, score.conductor, score.length);
  for (const TScoreTrack& track : score.tracks)
    PutTrack(file, track, score.length);
  return file;
}

} // namespace nova::tool
