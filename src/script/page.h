// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "base/binary_writer.h"
#include "script/com_list.h"
#include "script/mask.h"

namespace nova {

class IScriptDialogs;
class IScriptFiles;

inline constexpr int32_t kNewestPageVersion = 116;
inline constexpr int32_t kOldestPageVersion = 103;

// How reading a page's bytes ended.
enum class TPageReadResult {
  Loaded,
  TooNew,       // version above 116: the page has no commands
  NeedsRebuild, // version 102 or less: nothing was read
};

// One script page: a numbered list of commands, the result type of a call of it, and the mask
// table its component-creating commands were built from.
class TPage {
public:
  TPage() : commands_(this) {}
  TPage(const TPage&) = delete;
  TPage& operator=(const TPage&) = delete;

  // The player's load: reads `name` through `files` and builds the commands. A page of
  // version 102 or less sets Terminating, shows the rebuild message and closes the window;
  // a page of a newer version than 116 is empty. Raises on a missing file, "不正なコマンド"
  // on an unknown kind, and a message naming the page, command index and fault on damage.
  void Load(const std::string& name, IScriptFiles& files, IScriptDialogs& dialogs);

  // Reads a page file's bytes; `name` is recorded and named in errors.
  TPageReadResult Read(std::span<const uint8_t> bytes, const std::string& name);
  // Writes the page in the stored layout (the version's fields, the mask table as kept).
  void Write(BinaryWriter& w);

  // Index of the first command whose label name equals `name` exactly, or -1.
  int32_t FindLabel(std::string_view name) const { return commands_.FindLabel(name); }

  const std::string& name() const { return name_; }
  void set_name(std::string name) { name_ = std::move(name); }
  int32_t version() const { return version_; }
  void set_version(int32_t v) { version_ = v; }
  uint8_t result_type() const { return result_type_; }
  void set_result_type(uint8_t t) { result_type_ = t; }
  TMaskTable& masks() { return masks_; }
  const TMaskTable& masks() const { return masks_; }
  TComList& commands() { return commands_; }
  const TComList& commands() const { return commands_; }

private:
  std::string name_;
  int32_t version_ = kNewestPageVersion;
  uint8_t result_type_ = 1; // variable type code: 1 int, 2 float, 3 flag, 4 string
  TMaskTable masks_;
  TComList commands_;
};

} // namespace nova
