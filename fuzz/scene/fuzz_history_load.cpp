// SPDX-License-Identifier: MIT
// Message history records from save data: the first byte picks the data version and which
// record follows (history formats, the old default history, a box's message data, read marks,
// a whole message box).
// Loading must fail with ENovaError or succeed; what loaded must save and load again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/serializer.h"
#include "scene/component_factory.h"
#include "scene/kinds/nova_mes.h"
#include "scene/message_history.h"
#include "scene/message_read_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1)
    return 0;
  const int version = 95 + data[0] % 50;
  const int record = data[0] / 50;
  const std::span<const uint8_t> bytes(data + 1, size - 1);
  nova::BinaryWriter w;
  try {
    nova::BinaryReader r(bytes, "fuzz history");
    if (record == 0 || record == 1) {
      nova::TNovaHistoryFormatManager formats;
      // Record 1 is the default history alone, as games before the formats hold it.
      formats.Load(r, record == 0 ? version : std::min(version, 134));
      formats.Count("");
      formats.Default().History().SetMaxCount(2);
      formats.Commit("m");
      formats.Save(w);
      nova::TNovaHistoryFormatManager again;
      nova::BinaryReader r2(w.data(), "fuzz history again");
      again.Load(r2, 143);
    } else if (record == 2) {
      nova::TNovaNewMesData mes;
      nova::TSerializer load(r, version);
      mes.Sync(load);
      nova::TSerializer save(w);
      mes.Sync(save);
    } else if (record == 3) {
      nova::TNovaReadList reads;
      reads.Load(r, version);
      reads.Save(w);
    } else {
      // A box whose pages come back after the load, then live one frame. Drawing glyphs takes
      // time in size times outline squared, so only small text is drawn here.
      nova::TNovaBaseList scene(64, 48);
      auto* box = nova::CreateComponent<nova::TNovaMes>(&scene);
      box->Load(r, version);
      box->Save(w);
      const nova::ZpWordSettings& s = box->Engine().settings;
      const std::string& text = box->Markup();
      if (s.default_size > 64 || s.default_border > 4 || s.default_shadow > 4 ||
          text.find("SIZE") != std::string::npos || text.find("size") != std::string::npos)
        return 0;
      box->SetParent(scene.Front());
      nova::RefreshMessageBoxes(scene);
      scene.UpdateStep();
      scene.DrawStep();
    }
  } catch (const nova::ENovaError&) {
    return 0;
  }
  return 0;
}
