// SPDX-License-Identifier: MIT
// The map image: a picture whose selectable areas come from a map file; the area under the
// pointer shows the hover picture instead.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "graphics/dibx.h"
#include "scene/kinds/image_list.h"
#include "scene/kinds/map_file.h"
#include "scene/kinds/selection_kind.h"
#include "scene/nova_control.h"

namespace nova {

class TNovaMapImage : public TSelectionKind<TNovaControl> {
public:
  explicit TNovaMapImage(TNovaBaseList* owner);
  ~TNovaMapImage() override;
  uint8_t GetKind() const override { return LT_MAPIMG; }

  int AreaCount() const { return static_cast<int>(areas_.size()); }
  const TMapArea& Area(int i) const { return areas_[static_cast<size_t>(i)]; }
  int32_t HoverArea() const { return hover_; }
  void SetHoverArea(int32_t i);
  void SelectArea();
  // The first area holding the point given in the picture's pixels, -1 when none.
  int32_t AreaAt(int32_t x, int32_t y) const;
  int32_t Phase() const { return phase_; }

  bool EventsSuppressed() const override { return closing_ != 0; }
  bool IsPaused() const override { return paused_ != 0; }
  const std::string& IdleHandler() const override { return on_idle_; }
  bool TakeRightClick() override;
  bool Update() override;
  void Draw() override;
  void MouseMove() override;
  void MouseOut(TNovaControl* next) override;
  void LButtonDown() override;
  void KeyRepeatEvent(const std::vector<std::string>& keys) override;
  void ReleaseSurfaces() override;
  void RestoreSurfaces() override;

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;
  bool AutoScrap() const override { return auto_scrap_ != 0; }

private:
  // Per frame: the frame's own mask as 8 bits, and the drawing mask built from it for an area.
  struct TFrameMask {
    std::unique_ptr<TDIBX> own, drawing;
    int32_t built_for = -2;
  };
  struct TPicture {
    std::string file;
    TNovaImageList list;
    std::vector<TFrameMask> masks;
  };
  void LoadPicture(TPicture& p, const std::string& file);
  void SetMapSource(const std::string& file);
  // Draws the current frame of `p` showing only the hover area (inside) or all but it.
  void DrawPicture(TPicture& p, bool inside);
  void ReportArea(int32_t i);
  void Cancel();

  TPicture source_, hover_pic_;
  std::string map_source_;
  std::vector<TMapArea> areas_;
  int32_t hover_ = -1;
  int32_t alpha_ = 255, brightness_ = 0;
  uint8_t auto_scrap_ = 0, rclick_scrap_ = 0, paused_ = 0;
  std::string on_select_, on_map_in_, on_map_out_, on_idle_;
  int32_t phase_ = 0;
  uint8_t closing_ = 0;
};

} // namespace nova
