// SPDX-License-Identifier: MIT
#include "script/text_form/project_text.h"

#include "base/nova_error.h"
#include "script/text_form/page_text_names.h"
#include "script/text_form/real_text.h"
#include "script/text_form/text_cursor.h"

namespace nova {
namespace {

std::string Flag(bool b) { return b ? "1" : "0"; }

std::string VariableLine(const TParamData& v) {
  std::string line = "var " + ResultTypeWord(v.type) + " " + QuoteSjis(v.name);
  switch (v.type) {
  case 1:
    return line + " " + std::to_string(v.int_value);
  case 2:
    return line + " " + FormatRealBytes(v.real_bytes);
  case 3:
    return line + " " + Flag(v.flag_value);
  case 4:
    return line + " " + QuoteSjis(v.str_value);
  default:
    return line;
  }
}

class TProjectAssembler {
public:
  TProjectAssembler(const std::string& file) : file_(file) {}

  TProjectSetting Run(const std::string& utf8) {
    std::vector<TTextLine> lines = LexText(utf8, file_);
    // The version decides which fields may follow, so it is taken first wherever it stands.
    for (const TTextLine& l : lines) {
      TTokCursor c(l, file_);
      if (c.ExpectWord("a field name").text != "project")
        continue;
      p_.version = static_cast<int32_t>(Int(c, INT32_MIN, kNewestProjectVersion));
      End(c);
    }
    for (const TTextLine& l : lines)
      Line(l);
    return std::move(p_);
  }

private:
  void Line(const TTextLine& l) {
    TTokCursor c(l, file_);
    std::string key = c.Next().text;
    if (key == "project")
      return;
    if (key == "title") {
      p_.title = Str(c);
    } else if (key == "scene") {
      p_.scene_width = Int32(c);
      p_.scene_height = Int32(c);
    } else if (key == "fullscreen") {
      p_.full_width = Int32(c);
      p_.full_height = Int32(c);
    } else if (key == "start") {
      p_.start_page = Str(c);
    } else if (key == "exit") {
      Since(c, key, kExitPageSince);
      p_.exit_page = Str(c);
    } else if (key == "cdkey") {
      p_.cd_registry_key = Str(c);
    } else if (key == "imagecode") {
      p_.image_code = Int32(c);
    } else if (key == "writesave") {
      Since(c, key, kWriteSaveSince);
      p_.write_save_file = Bool(c);
    } else if (key == "extra") {
      Since(c, key, kExtraFlagSince);
      p_.extra_flag = Bool(c);
    } else if (key == "media") {
      Since(c, key, kMediaSince);
      p_.media_extensions = Str(c);
    } else if (key == "pauseinactive") {
      Since(c, key, kPauseSince);
      p_.pause_when_inactive = Bool(c);
    } else if (key == "extra2") {
      Since(c, key, kExtraFlag2Since);
      p_.extra_flag2 = Bool(c);
    } else if (key == "toolbar") {
      Since(c, key, kToolBarSince);
      p_.show_tool_bar = Bool(c);
    } else if (key == "diskprompt") {
      p_.disk_prompt = Str(c);
    } else if (key == "quit") {
      p_.quit_message = Str(c);
    } else if (key == "var") {
      p_.variables.push_back(Variable(c));
    } else if (key == "disk") {
      TFolderDiskList::Entry e;
      e.folder = Str(c);
      e.disk = Int32(c);
      p_.folder_disks.entries.push_back(std::move(e));
    } else {
      c.Fail("unknown project field '" + key + "'");
    }
    End(c);
  }

  TParamData Variable(TTokCursor& c) {
    TParamData v;
    int type = ResultTypeFromWord(c.ExpectWord("a variable type").text);
    if (type < 0)
      c.Fail("variable type must be int, float, flag, str or a number 0-255");
    v.type = static_cast<uint8_t>(type);
    v.name = Str(c);
    switch (v.type) {
    case 1:
      v.int_value = Int32(c);
      break;
    case 2:
      if (!ParseRealText(c.ExpectWord("a real value").text, v.real_bytes)) {
        c.Fail("expected a real number or hex: and 20 hexadecimal digits");
      }
      break;
    case 3:
      v.flag_value = Bool(c);
      break;
    case 4:
      v.str_value = Str(c);
      break;
    default:
      break;
    }
    return v;
  }

  void Since(TTokCursor& c, const std::string& key, int32_t first) {
    if (p_.version < first) {
      c.Fail(key + " is not part of a project of version " + std::to_string(p_.version) +
             " (from version " + std::to_string(first) + ")");
    }
  }
  int64_t Int(TTokCursor& c, int64_t lo, int64_t hi) {
    int64_t v = 0;
    if (!ParseInt(c.ExpectWord("a number").text, v) || v < lo || v > hi) {
      c.Fail("expected a number from " + std::to_string(lo) + " to " + std::to_string(hi));
    }
    return v;
  }
  int32_t Int32(TTokCursor& c) { return static_cast<int32_t>(Int(c, INT32_MIN, INT32_MAX)); }
  bool Bool(TTokCursor& c) { return Int(c, 0, 1) != 0; }
  std::string Str(TTokCursor& c) { return c.ExpectString("a text").text; }
  void End(TTokCursor& c) {
    if (!c.AtEnd())
      c.Fail("unexpected text at the end of the line");
  }

  const std::string& file_;
  TProjectSetting p_;
};

} // namespace

std::string DumpProject(const TProjectSetting& p) {
  std::string out;
  auto line = [&out](const std::string& s) { out += s + "\n"; };
  line("project " + std::to_string(p.version));
  line("title " + QuoteSjis(p.title));
  line("scene " + std::to_string(p.scene_width) + " " + std::to_string(p.scene_height));
  line("fullscreen " + std::to_string(p.full_width) + " " + std::to_string(p.full_height));
  line("start " + QuoteSjis(p.start_page));
  if (p.version >= kExitPageSince)
    line("exit " + QuoteSjis(p.exit_page));
  line("cdkey " + QuoteSjis(p.cd_registry_key));
  line("imagecode " + std::to_string(p.image_code));
  if (p.version >= kWriteSaveSince)
    line("writesave " + Flag(p.write_save_file));
  if (p.version >= kExtraFlagSince)
    line("extra " + Flag(p.extra_flag));
  if (p.version >= kMediaSince)
    line("media " + QuoteSjis(p.media_extensions));
  if (p.version >= kPauseSince)
    line("pauseinactive " + Flag(p.pause_when_inactive));
  if (p.version >= kExtraFlag2Since)
    line("extra2 " + Flag(p.extra_flag2));
  if (p.version >= kToolBarSince)
    line("toolbar " + Flag(p.show_tool_bar));
  line("diskprompt " + QuoteSjis(p.disk_prompt));
  line("quit " + QuoteSjis(p.quit_message));
  for (const TParamData& v : p.variables)
    line(VariableLine(v));
  for (const TFolderDiskList::Entry& e : p.folder_disks.entries) {
    line("disk " + QuoteSjis(e.folder) + " " + std::to_string(e.disk));
  }
  return out;
}

TProjectSetting AssembleProject(const std::string& utf8, const std::string& file) {
  return TProjectAssembler(file).Run(utf8);
}

} // namespace nova
