// SPDX-License-Identifier: MIT
// The fixed table of component properties: type, access and the kinds that honour each one.
#pragma once
#include <cstdint>
#include <string>

#include "scene/scene_types.h"

namespace nova {

enum TPropType : uint8_t { ptInt, ptReal, ptFlag, ptStr };
// rw; read only (writes ignored); read only whose write raises "SetPropエラー".
enum TPropAccess : uint8_t { acRW, acR, acSetError };

struct TPropInfo {
  TNovaProp id;
  const char* name;    // "PR_NAME"
  const char* caption; // the authoring tool's caption, UTF-8
  TPropType type;
  TPropAccess access;
  uint32_t kinds;      // bit k: kind k stores a written value (rw) or reports one (r)
  uint32_t read_kinds; // kinds that report a value but ignore writes
};

// Valid for ids 0 to 169; callers check the range first.
const TPropInfo& PropInfo(int id);
bool IsValidPropId(int id);
// The kind's class honours the property when reading (write: storing).
bool KindReads(uint8_t kind, int id);
bool KindWrites(uint8_t kind, int id);
// The caption of a kind as the authoring tool shows it (Shift-JIS).
const std::string& KindCaption(uint8_t kind);
// Look-up by name ("PR_LEFT"), -1 when unknown; used by tools and tests.
int PropIdByName(const std::string& name);

} // namespace nova
