// SPDX-License-Identifier: MIT
#include "script/saved_game.h"

#include <cassert>
#include <cstring>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "expr/param_collection.h"
#include "graphics/image_cache.h"
#include "scene/kinds/nova_mes.h"
#include "scene/message_records.h"
#include "scene/nova_base_list.h"
#include "script/call_man.h"

namespace nova {
namespace {

constexpr char kStatusTag[] = "Status";
constexpr size_t kStatusTagSize = 9; // "Status" and three digits
// Saved games above this version hold the tables.
constexpr int32_t kGameTablesVersion = 122;

// The resume point takes over: what ran is pushed as a frame and the resume page starts.
void Resume(TCallMan& calls, const TResumePoint& resume) {
  if (resume.page.empty())
    return;
  if (TPage* page = calls.page()) {
    TStack frame;
    frame.page_name = page->name();
    frame.pc = calls.pc();
    frame.cont = calls.cont();
    frame.started = calls.started();
    frame.sender = calls.sender();
    frame.args = calls.args();
    calls.Push(std::move(frame));
  }
  calls.set_page(calls.GetPage(resume.page, TPromote::Yes));
  calls.set_started(false);
  if (resume.index > 0)
    calls.set_pc(resume.index);
}

// "Status" and the version in three digits; data without the tag is of version 0 and starts
// at its first byte.
int32_t ReadStatusTag(BinaryReader& r) {
  if (r.remaining() < kStatusTagSize || std::memcmp(r.Bytes(std::strlen(kStatusTag)).data(),
                                                    kStatusTag, std::strlen(kStatusTag)) != 0) {
    r.Seek(0);
    return 0;
  }
  int32_t version = 0;
  for (char c : r.FixedString(3)) {
    if (c < '0' || c > '9')
      r.Fail("status version with a non-digit");
    version = version * 10 + (c - '0');
  }
  return version;
}

} // namespace

std::vector<uint8_t> WriteSavedGame(const TSavedParts& parts, const std::string& title,
                                    const TResumePoint& resume) {
  assert(parts.calls);
  BinaryWriter w;
  w.I32(kSavedGameVersion);
  w.String(title);
  w.String(resume.page);
  w.I32(resume.index);
  parts.scene.SaveScene(w);
  parts.scene.MessageRecords().formats.Save(w);
  parts.calls->Save(w);
  parts.vars.SaveMain(w);
  parts.vars.tables.SaveGameTables(w);
  return w.Take();
}

void ReadSavedGame(const TSavedParts& parts, std::span<const uint8_t> bytes,
                   const std::string& what) {
  assert(parts.calls);
  BinaryReader r(bytes, what);
  const int32_t version = r.I32();
  if (version < kOldestSavedGame || version > kSavedGameVersion)
    r.Fail("saved game of version " + std::to_string(version));
  r.String(); // the title is the save titles' business
  TResumePoint resume;
  resume.page = r.String();
  resume.index = r.I32();
  parts.scene.LoadScene(r, version);
  parts.scene.MessageRecords().formats.Load(r, version);
  parts.calls->Load(r, version);
  Resume(*parts.calls, resume);
  parts.vars.LoadMain(r, version);
  // Saves of 113..134 keep the default history's layout among the variables.
  if (parts.vars.legacy_history_format)
    parts.scene.MessageRecords().formats.Default().SetValues(*parts.vars.legacy_history_format);
  if (version > kGameTablesVersion)
    parts.vars.tables.LoadGameTables(r);
  RefreshMessageBoxes(parts.scene);
}

std::string ReadSavedGameTitle(std::span<const uint8_t> bytes, const std::string& what) {
  BinaryReader r(bytes, what);
  r.I32();
  return r.String();
}

std::vector<uint8_t> WriteStatusData(const TSavedParts& parts) {
  BinaryWriter w;
  w.Bytes(std::string_view(kStatusTag));
  w.Bytes(std::to_string(kStatusVersion));
  parts.vars.SaveStatus(w);
  parts.scene.MessageRecords().reads.Save(w);
  assert(parts.images);
  parts.images->SaveFlag(w);
  parts.vars.tables.SaveStatusTables(w);
  return w.Take();
}

void ReadStatusData(const TSavedParts& parts, std::span<const uint8_t> bytes,
                    const std::string& what) {
  BinaryReader r(bytes, what);
  const int32_t version = ReadStatusTag(r);
  parts.vars.LoadStatus(r, version);
  parts.scene.MessageRecords().reads.Load(r, version);
  if (parts.images)
    parts.images->LoadFlag(r, version);
  else if (version > 100)
    r.U8();
  if (version >= kStatusVersion)
    parts.vars.tables.LoadStatusTables(r);
}

} // namespace nova
