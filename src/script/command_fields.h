// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "script/command_expr.h"

namespace nova {

// The property expressions of a component-creating command: one per property id set in its
// page's mask entry, in ascending id order.
class TPropExprs {
public:
  using Entry = std::pair<int, TCommandExpr>;

  // The expression of a property id, or null when the command does not carry it.
  const TCommandExpr* Find(int id) const;
  TCommandExpr* Find(int id);
  std::vector<Entry>& entries() { return entries_; }
  const std::vector<Entry>& entries() const { return entries_; }

private:
  friend class TComponentCommand;
  std::vector<Entry> entries_;
};

// Where a command index field points.
enum class TTargetPage { Own, Named };

// Walks the fields of one command record in stored order. Loading, saving, and the text form
// are all visitors, so a record's layout is written down once, in its Fields().
class TFieldVisitor {
public:
  explicit TFieldVisitor(int32_t page_version) : version_(page_version) {}
  virtual ~TFieldVisitor() = default;

  int32_t version() const { return version_; }
  // True when the page version carries a field introduced in `first_version`.
  bool Since(int32_t first_version) const { return version_ >= first_version; }

  virtual void Expr(const char* key, TCommandExpr& e) = 0;
  // int32 count, then that many expressions.
  virtual void ExprList(const char* key, std::vector<TCommandExpr>& list) = 0;
  virtual void Str(const char* key, std::string& s) = 0;
  virtual void Int(const char* key, int32_t& v) = 0;
  // A command index: in the current page, or in the page named by the record.
  virtual void Target(const char* key, int32_t& v, TTargetPage page) = 0;
  virtual void Byte(const char* key, uint8_t& v) = 0;
  // int32 length, then raw bytes.
  virtual void Blob(const char* key, std::string& bytes) = 0;
  virtual void Props(TPropExprs& props) = 0;

private:
  int32_t version_;
};

} // namespace nova
