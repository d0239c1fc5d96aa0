// SPDX-License-Identifier: MIT
// Film files: a timeline of tracks, each moving one component from a start state to an end
// state over a span of frames. The stored form of every version, its reader and its writer,
// and a text form for making films by hand (novatool film build).
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace nova {

// The kind byte of a track (its low seven bits).
enum TFilmTrackKind : uint8_t {
  fkImage = 0,
  fkLabel = 1,
  fkBox = 2,
  fkWipe = 3,
  fkSound = 4,
  fkTile = 5,
  fkParticle = 6,
  fkFire = 7,
};
constexpr int kFilmTrackKinds = 8;
const char* FilmTrackKindName(uint8_t kind);

// The newest layout; films are written in it unless a test asks for an older one.
constexpr int kFilmVersion = 110;

struct TFilmPoint {
  int32_t x = 0, y = 0;
  bool operator==(const TFilmPoint&) const = default;
};

// A start and an end crop rectangle (origin and size each) with their two curve bytes.
struct TFilmCrop {
  TFilmPoint start_origin, start_size, end_origin, end_size;
  uint8_t curve_x = 0, curve_y = 0;
};

// Every value any track kind stores; a kind reads and writes only its own. Defaults are those
// of a new track.
struct TFilmTrack {
  uint8_t kind = fkImage;
  // Common head.
  int32_t predecessor = -1;
  int32_t length = 1;
  int32_t spare = 0;
  int32_t start = 0;
  int32_t cycle = 0;
  int32_t priority = 0;
  uint8_t flip_h = 0, flip_v = 0, next_page = 0;
  // Positions (image head, rect tracks).
  TFilmPoint anchor, start_pos, end_pos;
  uint8_t curve_x = 0, curve_y = 0;
  double start_rotation = 0, end_rotation = 0;
  double start_zoom_x = 1, end_zoom_x = 1, start_zoom_y = 1, end_zoom_y = 1;
  uint8_t zoom_x_curve = 0, zoom_y_curve = 0, rotation_curve = 0;
  int32_t start_opacity = 0, end_opacity = 0;
  TFilmCrop crop;
  int32_t start_blur_span = 0, start_blur_delay = 0, end_blur_span = 0, end_blur_delay = 0;
  // Image, tile, sound and particle resource, resolved against the film's folder on reading.
  std::string source;
  // Label.
  std::string text, font_name;
  uint8_t antialias = 0, font_style = 0, halign = 0;
  int32_t font_height = 12, line_space = 0, font_color = 0xFFFFFF;
  // Tile and rect sizes.
  int32_t start_width = 100, start_height = 100, end_width = 100, end_height = 100;
  int32_t start_scroll_x = 0, start_scroll_y = 0, end_scroll_x = 0, end_scroll_y = 0;
  uint8_t scroll_x_curve = 0, scroll_y_curve = 0;
  int32_t distance_x = 0, distance_y = 0;
  // Box.
  int32_t start_color = 0, end_color = 0, start_border_width = 0, end_border_width = 0;
  int32_t start_border_color = 0, end_border_color = 0;
  // Wipe.
  uint8_t wipe_kind = 1, reverse = 0;
  std::string mask_name;
  int32_t param0 = 0, param1 = 0;
  // Sound (volumes per mille).
  int32_t start_volume = 1000, end_volume = 1000, start_pan = 0, end_pan = 0;
  uint8_t volume_curve = 0, pan_curve = 0;
  // Particle.
  uint8_t motion_type = 0;
  int32_t index = 0;
  int32_t start_interval = 100, end_interval = 100;
  int32_t start_interval_spread = 1, end_interval_spread = 1;
  TFilmPoint start_emission, end_emission;
  uint8_t emission_curve_x = 0, emission_curve_y = 0;
  TFilmPoint start_spread{1, 1}, end_spread{1, 1};
  std::array<double, 3> start_param{}, end_param{};
  // Flame.
  int32_t power = 100;
};

struct TFilmFile {
  // 0: "NovaCinema", 1: "NovaMotion" (both load alike).
  uint8_t tag_index = 0;
  int version = kFilmVersion;
  int32_t width = 0, height = 0;
  int32_t back_color = -1;
  uint8_t relative = 0;
  TFilmPoint origin;
  int32_t loop_start = 0;
  std::vector<TFilmTrack> tracks;
  // Reading stopped at a track of an unknown kind (the tracks before it are kept).
  bool stopped_at_unknown_kind = false;
};

// Reads a film. `name` is the title file name: error messages name it and the resource names
// of the tracks are resolved against its folder. A tag that is neither film tag gives an empty
// film; bytes that end early throw ENovaError naming the file. Versions up to 106 have their
// frame counts doubled, up to 107 their sound volumes converted, as the player reads them.
TFilmFile ReadFilm(std::span<const uint8_t> bytes, const std::string& name);
// Writes `film` in the layout of film.version, values as they stand (no conversions).
std::vector<uint8_t> WriteFilm(const TFilmFile& film);

// The title file name of a track's resource: kept when absolute ("\..." or "X:..."), climbing
// one folder of `folder` per leading "..\", otherwise appended to `folder` (which ends in "\"
// or is empty).
std::string ResolveFilmName(const std::string& folder, const std::string& name);
// The folder of a title file name, with its trailing "\" (empty without one).
std::string FilmFolderOf(const std::string& name);

// The text form: "film <version> <width> <height>" then "key value..." lines for the film, and
// "track <kind>" opening each track, followed by its own "key value..." lines. Keys are the
// field names that `FilmFieldNames` lists for the kind; strings are the rest of the line.
// Lines starting with '#' are comments. Errors name the line.
TFilmFile ParseFilmText(const std::string& text);
// The same form, every field of every track (what `novatool film info --all` prints).
std::string FilmToText(const TFilmFile& film);

} // namespace nova
