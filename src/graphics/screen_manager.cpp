// SPDX-License-Identifier: MIT
#include "graphics/screen_manager.h"

#include <algorithm>

#include "graphics/dibx.h"

namespace nova {

TModeList ListModes(std::span<const TScreenMode> offered, int scene_width, int scene_height,
                    int preferred_width, int preferred_height, int preferred_bits) {
  TModeList out;
  for (const TScreenMode& m : offered) {
    if (m.width < scene_width || m.height < scene_height || m.bit_count <= 15)
      continue;
    out.modes.push_back(m);
    const int index = static_cast<int>(out.modes.size()) - 1;
    if (out.chosen < 0) {
      out.chosen = index;
      continue;
    }
    const TScreenMode& c = out.modes[static_cast<size_t>(out.chosen)];
    const bool new_size = m.width == preferred_width && m.height == preferred_height;
    const bool cur_size = c.width == preferred_width && c.height == preferred_height;
    if (!new_size)
      continue;
    if (!cur_size ||
        (m.bit_count == preferred_bits && (c.bit_count != preferred_bits || m.refresh < c.refresh)))
      out.chosen = index;
  }
  return out;
}

int BackSurfaceBits(const TDisplayFormat& format, bool full_screen) {
  if (!full_screen) {
    if (format.bit_count == 16 && format.is_555)
      return 15;
    return format.bit_count > 16 ? 32 : 16;
  }
  if (format.bit_count < 16 || (format.bit_count == 16 && format.is_555))
    return 15;
  return format.bit_count == 16 ? 16 : 32;
}

std::vector<TScreenBlit> PresentBlits(std::span<const TScreenRect> changed, int width, int height,
                                      int zoom_percent) {
  std::vector<TScreenBlit> out;
  const TScreenRect whole{0, 0, width, height};
  if (zoom_percent % 100 != 0) {
    const int64_t z = zoom_percent;
    out.push_back({TScreenRect{0, 0, static_cast<int32_t>(width * z / 100),
                               static_cast<int32_t>(height * z / 100)},
                   whole});
    return out;
  }
  const int64_t z = zoom_percent;
  for (const TScreenRect& r : changed) {
    // Clamped to the surface: the rectangles come from the scene's arithmetic.
    TScreenRect s{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, width),
                  std::min(r.Bottom, height)};
    if (s.Empty())
      continue;
    out.push_back(
        {TScreenRect{static_cast<int32_t>(s.Left * z / 100), static_cast<int32_t>(s.Top * z / 100),
                     static_cast<int32_t>(s.Right * z / 100),
                     static_cast<int32_t>(s.Bottom * z / 100)},
         s});
  }
  return out;
}

TScreenManager::TScreenManager(IScreenDisplay* display, int preferred_width, int preferred_height,
                               int scene_width, int scene_height)
    : display_(display), scene_width_(scene_width), scene_height_(scene_height),
      preferred_width_(preferred_width), preferred_height_(preferred_height) {
  if (display_) {
    preferred_bits_ = display_->CurrentFormat().bit_count;
    const std::vector<TScreenMode> offered = display_->DisplayModes();
    TModeList list = ListModes(offered, scene_width, scene_height, preferred_width,
                               preferred_height, preferred_bits_);
    modes_ = std::move(list.modes);
    chosen_ = list.chosen;
  }
  current_ = -2;
  SetMode(-1);
}

TScreenManager::~TScreenManager() = default;

TScreenMode TScreenManager::Mode(int index) const {
  if (index < 0 || index >= ModeCount())
    return {};
  return modes_[static_cast<size_t>(index)];
}

int TScreenManager::BitCount() const { return back_ ? back_->BitCount() : 32; }

void TScreenManager::SelectMode(int index) {
  if (index < 0 || index >= ModeCount())
    return;
  chosen_ = index;
  title_selected_ = true;
}

void TScreenManager::SetMode(int index) {
  // An index outside the list means the window; asking for the mode already set keeps the back
  // surface, which the scene still draws into.
  if (index < -1 || index >= ModeCount())
    index = -1;
  if (index == current_)
    return;
  const bool was_full = current_ >= 0;
  current_ = index;
  if (was_full != (index >= 0))
    back_.reset();
  Setup();
}

void TScreenManager::Setup() {
  back_.reset();
  full_screen_ = false;
  if (!display_) {
    current_ = -1;
    back_ = std::make_unique<TDIBX>(scene_width_, scene_height_, 16);
    return;
  }
  if (current_ >= 0) {
    const TScreenMode* mode = title_selected_ ? &modes_[static_cast<size_t>(current_)] : nullptr;
    if (display_->SetFullScreen(true, mode)) {
      full_screen_ = true;
      back_ = std::make_unique<TDIBX>(scene_width_, scene_height_, FullScreenBits());
      return;
    }
    // The display refused: back to the window.
    current_ = -1;
  }
  display_->SetFullScreen(false, nullptr);
  back_ = std::make_unique<TDIBX>(scene_width_, scene_height_,
                                  BackSurfaceBits(display_->CurrentFormat(), false));
}

int TScreenManager::FullScreenBits() const {
  // A mode the title chose sets the display's depth: its bit count decides, as the display's
  // own format does otherwise (a 16-bit mode is 5-6-5).
  if (title_selected_ && chosen_ >= 0 && chosen_ < ModeCount())
    return BackSurfaceBits({modes_[static_cast<size_t>(chosen_)].bit_count, false}, true);
  return BackSurfaceBits(display_->CurrentFormat(), true);
}

void TScreenManager::Release() {
  back_.reset();
  current_ = -2;
  full_screen_ = false;
}

void TScreenManager::Restore(bool full_screen) {
  if (back_)
    return;
  full_screen_ = full_screen && display_;
  current_ = full_screen_ ? std::max(chosen_, 0) : -1;
  const int bits = !display_      ? 16
                   : full_screen_ ? FullScreenBits()
                                  : BackSurfaceBits(display_->CurrentFormat(), false);
  back_ = std::make_unique<TDIBX>(scene_width_, scene_height_, bits);
}

TScreenPixels TScreenManager::Pixels() const {
  TScreenPixels p;
  if (!back_ || back_->IsEmpty())
    return p;
  p.row0 = back_->PixelAddress(0, 0);
  p.width = back_->Width();
  p.height = back_->Height();
  p.pitch_bytes = back_->Pitch();
  p.bit_count = back_->BitCount();
  back_->ReleasePixels();
  return p;
}

void TScreenManager::Present(IScreenScene& scene, int zoom_percent) {
  if (!back_ || back_->IsEmpty())
    return;
  std::vector<TScreenRect> changed;
  const TScreenRect transition = scene.TransitionRect();
  if (!transition.Empty()) {
    changed.push_back(transition);
  } else {
    changed = scene.ChangedRects();
  }
  const std::vector<TScreenBlit> blits =
      PresentBlits(changed, back_->Width(), back_->Height(), zoom_percent);
  if (display_ && !blits.empty())
    display_->Present(Pixels(), blits);
  ++presented_frames_;
  scene.ClearChanged();
}

void TScreenManager::Repaint() {
  if (display_ && back_ && !back_->IsEmpty())
    display_->Repaint(Pixels());
}

} // namespace nova
