// SPDX-License-Identifier: MIT
// One description saves and loads: version gates, counted lists and byte blocks, and counts
// that the data cannot hold.
#include "base/serializer.h"

#include <gtest/gtest.h>

#include "base/nova_error.h"

namespace nova {
namespace {

struct TItem {
  int32_t id = 0;
  std::string name;
};

struct TRecord {
  int32_t a = 1;
  int32_t added = -1; // since 110
  std::vector<TItem> items;
  std::vector<std::string> names;
  std::vector<uint8_t> bytes;

  void Sync(TSerializer& s) {
    s.I32(a);
    s.I32(added, Since{110});
    s.List(items, 4 + 4, "item count", [&s](TItem& i) {
      s.I32(i.id);
      s.String(i.name);
    });
    s.StringList(names);
    s.Bytes(bytes, "byte count", Since{120});
  }
};

std::vector<uint8_t> Saved(TRecord record) {
  BinaryWriter w;
  TSerializer s(w);
  record.Sync(s);
  return w.Take();
}

TRecord Loaded(const std::vector<uint8_t>& bytes, int version) {
  BinaryReader r(bytes, "record");
  TSerializer s(r, version);
  TRecord record;
  record.Sync(s);
  EXPECT_TRUE(r.at_end()) << version;
  return record;
}

TEST(Serializer, SavesTheNewestFormAndLoadsOlderOnes) {
  const TRecord full{7, 8, {{1, "x"}, {2, "yz"}}, {"n"}, {9, 9, 9}};
  const std::vector<uint8_t> saved = Saved(full);
  const TRecord back = Loaded(saved, 143);
  EXPECT_EQ(back.added, 8);
  ASSERT_EQ(back.items.size(), 2u);
  EXPECT_EQ(back.items[1].name, "yz");
  EXPECT_EQ(back.names, full.names);
  EXPECT_EQ(back.bytes, full.bytes);
  EXPECT_EQ(Saved(back), saved);

  // Version 100 has neither the gated number nor the bytes; those fields keep their defaults.
  BinaryWriter w;
  w.I32(7);
  w.I32(1);
  w.I32(3);
  w.String("q");
  w.StringList({});
  const TRecord old = Loaded(w.Take(), 100);
  EXPECT_EQ(old.added, -1);
  ASSERT_EQ(old.items.size(), 1u);
  EXPECT_EQ(old.items[0].id, 3);
  EXPECT_TRUE(old.bytes.empty());
}

TEST(Serializer, RefusesCountsTheDataCannotHold) {
  for (int32_t claimed : {-1, 2, 0x7FFFFFFF}) {
    BinaryWriter w;
    w.I32(7);
    w.I32(claimed); // items, with the bytes of one item only
    w.I32(3);
    w.String("");
    BinaryReader r(w.data(), "record");
    TSerializer s(r, 100);
    TRecord record;
    EXPECT_THROW(record.Sync(s), ENovaError) << claimed;
  }
  BinaryWriter w;
  w.I32(7);
  w.I32(0);
  w.I32(0);
  w.I32(0);
  w.I32(1000); // a byte block longer than what follows
  w.U8(1);
  BinaryReader r(w.data(), "record");
  TSerializer s(r, 143);
  TRecord record;
  EXPECT_THROW(record.Sync(s), ENovaError);
}

} // namespace
} // namespace nova
