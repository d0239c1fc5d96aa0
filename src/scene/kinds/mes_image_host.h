// SPDX-License-Identifier: MIT
// The inline pictures (IMG tags) of a message box's text, through the image cache: measured
// from the first frame; a picture of several frames animates by its frames' display times.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "scene/kinds/image_list.h"
#include "text/text_host.h"

namespace nova {

class TCustomDIBX;
class TNovaBaseList;

class TMesImageHost final : public TextImageHost {
public:
  // `exists` tells whether a title file is there: the image cache answers a missing file with
  // a placeholder, but a missing inline picture takes no room. Pictures come from the cache of
  // `owner`'s services (none without an owner).
  TMesImageHost(const TNovaBaseList* owner, std::function<bool(const std::string&)> exists)
      : owner_(owner), exists_(std::move(exists)) {}
  TMesImageHost(const TMesImageHost&) = delete;
  TMesImageHost& operator=(const TMesImageHost&) = delete;

  bool Measure(const std::string& file_name, int& width, int& height) override;
  // Paints into the surface given last with SetTarget; nothing without one.
  void Paint(const std::string& file_name, int x, int y, int opacity) override;
  std::vector<int> FrameTimes(const std::string& file_name) override;
  void PaintFrame(const std::string& file_name, int frame, int x, int y, int opacity) override;
  void SetTarget(TCustomDIBX* target) { target_ = target; }
  // Drops every picture (the text changed or the surfaces go).
  void Clear() { pictures_.clear(); }

private:
  // The picture's frame list, loaded on first use; null for a picture that is not there.
  TNovaImageList* Picture(const std::string& file_name);
  // Frame `index` with a surface, or null.
  TNovaImageData* FrameOf(const std::string& file_name, int index);

  const TNovaBaseList* owner_;
  std::function<bool(const std::string&)> exists_;
  // Null for a picture that is not there.
  std::map<std::string, std::unique_ptr<TNovaImageList>> pictures_;
  TCustomDIBX* target_ = nullptr;
};

} // namespace nova
