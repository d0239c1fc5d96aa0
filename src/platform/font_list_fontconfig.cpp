// SPDX-License-Identifier: MIT
// Face enumeration on fontconfig, with the Windows-name substitution table.
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>

#include "base/sjis.h"
#include "platform/font_list.h"

namespace nova {

const std::vector<FaceSubstitute>& BuiltinFaceSubstitutes() {
  // The IPA faces share the advances of the Windows Japanese faces they replace; those faces'
  // em fills the cell with 220/256 of it above the baseline, which the substitutes copy.
  constexpr double kMsCell = 220.0 / 256.0;
  static const std::vector<FaceSubstitute> table = {
      {"ＭＳ ゴシック", "IPAGothic", kMsCell},
      {"ＭＳ 明朝", "IPAMincho", kMsCell},
      {"ＭＳ Ｐゴシック", "IPAPGothic", kMsCell},
      {"ＭＳ Ｐ明朝", "IPAPMincho", kMsCell},
      {"MS UI Gothic", "IPAPGothic", kMsCell},
      {"MS Gothic", "IPAGothic", kMsCell},
      {"MS Mincho", "IPAMincho", kMsCell},
      {"MS PGothic", "IPAPGothic", kMsCell},
      {"MS PMincho", "IPAPMincho", kMsCell},
      {"メイリオ", "IPAPGothic"},
      {"Meiryo", "IPAPGothic"},
      {"Arial", "DejaVu Sans"},
      {"Times New Roman", "DejaVu Serif"},
      {"Courier New", "DejaVu Sans Mono"},
      {"Tahoma", "DejaVu Sans"},
      {"Verdana", "DejaVu Sans"},
  };
  return table;
}

static std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos)
    return {};
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

std::vector<FaceSubstitute> ReadFaceSubstitutes(const std::string& path) {
  std::vector<FaceSubstitute> out;
  std::ifstream in(path);
  std::string line;
  while (in && std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == '#')
      continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos)
      continue;
    FaceSubstitute s{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)), 0};
    if (!s.windows_name.empty() && !s.free_family.empty())
      out.push_back(std::move(s));
  }
  return out;
}

std::string UserFaceSubstitutesPath() {
  if (const char* p = std::getenv("NOVA_FONT_SUBSTITUTES"); p && *p)
    return p;
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x)
    return std::string(x) + "/novaplayer/font-substitutes.conf";
  if (const char* h = std::getenv("HOME"); h && *h)
    return std::string(h) + "/.config/novaplayer/font-substitutes.conf";
  return {};
}

namespace {

struct FcFace {
  std::vector<std::string> families; // UTF-8
  std::string file;
  int index = 0;
  bool fixed = false;
  bool japanese = false;
  bool bold = false;
  bool italic = false;
};

std::vector<FcFace> ListFcFaces() {
  std::vector<FcFace> faces;
  // A configuration of our own, freed here, keeps fontconfig's global state out of the player.
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (!config)
    return faces;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, FC_FILE, FC_INDEX, FC_SPACING, FC_LANG, FC_WEIGHT,
                                     FC_SLANT, nullptr);
  FcFontSet* set = FcFontList(config, pattern, os);
  FcLangSet* ja = FcLangSetCreate();
  FcLangSetAdd(ja, reinterpret_cast<const FcChar8*>("ja"));
  for (int i = 0; set && i < set->nfont; ++i) {
    FcPattern* p = set->fonts[i];
    FcFace face;
    FcChar8* s = nullptr;
    for (int n = 0; FcPatternGetString(p, FC_FAMILY, n, &s) == FcResultMatch; ++n)
      face.families.emplace_back(reinterpret_cast<const char*>(s));
    if (FcPatternGetString(p, FC_FILE, 0, &s) != FcResultMatch || face.families.empty())
      continue;
    face.file = reinterpret_cast<const char*>(s);
    FcPatternGetInteger(p, FC_INDEX, 0, &face.index);
    int spacing = FC_PROPORTIONAL;
    FcPatternGetInteger(p, FC_SPACING, 0, &spacing);
    face.fixed = spacing == FC_MONO || spacing == FC_DUAL || spacing == FC_CHARCELL;
    FcLangSet* langs = nullptr;
    if (FcPatternGetLangSet(p, FC_LANG, 0, &langs) == FcResultMatch)
      face.japanese = FcLangSetContains(langs, ja);
    int weight = FC_WEIGHT_REGULAR;
    FcPatternGetInteger(p, FC_WEIGHT, 0, &weight);
    face.bold = weight >= FC_WEIGHT_BOLD;
    int slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(p, FC_SLANT, 0, &slant);
    face.italic = slant != FC_SLANT_ROMAN;
    faces.push_back(std::move(face));
  }
  FcLangSetDestroy(ja);
  if (set)
    FcFontSetDestroy(set);
  FcObjectSetDestroy(os);
  FcPatternDestroy(pattern);
  FcConfigDestroy(config);
  return faces;
}

// Regular faces win over bold and italic ones of the same family: the rasteriser synthesises
// styles as a LOGFONT-based renderer would.
int Rank(const FcFace& f) { return (f.bold ? 2 : 0) + (f.italic ? 1 : 0); }

} // namespace

std::vector<InstalledFace> EnumerateInstalledFaces(const std::vector<FaceSubstitute>& substitutes) {
  std::map<std::string, std::pair<int, InstalledFace>> by_name; // Shift-JIS name
  std::map<std::string, InstalledFace> by_family;               // UTF-8 family, best face
  for (const FcFace& f : ListFcFaces()) {
    InstalledFace face;
    face.file = f.file;
    face.face_index = f.index;
    face.fixed_pitch = f.fixed;
    face.charset = f.japanese ? 128 : 0;
    face.bold_face = f.bold;
    for (const std::string& family : f.families) {
      face.name = Utf8ToSjis(family);
      auto it = by_name.find(face.name);
      if (it == by_name.end() || Rank(f) < it->second.first) {
        by_name[face.name] = {Rank(f), face};
        by_family[family] = face;
      }
    }
  }
  for (const FaceSubstitute& s : substitutes) {
    auto target = by_family.find(s.free_family);
    std::string name = Utf8ToSjis(s.windows_name);
    if (target == by_family.end() || by_name.count(name))
      continue;
    InstalledFace face = target->second;
    face.name = name;
    face.substitute = true;
    face.cell_ascent = s.cell_ascent;
    by_name[name] = {0, face};
  }
  std::vector<InstalledFace> out;
  out.reserve(by_name.size());
  for (auto& [name, entry] : by_name)
    out.push_back(std::move(entry.second));
  return out;
}

} // namespace nova
