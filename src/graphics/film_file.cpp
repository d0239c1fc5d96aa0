// SPDX-License-Identifier: MIT
// One declaration of the stored fields (VisitTrack) serves the reader, the writer, the text
// form and the listing, so the four can never disagree about a field or its version.
#include "graphics/film_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/sjis.h"

namespace nova {
namespace {

constexpr size_t kTagBytes = 13;
const char* const kTags[] = {"NovaCinema", "NovaMotion"};
// The smallest record: kind byte, common head, and a wipe's kind byte.
constexpr size_t kMinTrackBytes = 1 + 6 * 4 + 3 + 1;
constexpr double kMaxReal = 1e6;

template <class V> void VisitCrop(V& v, TFilmCrop& c) {
  v.Point("crop_start_origin", c.start_origin);
  v.Point("crop_start_size", c.start_size);
  v.Point("crop_end_origin", c.end_origin);
  v.Point("crop_end_size", c.end_size);
  v.U8("crop_curve_x", c.curve_x);
  v.U8("crop_curve_y", c.curve_y);
}

template <class V> void VisitBlur(V& v, TFilmTrack& t) {
  v.I32("start_blur_span", t.start_blur_span);
  v.I32("start_blur_delay", t.start_blur_delay);
  v.I32("end_blur_span", t.end_blur_span);
  v.I32("end_blur_delay", t.end_blur_delay);
}

template <class V> void VisitPositions(V& v, TFilmTrack& t) {
  v.Point("start_pos", t.start_pos);
  v.Point("end_pos", t.end_pos);
  v.U8("curve_x", t.curve_x);
  v.U8("curve_y", t.curve_y);
}

template <class V> void VisitSizes(V& v, TFilmTrack& t) {
  v.I32("start_width", t.start_width);
  v.I32("start_height", t.start_height);
  v.I32("end_width", t.end_width);
  v.I32("end_height", t.end_height);
}

// Rotations were whole degrees before version 110.
template <class V> void VisitRotation(V& v, const char* key, double& value, int version) {
  if (version >= 110) {
    v.F64(key, value);
    return;
  }
  int32_t whole = static_cast<int32_t>(std::lround(std::clamp(value, -2e9, 2e9)));
  v.I32(key, whole);
  value = whole;
}

template <class V> void VisitImageHead(V& v, TFilmTrack& t, int version) {
  v.Point("anchor", t.anchor);
  VisitPositions(v, t);
  VisitRotation(v, "start_rotation", t.start_rotation, version);
  VisitRotation(v, "end_rotation", t.end_rotation, version);
  v.F64("start_zoom_x", t.start_zoom_x);
  v.F64("end_zoom_x", t.end_zoom_x);
  v.U8("zoom_x_curve", t.zoom_x_curve);
  v.I32("start_opacity", t.start_opacity);
  v.I32("end_opacity", t.end_opacity);
  v.U8("rotation_curve", t.rotation_curve);
  if (version >= 101)
    VisitCrop(v, t.crop);
  if (version >= 105) {
    v.F64("start_zoom_y", t.start_zoom_y);
    v.F64("end_zoom_y", t.end_zoom_y);
    v.U8("zoom_y_curve", t.zoom_y_curve);
  } else if (V::kReading) {
    t.start_zoom_y = t.start_zoom_x;
    t.end_zoom_y = t.end_zoom_x;
    t.zoom_y_curve = t.zoom_x_curve;
  }
  if (version >= 109)
    VisitBlur(v, t);
}

template <class V> void VisitTrack(V& v, TFilmTrack& t, int version) {
  v.I32("predecessor", t.predecessor);
  v.I32("length", t.length);
  v.I32("spare", t.spare);
  v.I32("start", t.start);
  v.I32("cycle", t.cycle);
  v.I32("priority", t.priority);
  v.U8("flip_h", t.flip_h);
  v.U8("flip_v", t.flip_v);
  v.U8("next_page", t.next_page);
  switch (t.kind) {
  case fkImage:
    VisitImageHead(v, t, version);
    v.Str("source", t.source);
    break;
  case fkLabel:
    VisitImageHead(v, t, version);
    v.Str("text", t.text);
    v.U8("antialias", t.antialias);
    v.Str("font_name", t.font_name);
    v.I32("font_height", t.font_height);
    if (version >= 103)
      v.I32("line_space", t.line_space);
    else
      v.Skip4();
    v.U8("font_style", t.font_style);
    v.I32("font_color", t.font_color);
    if (version >= 103)
      v.U8("halign", t.halign);
    break;
  case fkTile:
    VisitImageHead(v, t, version);
    v.Str("source", t.source);
    VisitSizes(v, t);
    v.I32("start_scroll_x", t.start_scroll_x);
    v.I32("start_scroll_y", t.start_scroll_y);
    v.I32("end_scroll_x", t.end_scroll_x);
    v.I32("end_scroll_y", t.end_scroll_y);
    v.U8("scroll_x_curve", t.scroll_x_curve);
    v.U8("scroll_y_curve", t.scroll_y_curve);
    v.I32("distance_x", t.distance_x);
    v.I32("distance_y", t.distance_y);
    // The tile's own crop block replaces the one of its image head.
    if (version >= 101)
      VisitCrop(v, t.crop);
    break;
  case fkBox:
    VisitPositions(v, t);
    v.I32("start_opacity", t.start_opacity);
    v.I32("end_opacity", t.end_opacity);
    VisitSizes(v, t);
    v.I32("start_color", t.start_color);
    v.I32("end_color", t.end_color);
    v.I32("start_border_width", t.start_border_width);
    v.I32("end_border_width", t.end_border_width);
    v.I32("start_border_color", t.start_border_color);
    v.I32("end_border_color", t.end_border_color);
    if (version >= 101)
      VisitCrop(v, t.crop);
    if (version >= 109)
      VisitBlur(v, t);
    break;
  case fkWipe:
    v.U8("wipe_kind", t.wipe_kind);
    if (version >= 101) {
      v.Str("mask_name", t.mask_name);
      v.I32("param0", t.param0);
      v.I32("param1", t.param1);
      v.U8("reverse", t.reverse);
    }
    break;
  case fkSound:
    v.Str("source", t.source);
    v.I32("start_volume", t.start_volume);
    v.I32("end_volume", t.end_volume);
    v.I32("start_pan", t.start_pan);
    v.I32("end_pan", t.end_pan);
    v.U8("volume_curve", t.volume_curve);
    v.U8("pan_curve", t.pan_curve);
    break;
  case fkParticle:
    v.Str("source", t.source);
    v.U8("motion_type", t.motion_type);
    v.I32("index", t.index);
    v.I32("start_interval", t.start_interval);
    v.I32("end_interval", t.end_interval);
    v.I32("start_interval_spread", t.start_interval_spread);
    v.I32("end_interval_spread", t.end_interval_spread);
    v.Point("start_emission", t.start_emission);
    v.Point("end_emission", t.end_emission);
    v.Point("start_spread", t.start_spread);
    v.Point("end_spread", t.end_spread);
    v.U8("emission_curve_x", t.emission_curve_x);
    v.U8("emission_curve_y", t.emission_curve_y);
    v.F64("start_param1", t.start_param[0]);
    v.F64("start_param2", t.start_param[1]);
    v.F64("start_param3", t.start_param[2]);
    v.F64("end_param1", t.end_param[0]);
    v.F64("end_param2", t.end_param[1]);
    v.F64("end_param3", t.end_param[2]);
    VisitPositions(v, t);
    VisitSizes(v, t);
    VisitCrop(v, t.crop);
    v.I32("start_opacity", t.start_opacity);
    v.I32("end_opacity", t.end_opacity);
    break;
  case fkFire:
    VisitPositions(v, t);
    VisitSizes(v, t);
    VisitCrop(v, t.crop);
    v.F64("start_zoom_x", t.start_zoom_x);
    v.F64("start_zoom_y", t.start_zoom_y);
    v.F64("end_zoom_x", t.end_zoom_x);
    v.F64("end_zoom_y", t.end_zoom_y);
    v.U8("zoom_x_curve", t.zoom_x_curve);
    v.U8("zoom_y_curve", t.zoom_y_curve);
    v.I32("power", t.power);
    break;
  default:
    break;
  }
}

// Film strings: a length of 0 or below stands for the empty string.
struct FilmReader {
  static constexpr bool kReading = true;
  BinaryReader& r;
  void I32(const char*, int32_t& v) { v = r.I32(); }
  void U8(const char*, uint8_t& v) { v = r.U8(); }
  // Zooms, turns and particle parameters: a damaged value that is not a finite number of sane
  // size would reach the drawing code as one; it is 0 instead, or capped.
  void F64(const char*, double& v) {
    v = r.F64();
    v = std::isfinite(v) ? std::clamp(v, -kMaxReal, kMaxReal) : 0;
  }
  void Point(const char*, TFilmPoint& p) {
    p.x = r.I32();
    p.y = r.I32();
  }
  void Str(const char*, std::string& s) {
    const int32_t n = r.I32();
    if (n <= 0) {
      s.clear();
      return;
    }
    const std::span<const uint8_t> bytes = r.Bytes(static_cast<size_t>(n));
    s.assign(bytes.begin(), bytes.end());
  }
  void Skip4() { r.Skip(4); }
};

struct FilmWriter {
  static constexpr bool kReading = false;
  BinaryWriter& w;
  void I32(const char*, int32_t& v) { w.I32(v); }
  void U8(const char*, uint8_t& v) { w.U8(v); }
  void F64(const char*, double& v) { w.F64(v); }
  void Point(const char*, TFilmPoint& p) {
    w.I32(p.x);
    w.I32(p.y);
  }
  void Str(const char*, std::string& s) { w.String(s); }
  void Skip4() { w.I32(0); }
};

// Sets the one field named `key` from the words of a text line.
struct TextSetter {
  static constexpr bool kReading = false;
  const std::string& key;
  std::istringstream& words;
  const std::string& rest;
  int line;
  bool found = false;

  [[noreturn]] void Fail(const std::string& what) const {
    throw ENovaError("film text line " + std::to_string(line) + ": " + what);
  }
  template <class T> T Number() {
    long double v = 0;
    if (!(words >> v) || v < -2147483648.0L || v > 4294967295.0L)
      Fail("'" + key + "' needs a number");
    return static_cast<T>(v);
  }
  bool Match(const char* k) {
    if (found || key != k)
      return false;
    found = true;
    return true;
  }
  void I32(const char* k, int32_t& v) {
    if (Match(k))
      v = static_cast<int32_t>(Number<int64_t>());
  }
  void U8(const char* k, uint8_t& v) {
    if (Match(k))
      v = static_cast<uint8_t>(Number<int64_t>());
  }
  void F64(const char* k, double& v) {
    if (Match(k))
      v = Number<double>();
  }
  void Point(const char* k, TFilmPoint& p) {
    if (Match(k)) {
      p.x = static_cast<int32_t>(Number<int64_t>());
      p.y = static_cast<int32_t>(Number<int64_t>());
    }
  }
  void Str(const char* k, std::string& s) {
    if (Match(k))
      s = rest;
  }
  void Skip4() {}
};

// Lists every field as a "key value" line.
struct TextLister {
  static constexpr bool kReading = false;
  std::ostringstream& out;
  void I32(const char* k, int32_t& v) { out << "  " << k << ' ' << v << '\n'; }
  void U8(const char* k, uint8_t& v) { out << "  " << k << ' ' << int(v) << '\n'; }
  void F64(const char* k, double& v) { out << "  " << k << ' ' << v << '\n'; }
  void Point(const char* k, TFilmPoint& p) { out << "  " << k << ' ' << p.x << ' ' << p.y << '\n'; }
  void Str(const char* k, std::string& s) {
    if (!s.empty())
      out << "  " << k << ' ' << s << '\n';
  }
  void Skip4() {}
};

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos)
    return {};
  const size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

int32_t Doubled(int32_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{v} * 2, INT32_MIN, INT32_MAX));
}

bool IsAbsolute(const std::string& name) {
  return (!name.empty() && name[0] == '\\') || (name.size() > 1 && name[1] == ':');
}

} // namespace

const char* FilmTrackKindName(uint8_t kind) {
  static const char* const names[] = {"image", "label", "box",      "wipe",
                                      "sound", "tile",  "particle", "fire"};
  return kind < kFilmTrackKinds ? names[kind] : "unknown";
}

std::string FilmFolderOf(const std::string& name) {
  const size_t slash = name.find_last_of('\\');
  return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

std::string ResolveFilmName(const std::string& folder, const std::string& name) {
  if (name.empty() || IsAbsolute(name))
    return name;
  if (name.rfind("..\\", 0) != 0)
    return folder + name;
  // Split the upper-cased folder into its root (drive or network share) and its folder names.
  const std::string upper = UpperCaseJ(folder);
  std::string root;
  size_t pos = 0;
  if (upper.rfind("\\\\", 0) == 0) {
    const size_t server_end = upper.find('\\', 2);
    const size_t share_end =
        server_end == std::string::npos ? std::string::npos : upper.find('\\', server_end + 1);
    pos = share_end == std::string::npos ? upper.size() : share_end + 1;
  } else if (upper.size() > 1 && upper[1] == ':') {
    pos = upper.size() > 2 && upper[2] == '\\' ? 3 : 2;
  }
  root = upper.substr(0, pos);
  if (!root.empty() && root.back() != '\\')
    root += '\\';
  std::vector<std::string> parts;
  for (size_t i = pos; i < upper.size();) {
    const size_t next = upper.find('\\', i);
    const size_t end = next == std::string::npos ? upper.size() : next;
    if (end > i)
      parts.push_back(upper.substr(i, end - i));
    i = end + 1;
  }
  std::string rest = name;
  while (rest.rfind("..\\", 0) == 0) {
    rest.erase(0, 3);
    if (!parts.empty())
      parts.pop_back();
  }
  std::string out = root;
  for (const std::string& p : parts)
    out += p + '\\';
  return out + rest;
}

TFilmFile ReadFilm(std::span<const uint8_t> bytes, const std::string& name) {
  TFilmFile film;
  if (bytes.size() < kTagBytes)
    return film;
  const std::string tag(bytes.begin(), bytes.begin() + kTagBytes);
  int tag_index = -1;
  for (int i = 0; i < 2; ++i)
    if (tag.compare(0, 10, kTags[i]) == 0)
      tag_index = i;
  const std::string digits = tag.substr(10);
  if (tag_index < 0 || digits.find_first_not_of("0123456789") != std::string::npos)
    return film;
  film.tag_index = static_cast<uint8_t>(tag_index);
  film.version = std::stoi(digits);
  BinaryReader r(bytes, name);
  r.Skip(kTagBytes);
  FilmReader v{r};
  const int version = film.version;
  film.width = r.I32();
  film.height = r.I32();
  film.back_color = r.I32();
  if (version > 101)
    film.relative = r.U8();
  if (version > 103)
    v.Point("origin", film.origin);
  if (version > 105) {
    film.loop_start = r.I32();
    if (version == 106)
      film.loop_start = Doubled(film.loop_start);
  }
  const int32_t count = r.I32();
  r.CheckCount(count, kMinTrackBytes, "track count");
  const std::string folder = FilmFolderOf(name);
  for (int32_t i = 0; i < count; ++i) {
    TFilmTrack t;
    t.kind = r.U8() & 0x7F;
    // Nothing after a kind without a class can be interpreted.
    if (t.kind >= kFilmTrackKinds) {
      film.stopped_at_unknown_kind = true;
      break;
    }
    VisitTrack(v, t, version);
    if (version <= 106) {
      t.start = Doubled(t.start);
      t.length = Doubled(t.length);
      t.cycle = Doubled(t.cycle);
    }
    if (t.kind == fkSound && version <= 107) {
      t.start_volume = t.start_volume / 10 + 1000;
      t.end_volume = t.end_volume / 10 + 1000;
    }
    if (t.kind == fkImage || t.kind == fkTile || t.kind == fkSound || t.kind == fkParticle)
      t.source = ResolveFilmName(folder, t.source);
    if (t.kind == fkWipe && !t.mask_name.empty() && !IsAbsolute(t.mask_name))
      t.mask_name = folder + t.mask_name;
    film.tracks.push_back(std::move(t));
  }
  return film;
}

std::vector<uint8_t> WriteFilm(const TFilmFile& film) {
  BinaryWriter w;
  char tag[kTagBytes + 1];
  std::snprintf(tag, sizeof tag, "%s%03d", kTags[film.tag_index & 1], film.version % 1000);
  w.Bytes(std::string_view(tag, kTagBytes));
  const int version = film.version;
  w.I32(film.width);
  w.I32(film.height);
  w.I32(film.back_color);
  if (version > 101)
    w.U8(film.relative);
  if (version > 103) {
    w.I32(film.origin.x);
    w.I32(film.origin.y);
  }
  if (version > 105)
    w.I32(film.loop_start);
  w.I32(static_cast<int32_t>(film.tracks.size()));
  FilmWriter v{w};
  for (TFilmTrack t : film.tracks) {
    w.U8(t.kind);
    VisitTrack(v, t, version);
  }
  return w.Take();
}

TFilmFile ParseFilmText(const std::string& text) {
  TFilmFile film;
  std::istringstream lines(text);
  std::string raw;
  int line = 0;
  bool header = false;
  while (std::getline(lines, raw)) {
    ++line;
    const std::string s = Trim(raw);
    if (s.empty() || s[0] == '#')
      continue;
    std::istringstream words(s);
    std::string key;
    words >> key;
    const size_t after_key = s.find_first_of(" \t");
    const std::string rest = after_key == std::string::npos ? "" : Trim(s.substr(after_key));
    auto fail = [&](const std::string& what) {
      throw ENovaError("film text line " + std::to_string(line) + ": " + what);
    };
    if (key == "film") {
      if (!(words >> film.version >> film.width >> film.height) || film.version < 100 ||
          film.version > 999)
        fail("expected 'film <version 100-999> <width> <height>'");
      header = true;
      continue;
    }
    if (!header)
      fail("the text must start with a 'film' line");
    if (key == "track") {
      std::string kind;
      words >> kind;
      int k = 0;
      while (k < kFilmTrackKinds && kind != FilmTrackKindName(static_cast<uint8_t>(k)))
        ++k;
      if (k == kFilmTrackKinds)
        fail("unknown track kind '" + kind + "'");
      film.tracks.emplace_back();
      film.tracks.back().kind = static_cast<uint8_t>(k);
      continue;
    }
    if (film.tracks.empty()) {
      int64_t n = 0, m = 0;
      if (key == "motion") {
        film.tag_index = 1;
      } else if (key == "back_color" && (words >> n)) {
        film.back_color = static_cast<int32_t>(n);
      } else if (key == "relative" && (words >> n)) {
        film.relative = n != 0;
      } else if (key == "origin" && (words >> n >> m)) {
        film.origin = {static_cast<int32_t>(n), static_cast<int32_t>(m)};
      } else if (key == "loop_start" && (words >> n)) {
        film.loop_start = static_cast<int32_t>(n);
      } else {
        fail("unknown or incomplete film field '" + key + "'");
      }
      continue;
    }
    TextSetter setter{key, words, rest, line};
    VisitTrack(setter, film.tracks.back(), film.version);
    if (!setter.found)
      fail("'" + key + "' is no field of a " + FilmTrackKindName(film.tracks.back().kind) +
           " track in version " + std::to_string(film.version));
  }
  if (!header)
    throw ENovaError("film text: no 'film' line");
  return film;
}

std::string FilmToText(const TFilmFile& film) {
  std::ostringstream out;
  out << "film " << film.version << ' ' << film.width << ' ' << film.height << '\n';
  if (film.tag_index == 1)
    out << "motion\n";
  out << "back_color " << film.back_color << "\nrelative " << int(film.relative) << "\norigin "
      << film.origin.x << ' ' << film.origin.y << "\nloop_start " << film.loop_start << '\n';
  TextLister lister{out};
  for (TFilmTrack t : film.tracks) {
    out << "track " << FilmTrackKindName(t.kind) << '\n';
    VisitTrack(lister, t, film.version);
  }
  return out.str();
}

} // namespace nova
