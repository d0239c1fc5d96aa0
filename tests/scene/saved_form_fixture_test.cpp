// SPDX-License-Identifier: MIT
// The saved form of a scene that holds every kind, each with a value unlike its start value in
// every property it stores, kept as bytes (fixtures/every_kind_scene*.bin, made once by this test
// with NOVA_UPDATE_FIXTURE=1 and then left alone): a change to how any kind saves or loads shows
// here as a byte difference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "scene/prop_table.h"
#include "scene_fixture.h"

namespace nova::test {
namespace {

constexpr int kNewest = 143;

std::filesystem::path FixturePath(const char* name) {
  return std::filesystem::path(NOVA_SOURCE_DIR) / "tests/scene/fixtures" / name;
}

// Names and parents are set apart; every other stored property takes a value that depends on
// the property and the kind, unlike its start value.
void SetEveryProperty(TNovaObject& obj, int n) {
  const uint8_t kind = obj.GetKind();
  // The source last: some kinds take their size from it.
  std::vector<int> ids;
  for (int id = 0; id < 170; ++id)
    if (id != PR_SOURCE)
      ids.push_back(id);
  ids.push_back(PR_SOURCE);
  for (int id : ids) {
    if (id == PR_NAME || id == PR_PARENT || !KindWrites(kind, id))
      continue;
    const TPropInfo& info = PropInfo(id);
    if (info.access != acRW)
      continue;
    // Muted or rewound on load, a sound or film loads with volume or position 0 instead of the
    // saved one.
    if (id == PR_MUTEONLOAD || id == PR_REWINDONLOAD) {
      obj.SetProp(id, TPropValue::Flag(false));
      continue;
    }
    try {
      switch (info.type) {
      case ptInt:
        obj.SetProp(id, TPropValue::Int(obj.GetProp(id).AsInt() + 1 + (id + n) % 5));
        break;
      case ptReal:
        obj.SetProp(id, TPropValue::Real(0.25L + id / 8.0L));
        break;
      case ptFlag:
        obj.SetProp(id, TPropValue::Flag(!obj.GetProp(id).AsInt()));
        break;
      case ptStr:
        obj.SetProp(id, TPropValue::Str("v" + std::to_string(id) + "_" + std::to_string(n)));
        break;
      }
    } catch (const ENovaError&) {
      // A value the property refuses (a file that is not there) leaves it as it was.
    }
  }
}

std::vector<uint8_t> EveryKindScene() {
  TNovaBaseList list(320, 240);
  auto* holder = NewBox(list, "holder", 1, 2, 300, 200);
  AddEveryKind(list, holder, [](TNovaObject* obj, int n) {
    obj->SetName("k" + std::to_string(obj->GetKind()));
    SetEveryProperty(*obj, n);
  });
  // At rest: kinds that size themselves from their content have done so, and the events of
  // the update are gone.
  list.UpdateStep();
  list.Events().Clear();
  list.Events().Queue(holder, "h:L", {"1", "two"}, PR_ONLBTNDOWN);
  BinaryWriter w;
  list.SaveScene(w);
  return w.Take();
}

std::vector<uint8_t> ReadFixture(const char* name) {
  std::ifstream in(FixturePath(name), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFixture(const char* name, const std::vector<uint8_t>& bytes) {
  std::ofstream(FixturePath(name), std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// Loaded as a game load does (message boxes take their pages back), then saved again.
std::vector<uint8_t> Reloaded(const std::vector<uint8_t>& bytes) {
  TNovaBaseList loaded(10, 10);
  BinaryReader r(bytes, "every_kind_scene.bin");
  loaded.LoadScene(r, kNewest);
  EXPECT_TRUE(r.at_end());
  RefreshMessageBoxes(loaded);
  BinaryWriter w;
  loaded.SaveScene(w);
  return w.Take();
}

// Where two saved forms part, for the failure message.
size_t FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  return static_cast<size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first -
                             a.begin());
}

// The saved bytes of the scene, and those of the scene loaded from them and saved again: loading
// settles some values (a paused menu lays itself out, a film in its fade-out plays on), so the
// second form is kept too, and it must load and save as itself.
TEST(SavedFormFixture, EveryKindSavesAndLoadsTheKeptBytes) {
  const std::vector<uint8_t> saved = EveryKindScene();
  const std::vector<uint8_t> reloaded = Reloaded(saved);
  if (std::getenv("NOVA_UPDATE_FIXTURE")) {
    WriteFixture("every_kind_scene.bin", saved);
    WriteFixture("every_kind_scene_reloaded.bin", reloaded);
    GTEST_SKIP() << "wrote the fixtures";
  }
  const std::vector<uint8_t> kept = ReadFixture("every_kind_scene.bin");
  const std::vector<uint8_t> kept_reloaded = ReadFixture("every_kind_scene_reloaded.bin");
  ASSERT_FALSE(kept.empty() || kept_reloaded.empty()) << FixturePath("");
  EXPECT_EQ(saved, kept) << "saved differently from byte " << FirstDifference(saved, kept);
  const std::vector<uint8_t> kept_again = Reloaded(kept);
  EXPECT_EQ(kept_again, kept_reloaded)
      << "loaded differently from byte " << FirstDifference(kept_again, kept_reloaded);
  const std::vector<uint8_t> settled = Reloaded(kept_reloaded);
  EXPECT_EQ(settled, kept_reloaded)
      << "a settled scene saves differently from byte " << FirstDifference(settled, kept_reloaded);
}

} // namespace
} // namespace nova::test
