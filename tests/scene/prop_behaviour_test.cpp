// SPDX-License-Identifier: MIT
// Pins what GetProp answers for every kind and every property id: on a fresh component, after
// writing only that property, and after writing every property in id order. The answers live in
// prop_behaviour.txt; NOVA_UPDATE_FIXTURE=1 rewrites it from the current code.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "base/nova_error.h"
#include "scene/prop_table.h"
#include "scene_fixture.h"

namespace nova::test {
namespace {

const char* const kFixture = NOVA_SOURCE_DIR "/tests/scene/prop_behaviour.txt";

std::string Answer(TNovaObject& obj, int id) {
  try {
    return Describe(obj.GetProp(id));
  } catch (const ENovaError&) {
    return "throws";
  }
}

// A value unlike the default and unlike every other property's, so a getter wired to the
// wrong field shows.
TPropValue TestValue(TNovaObject& obj, int id) {
  switch (PropInfo(id).type) {
  case ptInt:
    return TPropValue::Int(10 + id);
  case ptReal:
    return TPropValue::Real(id + 0.5L);
  case ptFlag:
    return TPropValue::Flag(!obj.GetProp(id).f);
  case ptStr:
    return TPropValue::Str("s" + std::to_string(id));
  }
  return {};
}

// "" when the write went through, else what it raised.
std::string Write(TNovaObject& obj, int id) {
  try {
    obj.SetProp(id, TestValue(obj, id));
    return "";
  } catch (const ENovaError&) {
    return " (write throws)";
  }
}

// The scene also holds a box named as PR_PARENT's test value, so that write moves the component.
TNovaObject* Make(TNovaBaseList& list, uint8_t kind) {
  NewBox(list, "s1", 5, 6, 20, 10);
  TNovaObject* obj = CreateByKind(&list, kind);
  if (obj && obj->AsControl())
    obj->AsControl()->SetParent(list.Front());
  return obj;
}

std::string Table() {
  std::ostringstream out;
  for (uint8_t kind = 0; kind < kNovaKindCount; ++kind) {
    TNovaBaseList probe(64, 48);
    if (!Make(probe, kind))
      continue;
    TNovaBaseList all_list(64, 48);
    TNovaObject* all = Make(all_list, kind);
    std::string all_writes[kNovaPropCount];
    for (int id = 0; id < kNovaPropCount; ++id)
      all_writes[id] = Write(*all, id);
    for (int id = 0; id < kNovaPropCount; ++id) {
      TNovaBaseList list(64, 48);
      TNovaObject* alone = Make(list, kind);
      out << static_cast<int>(kind) << ' ' << PropInfo(id).name
          << (KindReads(kind, id) ? "" : " (not read)") << " | " << Answer(*alone, id);
      std::string alone_write = Write(*alone, id);
      out << " | " << Answer(*alone, id) << alone_write << " | " << Answer(*all, id)
          << all_writes[id] << '\n';
    }
  }
  return out.str();
}

TEST(PropBehaviour, EveryKindAnswersEveryPropertyAsPinned) {
  std::string now = Table();
  if (std::getenv("NOVA_UPDATE_FIXTURE")) {
    std::ofstream(kFixture, std::ios::binary) << now;
    GTEST_SKIP() << "rewrote " << kFixture;
  }
  std::ifstream in(kFixture, std::ios::binary);
  ASSERT_TRUE(in) << kFixture << " is missing; run with NOVA_UPDATE_FIXTURE=1";
  std::stringstream pinned;
  pinned << in.rdbuf();
  // Line by line, so a failure names the kind and property that changed.
  std::istringstream a(pinned.str()), b(now);
  std::string want, got;
  int line = 0, differences = 0;
  while (std::getline(a, want) && differences < 20) {
    ++line;
    if (!std::getline(b, got))
      got = "<missing>";
    if (want != got) {
      ++differences;
      ADD_FAILURE() << "line " << line << "\n  pinned: " << want << "\n  now:    " << got;
    }
  }
  EXPECT_EQ(pinned.str().size(), now.size());
}

// A property a kind honours needs a row that reads it, and a row that writes it when scripts may
// write it; a missing row would read zero and drop writes without a word.
TEST(PropBehaviour, EveryHonouredPropertyHasItsRows) {
  for (uint8_t kind = 0; kind < kNovaKindCount; ++kind) {
    TNovaBaseList list(64, 48);
    TNovaObject* obj = Make(list, kind);
    if (!obj)
      continue;
    const TPropTable& table = obj->PropTable();
    for (int id = 0; id < kNovaPropCount; ++id) {
      const bool writable = PropInfo(id).access == acRW && KindWrites(kind, id);
      EXPECT_TRUE(!KindReads(kind, id) || table.FindGet(id))
          << "kind " << int{kind} << " reads " << PropInfo(id).name << " without a row";
      EXPECT_TRUE(!writable || table.FindSet(id))
          << "kind " << int{kind} << " keeps " << PropInfo(id).name << " without a row";
    }
  }
}

} // namespace
} // namespace nova::test
