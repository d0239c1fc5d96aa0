// SPDX-License-Identifier: MIT
// The inline pictures (IMG tags) of a message box's text: measured from and painted with the
// first frame of the picture through the image cache.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "scene/kinds/image_list.h"
#include "text/text_host.h"

namespace nova {

class TCustomDIBX;

class TMesImageHost final : public TextImageHost {
public:
  // `exists` tells whether a title file is there: the image cache answers a missing file with
  // a placeholder, but a missing inline picture takes no room.
  explicit TMesImageHost(std::function<bool(const std::string&)> exists)
      : exists_(std::move(exists)) {}
  TMesImageHost(const TMesImageHost&) = delete;
  TMesImageHost& operator=(const TMesImageHost&) = delete;

  bool Measure(const std::string& file_name, int& width, int& height) override;
  // Paints into the surface given last with SetTarget; nothing without one.
  void Paint(const std::string& file_name, int x, int y, int opacity) override;
  void SetTarget(TCustomDIBX* target) { target_ = target; }
  // Drops every picture (the text changed or the surfaces go).
  void Clear() { pictures_.clear(); }

private:
  TNovaImageData* FirstFrame(const std::string& file_name);

  std::function<bool(const std::string&)> exists_;
  // Null for a picture that is not there.
  std::map<std::string, std::unique_ptr<TNovaImageList>> pictures_;
  TCustomDIBX* target_ = nullptr;
};

} // namespace nova
