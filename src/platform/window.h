// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/gamepad_mapping.h"
#include "platform/view_scaling.h"
#include "platform/window_event.h"
#include "platform/window_rect.h"

namespace nova {

// Pixel layouts of a back surface, as the words lie in memory (little-endian).
enum class TPixelFormat : uint8_t {
  Xrgb8888, // 32-bit: blue in the low byte, the top byte unused
  Rgb565,   // 16-bit
  Xrgb1555, // 16-bit, the top bit unused
};

// A back surface to present: top-down rows of `pitch_bytes` each.
struct TPresentSource {
  const uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch_bytes = 0;
  TPixelFormat format = TPixelFormat::Xrgb8888;
};

// A presented picture: top-down rows of 0x00RRGGBB words, width * height of them.
struct TPicture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

struct TDisplayMode {
  int width = 0;
  int height = 0;
  int bits_per_pixel = 0;
  int refresh_hz = 0;
};

// The main window: a client area holding the optional tool bar (dock) on top and the scene
// below it. Used only from the main thread.
class IWindow {
public:
  virtual ~IWindow() = default;

  // Caption text in Shift-JIS.
  virtual void SetCaption(const std::string& sjis_caption) = 0;
  // Scene size and whether the dock is shown; the window resizes its client area to
  // scene (+ dock height) and centres itself in the desktop work area.
  virtual void SetLayout(int scene_width, int scene_height, bool dock_visible) = 0;
  // Height of the dock: the tool bar's button height 18 + 4.
  static constexpr int kDockHeight = 22;
  static constexpr int kDockButtonWidth = 67;
  static constexpr int kDockButtonHeight = 18;
  // In full screen the dock floats over the scene; the shell shows it when the pointer is at
  // the top row.
  virtual void ShowFloatingDock(bool shown) = 0;

  // Borderless desktop full screen with the scene scaled, aspect kept and letterboxed, or back
  // to the window. `mode` asks for a changed monitor mode (nullopt: keep the desktop's).
  // Returns false and changes nothing when the mode cannot be set.
  virtual bool SetFullScreen(bool full, std::optional<TDisplayMode> mode = std::nullopt) = 0;
  virtual bool IsFullScreen() const = 0;
  virtual std::vector<TDisplayMode> DisplayModes() = 0;

  // Copies the `changed` rectangles of `source` (clipped to it) into the presentation texture
  // and shows the scene; with nothing inside the source changed, shows nothing. The source is
  // the scene-sized back surface.
  virtual void Present(const TPresentSource& source, std::span<const TWindowRect> changed) = 0;
  // The picture presented last (scene size; black before the first presentation).
  virtual TPicture Capture() const = 0;

  // Next pending event without blocking; false when none is pending.
  virtual bool PollEvent(TWindowEvent& event) = 0;
  // Blocks until an event is pending or `timeout_ms` passed; false on time-out.
  virtual bool WaitEvent(TWindowEvent& event, int timeout_ms) = 0;

  // Moves the pointer to a scene position.
  virtual void WarpMouse(int scene_x, int scene_y) = 0;
  // Keeps the screen saver and monitor power-off away while the player runs.
  virtual void InhibitScreenSaver() = 0;
  // A text field takes typing (TextInput and Composition events, the input method on), with
  // its caret at `caret` (scene pixels), or no longer does. Windows without text input ignore it.
  virtual void SetTextInput(bool on, const TWindowRect& caret) {}
  // The desktop's clipboard text (UTF-8); windows without a desktop keep their own.
  virtual std::string ClipboardText() { return clipboard_; }
  virtual void SetClipboardText(const std::string& utf8) { clipboard_ = utf8; }
  // How game controllers drive the pointer and keys; windows without controllers ignore it.
  virtual void SetGamepad(const TGamepadSettings& settings) {}

  // How the scene is scaled into the window and into full screen: the user's choice, taken at
  // once. The scene, its coordinates and what Capture returns keep the scene's size.
  virtual void SetScaling(const TViewScaling& scaling) { scaling_ = scaling; }
  virtual TViewScaling Scaling() const { return scaling_; }
  // A short message to the user (UTF-8), shown instead of the caption for kNoticeMs of the
  // platform clock; the caption returns afterwards. A newer notice replaces an older one.
  virtual void ShowNotice(const std::string& utf8) {}
  // The notice shown now; empty when none is.
  virtual std::string Notice() { return {}; }
  static constexpr uint32_t kNoticeMs = 2000;

private:
  std::string clipboard_;
  TViewScaling scaling_;
};

struct TWindowOptions {
  int scene_width = 640;
  int scene_height = 480;
  bool dock_visible = false;
  std::string sjis_caption;
};

// The SDL window (also on SDL's dummy video driver). Throws ENovaError when no window can open.
std::unique_ptr<IWindow> CreateSdlWindow(const TWindowOptions& options);
// A window without a screen: presentation goes to memory, events come only from what the
// caller feeds in with IWindow-independent replay.
std::unique_ptr<IWindow> CreateHeadlessWindow(const TWindowOptions& options);

} // namespace nova
