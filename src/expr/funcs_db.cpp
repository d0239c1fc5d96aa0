// SPDX-License-Identifier: MIT
// Built-in functions on the in-game tables. Each answers its failure value (FALSE, 0, 0.0, -1
// or the empty string) and changes nothing when the table, record or field it needs is missing.
#include <algorithm>

#include "base/sjis.h"
#include "expr/db_manager.h"
#include "expr/db_tsv.h"
#include "expr/param_collection.h"
#include "expr/private/func_call.h"
#include "vfs/vr_file_manager.h"

namespace nova {

namespace {

enum : uint8_t {
  fnDBCreateTable = 87,
  fnDBSetActive,
  fnDBAddField,
  fnDBSetRecNo,
  fnDBInsert,
  fnDBDelete,
  fnDBGetInt,
  fnDBSetInt,
  fnDBGetFloat,
  fnDBSetFloat,
  fnDBGetBool,
  fnDBSetBool,
  fnDBGetStr,
  fnDBSetStr,
  fnDBRecordCount,
  fnDBFindFirst,
  fnDBFindLast,
  fnDBFindNext,
  fnDBFindPrior,
  fnDBLocate,
  fnDBLoadTsvFile,
  fnDBDirectGetInt,
  fnDBDirectSetInt,
  fnDBDirectGetFloat,
  fnDBDirectSetFloat,
  fnDBDirectGetBool,
  fnDBDirectSetBool,
  fnDBDirectGetStr,
  fnDBDirectSetStr,
  fnDBCopyTable,
  fnDBDeleteTable,
  fnDBInsertTable,
  fnDBCopy,
  fnDBClearTable,
  fnDBSort,
  fnDBGetActive,
  fnDBGetRecNo,
  fnDBClearRecord,
  fnDBGetTableCount = 159,
  fnDBGetTable = 160,
};

// The value type a Get/Set function of the DB family works in (id pairs in the order int,
// real, flag, string).
uint8_t AccessType(uint8_t id, uint8_t first) {
  return static_cast<uint8_t>(PT_INT + (id - first) / 2);
}

void ReadInto(const TDBField& f, const uint8_t* rec, uint8_t type, TCustomParam& dest) {
  switch (type) {
  case PT_INT:
    dest.SetInt(f.ReadInt(rec));
    break;
  case PT_FLOAT:
    dest.SetReal(f.ReadReal(rec));
    break;
  case PT_BOOL:
    dest.SetFlag(f.ReadFlag(rec));
    break;
  default:
    dest.SetStr(f.ReadStr(rec));
  }
}

// The default argument of a DBDirectGet function, in that function's type.
void WriteDefault(const TFuncCall& c, uint8_t type) {
  switch (type) {
  case PT_INT:
    c.dest.SetInt(c.Int(6));
    break;
  case PT_FLOAT:
    c.dest.SetReal(c.Real(6));
    break;
  case PT_BOOL:
    c.dest.SetFlag(c.Flag(6));
    break;
  default:
    c.dest.SetStr(c.Str(6));
  }
}

void WriteFrom(const TDBField& f, uint8_t* rec, uint8_t type, const TCustomParam& v) {
  switch (type) {
  case PT_INT:
    f.WriteInt(rec, v.AsInt());
    break;
  case PT_FLOAT:
    f.WriteReal(rec, v.AsReal());
    break;
  case PT_BOOL:
    f.WriteFlag(rec, v.AsFlag());
    break;
  case PT_STR:
    f.WriteStr(rec, v.AsStr());
    break;
  default:
    break;
  }
}

// The selection given by arguments first (names), first + 1 (values), then the optional
// ignore-case and partial flags. Without names or values every record is picked.
TDBSelection MakeSelection(const TDBTable& t, const TFuncCall& c, size_t first) {
  TDBSelection sel;
  if (!c.Has(first + 1))
    return sel;
  sel.ignore_case = c.Has(first + 2) && c.Flag(first + 2);
  sel.partial = c.Has(first + 3) && c.Flag(first + 3);
  const TCustomParam& names = c.A(first);
  const TCustomParam& values = c.A(first + 1);
  const int32_t n = std::min(names.Count(), values.Count());
  const uint8_t type = values.DataType();
  for (int32_t i = 0; i < n; ++i) {
    TDBCondition cond;
    cond.field = t.Fields().IndexOf(names.StrAt(i));
    cond.type = type;
    switch (type) {
    case PT_INT:
      cond.i = values.IntAt(i);
      break;
    case PT_FLOAT:
      cond.r = values.RealAt(i);
      break;
    case PT_BOOL:
      cond.b = values.FlagAt(i);
      break;
    default:
      cond.type = PT_STR;
      cond.s = values.StrAt(i);
      if (sel.ignore_case)
        cond.s = UpperCaseJ(cond.s);
    }
    sel.conditions.push_back(std::move(cond));
  }
  return sel;
}

bool CreateTable(TDBManager& db, const TFuncCall& c) {
  std::string name = c.Str(0);
  if (name.empty())
    return false;
  const bool status = c.Flag(1);
  if (const int32_t i = db.IndexOf(name); i >= 0) {
    db.SetCurrent(i);
    if (!status)
      db.At(i).ClearAll();
  } else {
    db.Append(std::move(name), status);
  }
  return true;
}

bool SetActive(TDBManager& db, const TFuncCall& c) {
  const int32_t i = db.IndexOf(c.Str(0));
  if (i >= 0)
    db.SetCurrent(i);
  return i >= 0;
}

bool SetRecNo(TDBTable& t, int32_t index) {
  if (index >= t.RecordCount())
    return false;
  t.current = index < 0 ? -1 : index;
  return true;
}

void Insert(TDBTable& t, const TFuncCall& c) {
  if (!t.AppendRecord()) {
    c.dest.SetFlag(false);
    return;
  }
  t.current = t.RecordCount() - 1;
  uint8_t* rec = t.Record(t.current);
  const size_t n = std::min(c.Count(), static_cast<size_t>(t.Fields().Count()));
  for (size_t i = 0; i < n; ++i)
    WriteFrom(t.Fields()[static_cast<int32_t>(i)], rec, c.A(i).DataType(), c.A(i));
  c.dest.SetFlag(true);
}

void Delete(TDBTable& t) {
  if (!t.HasCurrent())
    return;
  t.DeleteRecord(t.current);
  if (t.current >= t.RecordCount())
    t.current = t.RecordCount() - 1;
}

bool Move(TDBTable& t, uint8_t id) {
  const int32_t n = t.RecordCount();
  switch (id) {
  case fnDBFindFirst:
  case fnDBFindLast:
    if (n == 0)
      return false;
    t.current = id == fnDBFindFirst ? 0 : n - 1;
    return true;
  case fnDBFindNext:
    if (!t.HasCurrent() || t.current >= n - 1)
      return false;
    ++t.current;
    return true;
  default:
    if (!t.HasCurrent() || t.current == 0)
      return false;
    --t.current;
    return true;
  }
}

void DirectGet(TDBManager& db, const TFuncCall& c) {
  const uint8_t type = AccessType(c.id, fnDBDirectGetInt);
  TDBTable* t = db.Find(c.Str(0));
  const TDBField* f = t ? t->Fields().Find(c.Str(5)) : nullptr;
  const int32_t rec = f ? t->SelectFirst(MakeSelection(*t, c, 1)) : -1;
  if (rec < 0) {
    WriteDefault(c, type);
    return;
  }
  ReadInto(*f, t->Record(rec), type, c.dest);
}

bool DirectSet(TDBManager& db, const TFuncCall& c) {
  const uint8_t type = AccessType(c.id, fnDBDirectGetInt);
  TDBTable* t = db.Find(c.Str(0));
  const TDBField* f = t ? t->Fields().Find(c.Str(5)) : nullptr;
  const int32_t rec = f ? t->SelectFirst(MakeSelection(*t, c, 1)) : -1;
  if (rec < 0)
    return false;
  WriteFrom(*f, t->Record(rec), type, c.A(6));
  return true;
}

bool CopyTable(TDBManager& db, TDBTable& current, const TFuncCall& c) {
  TDBTable* dest = db.Find(c.Str(0));
  if (!dest || dest == &current)
    return false;
  dest->CopyFieldsFrom(current);
  for (int32_t i : current.Select(MakeSelection(current, c, 1))) {
    if (!dest->AppendRecord(current.Record(i)))
      break;
    dest->current = dest->RecordCount() - 1;
  }
  return true;
}

bool InsertTable(TDBManager& db, TDBTable& current, const TFuncCall& c) {
  TDBTable* source = db.Find(c.Str(0));
  if (!source || !source->Fields().SameAs(current.Fields()))
    return false;
  // The selection is taken first, so a table may insert from itself.
  for (int32_t i : source->Select(MakeSelection(*source, c, 1))) {
    if (!current.AppendRecord(source->Record(i)))
      break;
    current.current = current.RecordCount() - 1;
  }
  return true;
}

bool CopyRecord(TDBManager& db, TDBTable& current, const TFuncCall& c) {
  TDBTable* dest = db.Find(c.Str(0));
  if (!current.HasCurrent() || !dest || !dest->Fields().SameAs(current.Fields()))
    return false;
  const int32_t rec = current.current;
  const std::vector<uint8_t> bytes(current.Record(rec),
                                   current.Record(rec) + current.Fields().RecordSize());
  if (!dest->AppendRecord(bytes.data()))
    return false;
  dest->current = dest->RecordCount() - 1;
  return true;
}

bool Sort(TDBTable& t, const TFuncCall& c) {
  if (c.Count() < 2)
    return false;
  const TCustomParam &names = c.A(0), &descending = c.A(1);
  const int32_t n = std::min(names.Count(), descending.Count());
  std::vector<TDBSortKey> keys;
  for (int32_t i = 0; i < n; ++i) {
    if (const int32_t field = t.Fields().IndexOf(names.StrAt(i)); field >= 0)
      keys.push_back({field, descending.FlagAt(i)});
  }
  t.Sort(keys);
  return true;
}

bool DeleteTable(TDBManager& db, const TFuncCall& c) {
  const int32_t i = c.Has(0) ? db.IndexOf(c.Str(0)) : db.CurrentIndex();
  if (i >= 0 && i < db.Count())
    db.Remove(i);
  return false;
}

bool GetTable(TDBManager& db, const TFuncCall& c) {
  const int32_t i = c.Int(0);
  if (c.Count() < 2 || i < 0 || i >= db.Count())
    return false;
  c.A(1).SetStr(db.At(i).Name());
  if (c.Has(2))
    c.A(2).SetFlag(db.At(i).Status());
  return true;
}

bool LoadTsvFile(TDBTable& t, const std::string& name) {
  TVrFileManager& vfs = FileManager();
  if (name.empty() || !vfs.Exists(name))
    return false;
  const TMemoryStream data = vfs.Load(name);
  const std::span<const uint8_t> bytes = data.Bytes();
  if (bytes.empty())
    return false;
  return LoadTsv(t, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// Functions that work on the current table; `t` is it.
void CallOnCurrent(TDBManager& db, TDBTable& t, const TFuncCall& c) {
  TCustomParam& dest = c.dest;
  switch (c.id) {
  case fnDBAddField:
    dest.SetFlag(t.AddField(c.Str(0), static_cast<uint8_t>(std::clamp(c.Int(1), 0, 255)),
                            c.Has(2) ? c.Int(2) : 0));
    break;
  case fnDBSetRecNo:
    dest.SetFlag(SetRecNo(t, c.Int(0)));
    break;
  case fnDBInsert:
    Insert(t, c);
    break;
  case fnDBDelete:
    Delete(t);
    break;
  case fnDBGetInt:
  case fnDBGetFloat:
  case fnDBGetBool:
  case fnDBGetStr:
    if (const TDBField* f = t.Fields().Find(c.Str(0)); f && t.HasCurrent())
      ReadInto(*f, t.Record(t.current), AccessType(c.id, fnDBGetInt), dest);
    break;
  case fnDBSetInt:
  case fnDBSetFloat:
  case fnDBSetBool:
  case fnDBSetStr: {
    const TDBField* f = t.Fields().Find(c.Str(0));
    if (f && t.HasCurrent())
      WriteFrom(*f, t.Record(t.current), AccessType(c.id, fnDBGetInt), c.A(1));
    dest.SetFlag(f && t.HasCurrent());
    break;
  }
  case fnDBFindFirst:
  case fnDBFindLast:
  case fnDBFindNext:
  case fnDBFindPrior:
    dest.SetFlag(Move(t, c.id));
    break;
  case fnDBLocate: {
    const int32_t rec = t.SelectFirst(MakeSelection(t, c, 0));
    if (rec >= 0)
      t.current = rec;
    dest.SetFlag(rec >= 0);
    break;
  }
  case fnDBLoadTsvFile:
    dest.SetFlag(LoadTsvFile(t, c.Str(0)));
    break;
  case fnDBCopyTable:
    dest.SetFlag(CopyTable(db, t, c));
    break;
  case fnDBInsertTable:
    dest.SetFlag(InsertTable(db, t, c));
    break;
  case fnDBCopy:
    dest.SetFlag(CopyRecord(db, t, c));
    break;
  case fnDBSort:
    dest.SetFlag(Sort(t, c));
    break;
  case fnDBGetActive:
    dest.SetStr(t.Name());
    break;
  default:
    break;
  }
}

} // namespace

bool CallDbFunc(const TFuncCall& c) {
  if (!((c.id >= fnDBCreateTable && c.id <= fnDBClearRecord) || c.id == fnDBGetTableCount ||
        c.id == fnDBGetTable))
    return false;
  TDBManager& db = c.vars.tables;
  TCustomParam& dest = c.dest;
  switch (c.id) {
  case fnDBCreateTable:
    dest.SetFlag(CreateTable(db, c));
    return true;
  case fnDBSetActive:
    dest.SetFlag(SetActive(db, c));
    return true;
  case fnDBRecordCount: {
    const TDBTable* t = c.Has(0) ? db.Find(c.Str(0)) : db.Current();
    dest.SetInt(t ? t->RecordCount() : -1);
    return true;
  }
  case fnDBDirectGetInt:
  case fnDBDirectGetFloat:
  case fnDBDirectGetBool:
  case fnDBDirectGetStr:
    DirectGet(db, c);
    return true;
  case fnDBDirectSetInt:
  case fnDBDirectSetFloat:
  case fnDBDirectSetBool:
  case fnDBDirectSetStr:
    dest.SetFlag(DirectSet(db, c));
    return true;
  case fnDBDeleteTable:
    dest.SetFlag(DeleteTable(db, c));
    return true;
  case fnDBClearTable:
    db.Clear();
    dest.SetFlag(false);
    return true;
  case fnDBClearRecord: {
    TDBTable* t = c.Has(0) ? db.Find(c.Str(0)) : db.Current();
    if (t)
      t->ClearRecords();
    dest.SetFlag(t != nullptr);
    return true;
  }
  case fnDBGetTableCount:
    dest.SetInt(db.Count());
    return true;
  case fnDBGetRecNo: {
    const TDBTable* t = db.Current();
    dest.SetInt(t && t->HasCurrent() ? t->current : -1);
    return true;
  }
  case fnDBGetTable:
    dest.SetFlag(GetTable(db, c));
    return true;
  default:
    break;
  }
  if (TDBTable* t = db.Current())
    CallOnCurrent(db, *t, c);
  return true;
}

} // namespace nova
