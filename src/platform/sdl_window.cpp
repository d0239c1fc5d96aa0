// SPDX-License-Identifier: MIT
// The main window on SDL: a renderer with a streaming texture of the scene size, the tool bar
// drawn above it, and full screen as a borderless desktop window. The user may resize the
// window; the scene is scaled into what lies below the tool bar (or into the whole screen) by
// the chosen scaling mode and filter.
#include <SDL.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "platform/clock.h"
#include "platform/private/caption_notice.h"
#include "platform/private/present_buffer.h"
#include "platform/private/sdl_gamepad.h"
#include "platform/private/sdl_keys.h"
#include "platform/private/ui_font.h"
#include "platform/window.h"

namespace nova {

namespace {

[[noreturn]] void FailSdl(const char* what) {
  throw ENovaError(Utf8ToSjis(std::string(what) + ": " + SDL_GetError()));
}

// The UTF-8 captions of the tool bar buttons, in TDockButton order.
constexpr std::array<const char*, 2> kDockCaptions = {"終了", "画面切替"};

// Smaller than this the tool bar no longer fits.
constexpr int kMinimumWidth = 160;
constexpr int kMinimumHeight = 120;

SDL_ScaleMode ScaleModeOf(TViewFilter filter) {
  return filter == TViewFilter::Sharp ? SDL_ScaleModeNearest : SDL_ScaleModeLinear;
}

class TSdlWindow final : public IWindow {
public:
  explicit TSdlWindow(const TWindowOptions& options) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
      FailSdl("cannot start SDL video");
    scene_w_ = options.scene_width;
    scene_h_ = options.scene_height;
    dock_visible_ = options.dock_visible;
    caption_ = SjisToUtf8(options.sjis_caption);
    window_scale_ = InitialScale(0);
    window_ = SDL_CreateWindow(caption_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               scene_w_ * window_scale_, WindowHeight(),
                               SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (!window_)
      FailSdl("cannot open the window");
    SDL_SetWindowMinimumSize(window_, kMinimumWidth, kMinimumHeight);
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
    if (!renderer_)
      renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_)
      FailSdl("cannot create a renderer");
    CreateSceneTexture();
    CreateDockLabels();
    SDL_ShowWindow(window_);
    // SDL starts with text input on; the input method stays out of the game's keys until a
    // text field takes the focus.
    SDL_StopTextInput();
    Redraw();
  }

  ~TSdlWindow() override {
    for (SDL_Texture* t : dock_labels_)
      if (t)
        SDL_DestroyTexture(t);
    if (texture_)
      SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  void SetCaption(const std::string& sjis_caption) override {
    caption_ = SjisToUtf8(sjis_caption);
    if (notice_.Current(PlatformClock().NowMs()).empty())
      SDL_SetWindowTitle(window_, caption_.c_str());
  }

  void ShowNotice(const std::string& utf8) override {
    notice_.Show(utf8, PlatformClock().NowMs(), kNoticeMs);
    notice_shown_ = true;
    SDL_SetWindowTitle(window_, utf8.c_str());
  }

  std::string Notice() override { return notice_.Current(PlatformClock().NowMs()); }

  // A size the user chose stays while the scene and the tool bar keep theirs; a new layout
  // gives the window the scene's size at the first window's scale, centred.
  void SetLayout(int scene_width, int scene_height, bool dock_visible) override {
    const bool changed = !laid_out_ || scene_width != scene_w_ || scene_height != scene_h_ ||
                         dock_visible != dock_visible_;
    laid_out_ = true;
    dock_visible_ = dock_visible;
    if (scene_width != scene_w_ || scene_height != scene_h_) {
      scene_w_ = scene_width;
      scene_h_ = scene_height;
      CreateSceneTexture();
    }
    if (changed && full_screen_)
      windowed_w_ = windowed_h_ = 0; // leaving full screen gives the new layout's size
    if (changed && !full_screen_) {
      window_scale_ = InitialScale(std::max(0, SDL_GetWindowDisplayIndex(window_)));
      SDL_SetWindowSize(window_, scene_w_ * window_scale_, WindowHeight());
      SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    Redraw();
  }

  void SetScaling(const TViewScaling& scaling) override {
    IWindow::SetScaling(scaling);
    SDL_SetTextureScaleMode(texture_, ScaleModeOf(scaling.filter));
    Redraw();
  }

  void ShowFloatingDock(bool shown) override {
    if (floating_dock_ == shown)
      return;
    floating_dock_ = shown;
    Redraw();
  }

  bool SetFullScreen(bool full, std::optional<TDisplayMode> mode) override {
    if (full && mode) {
      SDL_DisplayMode want{}, got{};
      want.w = mode->width;
      want.h = mode->height;
      want.refresh_rate = mode->refresh_hz;
      const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
      if (!SDL_GetClosestDisplayMode(display, &want, &got) || got.w != want.w || got.h != want.h ||
          SDL_SetWindowDisplayMode(window_, &got) != 0)
        return false;
    }
    const Uint32 flags = !full ? 0 : mode ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_FULLSCREEN_DESKTOP;
    if (full && !full_screen_)
      SDL_GetWindowSize(window_, &windowed_w_, &windowed_h_);
    if (SDL_SetWindowFullscreen(window_, flags) != 0)
      return false;
    full_screen_ = full;
    floating_dock_ = false;
    if (!full) {
      // Back to the size the window had, the user's own included.
      if (windowed_w_ <= 0 || windowed_h_ <= 0) {
        windowed_w_ = scene_w_ * window_scale_;
        windowed_h_ = WindowHeight();
      }
      SDL_SetWindowSize(window_, windowed_w_, windowed_h_);
      SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    Redraw();
    return true;
  }

  bool IsFullScreen() const override { return full_screen_; }

  std::vector<TDisplayMode> DisplayModes() override {
    std::vector<TDisplayMode> modes;
    const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
    for (int i = 0, n = SDL_GetNumDisplayModes(display); i < n; ++i) {
      SDL_DisplayMode m;
      if (SDL_GetDisplayMode(display, i, &m) == 0)
        modes.push_back({m.w, m.h, static_cast<int>(SDL_BITSPERPIXEL(m.format)), m.refresh_rate});
    }
    return modes;
  }

  void Present(const TPresentSource& source, std::span<const TWindowRect> changed) override {
    const TPicture& picture = buffer_.Picture();
    const std::vector<TWindowRect> copied = buffer_.Copy(source, changed);
    // Nothing changed, nothing to show: a still scene costs no presentation.
    if (copied.empty())
      return;
    for (const TWindowRect& r : copied) {
      SDL_Rect area{r.left, r.top, r.Width(), r.Height()};
      SDL_UpdateTexture(texture_, &area,
                        picture.pixels.data() + static_cast<size_t>(r.top) * picture.width + r.left,
                        picture.width * 4);
    }
    Redraw();
  }

  TPicture Capture() const override { return buffer_.Picture(); }

  bool PollEvent(TWindowEvent& event) override {
    RestoreCaption();
    SDL_Event e;
    for (;;) {
      if (PadEvent(event))
        return true;
      if (!SDL_PollEvent(&e))
        return false;
      if (!pads_.Take(e) && Translate(e, event) && Seen(event))
        return true;
    }
  }

  bool WaitEvent(TWindowEvent& event, int timeout_ms) override {
    RestoreCaption();
    SDL_Event e;
    const Uint32 start = SDL_GetTicks();
    for (;;) {
      if (PadEvent(event))
        return true;
      int left = timeout_ms - static_cast<int>(SDL_GetTicks() - start);
      // A moving stick moves the pointer even when nothing else happens.
      if (pads_.Moving())
        left = std::min(left, kPadTickMs);
      if (left <= 0)
        return PollEvent(event);
      if (!SDL_WaitEventTimeout(&e, left)) {
        if (pads_.Moving() && SDL_GetTicks() - start < static_cast<Uint32>(timeout_ms))
          continue;
        // The wait has just found the queue empty: only the pads may have something, and
        // pumping the display again would cost every frame of a still screen a second look.
        return PadEvent(event);
      }
      if (!pads_.Take(e) && Translate(e, event) && Seen(event))
        return true;
    }
  }

  void SetGamepad(const TGamepadSettings& settings) override {
    pads_.Mapper().SetSettings(settings);
  }

  void WarpMouse(int scene_x, int scene_y) override {
    const TWindowPoint at = SceneToWindow(SceneArea(), scene_w_, scene_h_, scene_x, scene_y);
    SDL_WarpMouseInWindow(window_, at.x, at.y);
  }

  void InhibitScreenSaver() override { SDL_DisableScreenSaver(); }

  std::string ClipboardText() override {
    char* text = SDL_GetClipboardText();
    std::string out = text ? text : "";
    SDL_free(text);
    return out;
  }
  void SetClipboardText(const std::string& utf8) override { SDL_SetClipboardText(utf8.c_str()); }

  void SetTextInput(bool on, const TWindowRect& caret) override {
    if (!on) {
      SDL_StopTextInput();
      return;
    }
    // The input method puts its candidate window below this rectangle, in window pixels.
    const TWindowRect r = SceneRectToWindow(SceneArea(), scene_w_, scene_h_, caret);
    SDL_Rect rect{r.left, r.top, r.Width(), r.Height()};
    SDL_SetTextInputRect(&rect);
    if (!SDL_IsTextInputActive())
      SDL_StartTextInput();
  }

private:
  static constexpr int kPadTickMs = 15;
  std::array<std::pair<int, int>, 8> pad_warps_ = [] {
    std::array<std::pair<int, int>, 8> none;
    none.fill({-1, -1});
    return none;
  }();
  size_t pad_warp_next_ = 0;

  // The pads' next event: pointer moves also move the system pointer over the scene.
  bool PadEvent(TWindowEvent& event) {
    pads_.Mapper().SetSceneSize(scene_w_, scene_h_);
    pads_.Tick(SDL_GetTicks());
    if (!pads_.Next(event))
      return false;
    event.in_scene = true;
    event.client_y = SceneToWindow(SceneArea(), scene_w_, scene_h_, event.x, event.y).y;
    if (event.kind == TWindowEventKind::MouseMove) {
      WarpMouse(event.x, event.y);
      pad_warps_[pad_warp_next_++ % pad_warps_.size()] = {event.x, event.y};
    }
    return true;
  }

  // A move the system pointer makes because a pad warped it may arrive after the pad has gone
  // on; it must not pull the pad's pointer back.
  bool EchoOfPadWarp(const TWindowEvent& event) const {
    return event.kind == TWindowEventKind::MouseMove &&
           std::find(pad_warps_.begin(), pad_warps_.end(), std::pair{event.x, event.y}) !=
               pad_warps_.end();
  }

  // The mouse moved: the pads' pointer goes on from there; focus lost lets go of their buttons.
  // False for a move that only echoes a pad's warp: the pad has reported that move itself, and
  // an echo that comes late would carry the pointer back.
  bool Seen(const TWindowEvent& event) {
    if (EchoOfPadWarp(event))
      return false;
    const TGamepadMapper& pad = pads_.Mapper();
    const bool mouse = event.kind == TWindowEventKind::MouseMove ||
                       event.kind == TWindowEventKind::MouseDown ||
                       event.kind == TWindowEventKind::MouseUp;
    if (mouse && event.in_scene && (event.x != pad.PointerX() || event.y != pad.PointerY()))
      pads_.Mapper().SetPointer(event.x, event.y);
    if (event.kind == TWindowEventKind::Deactivate)
      pads_.ReleaseAll();
    return true;
  }

  int DockHeight() const { return dock_visible_ ? kDockHeight : 0; }
  int WindowHeight() const { return scene_h_ * window_scale_ + DockHeight(); }
  bool DockShown() const { return dock_visible_ && (!full_screen_ || floating_dock_); }

  // The whole factor for a new window on `display`: larger on displays of high density.
  int InitialScale(int display) const {
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0)
      usable = {};
    // Wayland compositors scale windows themselves; X11 leaves it to the program.
    const char* driver = SDL_GetCurrentVideoDriver();
    float dpi = 0;
    if ((driver && std::string_view(driver) == "wayland") ||
        SDL_GetDisplayDPI(display, &dpi, nullptr, nullptr) != 0)
      dpi = 0;
    return InitialWindowScale(scene_w_, scene_h_, usable.w, usable.h - DockHeight(), dpi);
  }

  // After a notice has run out the caption shows again.
  void RestoreCaption() {
    if (notice_shown_ && notice_.Current(PlatformClock().NowMs()).empty()) {
      notice_shown_ = false;
      SDL_SetWindowTitle(window_, caption_.c_str());
    }
  }

  void CreateSceneTexture() {
    if (texture_)
      SDL_DestroyTexture(texture_);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                 std::max(1, scene_w_), std::max(1, scene_h_));
    if (!texture_)
      FailSdl("cannot create the presentation texture");
    SDL_SetTextureScaleMode(texture_, ScaleModeOf(Scaling().filter));
    buffer_.Resize(scene_w_, scene_h_);
    const TPicture& picture = buffer_.Picture();
    if (!picture.pixels.empty())
      SDL_UpdateTexture(texture_, nullptr, picture.pixels.data(), picture.width * 4);
  }

  void CreateDockLabels() {
    for (size_t i = 0; i < kDockCaptions.size(); ++i) {
      const TCoverageBitmap text = RenderUiText(kDockCaptions[i], 12);
      if (text.width == 0 || text.height == 0)
        continue;
      std::vector<uint32_t> argb(text.coverage.size());
      for (size_t k = 0; k < argb.size(); ++k)
        argb[k] = uint32_t{text.coverage[k]} << 24;
      SDL_Texture* t = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                         SDL_TEXTUREACCESS_STATIC, text.width, text.height);
      if (!t)
        continue;
      SDL_UpdateTexture(t, nullptr, argb.data(), text.width * 4);
      SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
      dock_labels_[i] = t;
    }
  }

  // Where the scene lies in the client area: scaled into what lies below the dock in a window,
  // into the whole screen in full screen (the dock floats over it there).
  TWindowRect SceneArea() const {
    int out_w = 0, out_h = 0;
    SDL_GetRendererOutputSize(renderer_, &out_w, &out_h);
    const TWindowRect area{0, full_screen_ ? 0 : DockHeight(), out_w, out_h};
    return SceneDestination(scene_w_, scene_h_, area, Scaling().mode);
  }

  SDL_Rect DockButtonRect(size_t i) const {
    return {static_cast<int>(i) * kDockButtonWidth, 2, kDockButtonWidth, kDockButtonHeight};
  }

  int DockButtonAt(int x, int y) const {
    if (!DockShown())
      return -1;
    for (size_t i = 0; i < kDockCaptions.size(); ++i) {
      const SDL_Rect r = DockButtonRect(i);
      if (x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h)
        return static_cast<int>(i);
    }
    return -1;
  }

  void Redraw() {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    const TWindowRect area = SceneArea();
    const SDL_Rect scene{area.left, area.top, area.Width(), area.Height()};
    if (!area.Empty())
      SDL_RenderCopy(renderer_, texture_, nullptr, &scene);
    if (DockShown())
      DrawDock();
    SDL_RenderPresent(renderer_);
  }

  void DrawDock() {
    int out_w = 0, out_h = 0;
    SDL_GetRendererOutputSize(renderer_, &out_w, &out_h);
    const SDL_Rect dock{0, 0, out_w, kDockHeight};
    SDL_SetRenderDrawColor(renderer_, 0xD4, 0xD0, 0xC8, 255);
    SDL_RenderFillRect(renderer_, &dock);
    for (size_t i = 0; i < kDockCaptions.size(); ++i) {
      const SDL_Rect r = DockButtonRect(i);
      const bool pressed = pressed_dock_ == static_cast<int>(i);
      SDL_SetRenderDrawColor(renderer_, pressed ? 0x80 : 0xFF, pressed ? 0x80 : 0xFF,
                             pressed ? 0x80 : 0xFF, 255);
      SDL_RenderDrawLine(renderer_, r.x, r.y, r.x + r.w - 1, r.y);
      SDL_RenderDrawLine(renderer_, r.x, r.y, r.x, r.y + r.h - 1);
      SDL_SetRenderDrawColor(renderer_, pressed ? 0xFF : 0x80, pressed ? 0xFF : 0x80,
                             pressed ? 0xFF : 0x80, 255);
      SDL_RenderDrawLine(renderer_, r.x + r.w - 1, r.y, r.x + r.w - 1, r.y + r.h - 1);
      SDL_RenderDrawLine(renderer_, r.x, r.y + r.h - 1, r.x + r.w - 1, r.y + r.h - 1);
      if (SDL_Texture* label = dock_labels_[i]) {
        int w = 0, h = 0;
        SDL_QueryTexture(label, nullptr, nullptr, &w, &h);
        SDL_SetTextureColorMod(label, 0, 0, 0);
        const SDL_Rect at{r.x + (r.w - w) / 2, r.y + (r.h - h) / 2, w, h};
        SDL_RenderCopy(renderer_, label, nullptr, &at);
      }
    }
  }

  void ToScene(int cx, int cy, TWindowEvent& out) const {
    const TScenePoint p = WindowToScene(SceneArea(), scene_w_, scene_h_, cx, cy);
    out.x = p.x;
    out.y = p.y;
    out.in_scene = p.inside;
    out.client_y = cy;
  }

  bool Translate(const SDL_Event& e, TWindowEvent& out) {
    out = TWindowEvent{};
    switch (e.type) {
    case SDL_QUIT:
      out.kind = TWindowEventKind::Close;
      return true;
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
      case SDL_WINDOWEVENT_CLOSE:
        out.kind = TWindowEventKind::Close;
        return true;
      case SDL_WINDOWEVENT_FOCUS_GAINED:
        out.kind = TWindowEventKind::Activate;
        return true;
      case SDL_WINDOWEVENT_FOCUS_LOST:
        out.kind = TWindowEventKind::Deactivate;
        return true;
      case SDL_WINDOWEVENT_EXPOSED:
      case SDL_WINDOWEVENT_SIZE_CHANGED:
        Redraw();
        return false;
      default:
        return false;
      }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      out.key = VirtualKeyFromSdl(e.key.keysym.sym, e.key.keysym.scancode);
      if (out.key < 0)
        return false;
      out.kind = e.type == SDL_KEYDOWN ? TWindowEventKind::KeyDown : TWindowEventKind::KeyUp;
      out.repeat = e.key.repeat != 0;
      return true;
    case SDL_MOUSEMOTION:
      out.kind = TWindowEventKind::MouseMove;
      ToScene(e.motion.x, e.motion.y, out);
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      return TranslateButton(e.button, out);
    case SDL_TEXTINPUT:
      out.kind = TWindowEventKind::TextInput;
      out.text = e.text.text;
      return !out.text.empty();
    case SDL_TEXTEDITING:
      out.kind = TWindowEventKind::Composition;
      out.text = e.edit.text;
      return true;
    case SDL_MOUSEWHEEL:
      if (e.wheel.y == 0)
        return false;
      out.kind = TWindowEventKind::Wheel;
      out.wheel_up = (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y) > 0;
      return true;
    default:
      return false;
    }
  }

  bool TranslateButton(const SDL_MouseButtonEvent& b, TWindowEvent& out) {
    const bool down = b.type == SDL_MOUSEBUTTONDOWN;
    // The tool bar's buttons click like buttons: press on one, release on the same one.
    const int dock = DockButtonAt(b.x, b.y);
    if (b.button == SDL_BUTTON_LEFT && (dock >= 0 || pressed_dock_ >= 0)) {
      const int was = pressed_dock_;
      pressed_dock_ = down ? dock : -1;
      Redraw();
      if (down || was < 0)
        return false;
      if (dock != was)
        return false;
      out.kind = TWindowEventKind::DockButton;
      out.dock = static_cast<TDockButton>(dock);
      return true;
    }
    if (b.button == SDL_BUTTON_LEFT)
      out.button = TMouseButton::Left;
    else if (b.button == SDL_BUTTON_RIGHT)
      out.button = TMouseButton::Right;
    else if (b.button == SDL_BUTTON_MIDDLE)
      out.button = TMouseButton::Middle;
    else
      return false;
    out.kind = down ? TWindowEventKind::MouseDown : TWindowEventKind::MouseUp;
    ToScene(b.x, b.y, out);
    return true;
  }

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  std::array<SDL_Texture*, 2> dock_labels_{};
  TPresentBuffer buffer_;
  TSdlGamepads pads_;
  int scene_w_ = 0;
  int scene_h_ = 0;
  int window_scale_ = 1;
  int windowed_w_ = 0; // the window's size before full screen
  int windowed_h_ = 0;
  bool laid_out_ = false;
  std::string caption_; // UTF-8
  TCaptionNotice notice_;
  bool notice_shown_ = false;
  bool dock_visible_ = false;
  bool full_screen_ = false;
  bool floating_dock_ = false;
  int pressed_dock_ = -1;
};

} // namespace

std::unique_ptr<IWindow> CreateSdlWindow(const TWindowOptions& options) {
  return std::make_unique<TSdlWindow>(options);
}

} // namespace nova
