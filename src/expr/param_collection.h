// SPDX-License-Identifier: MIT
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "expr/db_manager.h"
#include "expr/expr_hosts.h"
#include "expr/params.h"

namespace nova {

class TNovaParser;

// One named variable of the table.
class TParamCollectionItem {
public:
  const std::string& Name() const { return name_; }
  TCustomParam* Value() const { return value_.get(); }
  uint8_t DataType() const { return value_ ? value_->DataType() : PT_NONE; }
  int32_t AsInt() const { return value_->AsInt(); }
  void SetInt(int32_t v) { value_->SetInt(v); }

  bool status = false;
  uint8_t reserved = 0;
  int32_t frame = -1;
  bool local = false;

  bool IsSystem() const { return system_index_ >= 0; }
  int SystemIndex() const { return system_index_; }
  // Changes whenever the item is destroyed, so that references can tell it is gone.
  uint32_t Serial() const { return serial_; }

private:
  friend class TParamCollection;
  std::string name_;
  std::unique_ptr<TCustomParam> value_;
  int system_index_ = -1;
  uint32_t serial_ = 1;
  bool alive_ = false;
  uint8_t bucket_ = 0;
  TParamCollectionItem* chain_prev_ = nullptr;
  TParamCollectionItem* chain_next_ = nullptr;
  TParamCollectionItem* order_prev_ = nullptr;
  TParamCollectionItem* order_next_ = nullptr;
};

// The table of every variable: system variables first, then user variables, temporaries and
// references, in creation order, hashed into 256 buckets by name.
class TParamCollection {
public:
  static constexpr int kSystemCount = 51;

  TParamCollection();
  ~TParamCollection();
  TParamCollection(const TParamCollection&) = delete;
  TParamCollection& operator=(const TParamCollection&) = delete;

  // Hosts of higher layers; set them once at start-up (any may stay null).
  TExprHosts& Hosts() { return hosts_; }

  // The call-stack depth, kept up to date by the call manager.
  int32_t current_frame = 0;

  // The variable an expression means by `name` (locals of the current frame first).
  TParamCollectionItem* Find(std::string_view name) const;
  TParamCollectionItem* FindForDeclare(std::string_view name, bool local) const;
  // A new unnamed global variable holding a new value of `type`.
  TParamCollectionItem* Add(uint8_t type);
  // Add, then SetName; nothing is left behind when the name is refused.
  TParamCollectionItem* AddNamed(uint8_t type, std::string_view name);
  // Renames (naming rule: non-empty, no space, no leading digit).
  void SetName(TParamCollectionItem* item, std::string_view name);
  // `VarNew`: declares or re-initialises; `init` may be null.
  void Declare(std::string_view name, uint8_t type, TVarScope scope, TNovaParser* init);
  void Delete(std::string_view name);
  void Destroy(TParamCollectionItem* item);
  void DestroyFrame(int32_t frame);
  // A standalone copy of the variable's value; null when not found.
  std::unique_ptr<TCustomParam> Clone(std::string_view name) const;
  void ResetAll();

  void PushVar(const std::vector<std::string>& names);
  void PopVar();
  size_t SnapshotCount() const { return snapshots_.size(); }

  void SaveMain(BinaryWriter& w) const;
  void LoadMain(BinaryReader& r, int32_t version);
  void SaveStatus(BinaryWriter& w) const;
  void LoadStatus(BinaryReader& r, int32_t version);

  // The six history-format integers of saves of versions 113..134, for the scene to apply.
  std::optional<std::array<int32_t, 6>> legacy_history_format;

  // The in-game tables; `ResetAll` removes the game tables among them.
  TDBManager tables;

  // Values stored for system variables.
  int32_t text_delay = 50;
  std::string cursor;
  std::string sel_str;
  int32_t sel_index = 0;
  std::string temp_name; // the name `@Temp` stands for

  TParamCollectionItem* System(int index) const { return system_[index]; }
  // Every live variable in creation order.
  template <typename F> void ForEach(F&& f) const {
    for (TParamCollectionItem* it = first_; it; it = it->order_next_)
      f(*it);
  }
  size_t ItemCount() const { return count_; }

  // Nesting depth of Execute, for the recursion bound of `Calc`.
  int32_t execute_depth = 0;
  // Temporaries of the running Executes, innermost last (each run removes its own).
  std::vector<std::pair<TParamCollectionItem*, uint32_t>> temp_stack;

private:
  void Hook(TParamCollectionItem* item);
  void Unhook(TParamCollectionItem* item);
  void WriteRecords(BinaryWriter& w, bool status) const;
  void ReadRecords(BinaryReader& r);
  void DestroyAllUser(bool keep_status);

  TExprHosts hosts_;
  std::array<TParamCollectionItem*, 256> buckets_{};
  std::array<TParamCollectionItem*, kSystemCount> system_{};
  TParamCollectionItem* first_ = nullptr;
  TParamCollectionItem* last_ = nullptr;
  size_t count_ = 0;
  // Every item ever made; destroyed ones wait in `free_` for reuse, so references and
  // temporaries never point at freed memory and steady-state runs allocate nothing.
  std::vector<std::unique_ptr<TParamCollectionItem>> storage_;
  std::vector<TParamCollectionItem*> free_;
  std::array<std::vector<std::unique_ptr<TCustomParam>>, 5> spare_values_;
  std::vector<std::vector<uint8_t>> snapshots_;
};

// Bucket of a name: (length * 16 + first byte + second-to-last byte) mod 256, lower-cased.
uint8_t NameHash(std::string_view name);

} // namespace nova
