// SPDX-License-Identifier: MIT
#include "script/command.h"

#include <algorithm>

namespace nova {
namespace {

class TRecordReader final : public TFieldVisitor {
public:
  TRecordReader(BinaryReader& r, int32_t version) : TFieldVisitor(version), r_(r) {}

  void Expr(const char*, TCommandExpr& e) override { e.Read(r_); }
  void ExprList(const char* key, std::vector<TCommandExpr>& list) override {
    int32_t count = r_.I32();
    r_.CheckCount(count, 4, key);
    list.assign(static_cast<size_t>(count), {});
    for (TCommandExpr& e : list)
      e.Read(r_);
  }
  void Str(const char*, std::string& s) override { s = r_.String(); }
  void Int(const char*, int32_t& v) override { v = r_.I32(); }
  void Target(const char*, int32_t& v, TTargetPage) override { v = r_.I32(); }
  void Byte(const char*, uint8_t& v) override { v = r_.U8(); }
  void Blob(const char*, std::string& bytes) override { bytes = r_.String(); }
  void Props(TPropExprs& props) override {
    for (auto& [id, e] : props.entries())
      e.Read(r_);
  }

private:
  BinaryReader& r_;
};

class TRecordWriter final : public TFieldVisitor {
public:
  TRecordWriter(BinaryWriter& w, int32_t version) : TFieldVisitor(version), w_(w) {}

  void Expr(const char*, TCommandExpr& e) override { e.Write(w_); }
  void ExprList(const char*, std::vector<TCommandExpr>& list) override {
    w_.I32(static_cast<int32_t>(list.size()));
    for (const TCommandExpr& e : list)
      e.Write(w_);
  }
  void Str(const char*, std::string& s) override { w_.String(s); }
  void Int(const char*, int32_t& v) override { w_.I32(v); }
  void Target(const char*, int32_t& v, TTargetPage) override { w_.I32(v); }
  void Byte(const char*, uint8_t& v) override { w_.U8(v); }
  void Blob(const char*, std::string& bytes) override { w_.String(bytes); }
  void Props(TPropExprs& props) override {
    for (const auto& [id, e] : props.entries())
      e.Write(w_);
  }

private:
  BinaryWriter& w_;
};

} // namespace

const TCommandExpr* TPropExprs::Find(int id) const {
  auto it = std::lower_bound(entries_.begin(), entries_.end(), id,
                             [](const Entry& e, int key) { return e.first < key; });
  return it != entries_.end() && it->first == id ? &it->second : nullptr;
}

TCommandExpr* TPropExprs::Find(int id) {
  return const_cast<TCommandExpr*>(std::as_const(*this).Find(id));
}

void TCommand::LoadRecord(BinaryReader& r, int32_t version) {
  header.indent = r.I32();
  header.skip = r.Bool();
  header.cont = r.Bool();
  header.line = r.I32();
  TRecordReader reader(r, version);
  Fields(reader);
}

void TCommand::SaveRecord(BinaryWriter& w, int32_t version) {
  w.U8(kind_byte);
  w.I32(header.indent);
  w.Bool(header.skip);
  w.Bool(header.cont);
  w.I32(header.line);
  TRecordWriter writer(w, version);
  Fields(writer);
}

} // namespace nova
