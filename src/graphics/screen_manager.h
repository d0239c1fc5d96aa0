// SPDX-License-Identifier: MIT
// The screen manager: the back surface the scene is composed in, the display modes for full
// screen, switching between window and full screen, and presenting the changed areas.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace nova {

class TDIBX;

struct TScreenRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Empty() const { return Right <= Left || Bottom <= Top; }
  bool operator==(const TScreenRect&) const = default;
};

struct TScreenMode {
  int32_t width = 0, height = 0, bit_count = 0, refresh = 0;
  bool operator==(const TScreenMode&) const = default;
};

// The display's pixel format: bit count, and for 16 bits whether it is 5-5-5.
struct TDisplayFormat {
  int bit_count = 32;
  bool is_555 = false;
};

// Pixels of the back surface: row y starts at row0 + y * pitch_bytes (the pitch is negative for
// bottom-up storage); bit_count is 15, 16 or 32.
struct TScreenPixels {
  const uint8_t* row0 = nullptr;
  int width = 0, height = 0, pitch_bytes = 0, bit_count = 32;
};

// One copy of a presentation: source rectangle of the back surface to destination rectangle of
// the panel (scaled when the sizes differ).
struct TScreenBlit {
  TScreenRect dst, src;
  bool operator==(const TScreenBlit&) const = default;
};

// The display service the shell provides (the platform window, or a test stand-in).
class IScreenDisplay {
public:
  virtual ~IScreenDisplay() = default;
  // Full-screen modes the display offers; empty when it cannot list them.
  virtual std::vector<TScreenMode> DisplayModes() = 0;
  virtual TDisplayFormat CurrentFormat() = 0;
  // Back to the window (full = false), or full screen: scaled on the desktop when `mode` is
  // null, else with the display switched to that mode. False when it cannot be done.
  virtual bool SetFullScreen(bool full, const TScreenMode* mode) = 0;
  // Copies the blits into the presentation and shows it.
  virtual void Present(const TScreenPixels& pixels, std::span<const TScreenBlit> blits) = 0;
  // The whole back surface, stretched to the panel's current size.
  virtual void Repaint(const TScreenPixels& pixels) = 0;
};

// What Present asks of the scene: the areas changed in this frame.
class IScreenScene {
public:
  virtual ~IScreenScene() = default;
  // The single rectangle of a running transition, empty when none.
  virtual TScreenRect TransitionRect() = 0;
  // The front layer's changed rectangles.
  virtual std::vector<TScreenRect> ChangedRects() = 0;
  // Called after presenting: both layers forget their changed rectangles.
  virtual void ClearChanged() = 0;
};

// Modes at least the scene's size and above 15 bits, with the index the rules choose (-1 when
// none): the preferred size wins, then the preferred bit count, then the lowest refresh rate.
struct TModeList {
  std::vector<TScreenMode> modes;
  int chosen = -1;
};
TModeList ListModes(std::span<const TScreenMode> offered, int scene_width, int scene_height,
                    int preferred_width, int preferred_height, int preferred_bits);

// The back surface's bit count for a display format, in the window or full screen.
int BackSurfaceBits(const TDisplayFormat& format, bool full_screen);

// The copies Present makes for a zoom percentage: the whole surface stretched when the zoom is
// not a multiple of 100, otherwise each non-empty changed rectangle with its corners scaled.
std::vector<TScreenBlit> PresentBlits(std::span<const TScreenRect> changed, int width, int height,
                                      int zoom_percent);

class TScreenManager {
public:
  // Lists the modes and sets up the window mode. `display` may be null: no modes, windowed only,
  // and the back surface has 16 bits.
  TScreenManager(IScreenDisplay* display, int preferred_width, int preferred_height,
                 int scene_width, int scene_height);
  ~TScreenManager();

  // -1 windowed, 0 or more full screen in that mode of the list; an index outside the list is
  // the window. The mode already set changes nothing. A failed full-screen switch falls back to
  // the window.
  void SetMode(int index);
  // The title chose a mode (@DisplayModeIndex): full screen then really changes the mode,
  // instead of scaling the scene on the desktop.
  void SelectMode(int index);
  // Frees the back surface and returns to the state before the first setup.
  void Release();
  // After Release, once the window has switched (to full screen or back) by itself: a new back
  // surface for the display's format, without switching the display again.
  void Restore(bool full_screen);
  void Present(IScreenScene& scene, int zoom_percent);
  void Repaint();

  int ModeCount() const { return static_cast<int>(modes_.size()); }
  TScreenMode Mode(int index) const;
  int ChosenMode() const { return chosen_; }
  int CurrentMode() const { return current_; }
  bool FullScreen() const { return full_screen_; }
  TDIBX* BackSurface() const { return back_.get(); }
  int BitCount() const;
  uint32_t PresentedFrames() const { return presented_frames_; }

private:
  void Setup();
  TScreenPixels Pixels() const;

  IScreenDisplay* display_;
  int scene_width_, scene_height_;
  int preferred_width_, preferred_height_;
  int preferred_bits_ = 24;
  std::vector<TScreenMode> modes_;
  int chosen_ = -1;
  bool title_selected_ = false;
  // The back surface's bit count in full screen.
  int FullScreenBits() const;
  int current_ = -2;
  std::unique_ptr<TDIBX> back_;
  bool full_screen_ = false;
  uint32_t presented_frames_ = 0;
};

} // namespace nova
