// SPDX-License-Identifier: MIT
// Message boxes in a scene whose text insert commands come from markup the test gives.
#pragma once
#include <map>
#include <string>
#include <utility>

#include "scene/component_factory.h"
#include "scene/kinds/nova_mes.h"
#include "scene/message_records.h"
#include "scene/nova_base_list.h"
#include "text/zpword.h"

namespace nova::test {

// Pages of text insert commands: (page, command index) -> markup.
class TFakeTextSource : public ITextCommandSource {
public:
  explicit TFakeTextSource(std::map<std::pair<std::string, int32_t>, std::string> texts)
      : texts_(std::move(texts)) {}
  bool PageExists(const std::string& page) override {
    for (const auto& [key, text] : texts_)
      if (key.first == page)
        return true;
    return false;
  }
  std::optional<std::string> TextCommandStream(const std::string& page, int32_t index) override {
    ++loads;
    auto it = texts_.find({page, index});
    if (it == texts_.end())
      return std::nullopt;
    const std::vector<uint8_t> stream = MarkupToGlyphStream(it->second);
    return std::string(stream.begin(), stream.end());
  }
  int loads = 0;

private:
  std::map<std::pair<std::string, int32_t>, std::string> texts_;
};

inline TNovaMes* NewMes(TNovaBaseList& list, const std::string& name, int w, int h) {
  auto* box = CreateComponent<TNovaMes>(&list);
  box->SetName(name);
  box->SetParent(list.Front());
  box->SetProp(PR_WIDTH, TPropValue::Int(w));
  box->SetProp(PR_HEIGHT, TPropValue::Int(h));
  box->SetProp(PR_FONTHEIGHT, TPropValue::Int(10));
  return box;
}

} // namespace nova::test
