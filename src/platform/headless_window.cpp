// SPDX-License-Identifier: MIT
// The window of headless runs: the scene is presented into memory and nothing arrives from a
// screen; the shell feeds replayed input itself.
#include <algorithm>
#include <cstdio>

#include "platform/clock.h"
#include "platform/private/caption_notice.h"
#include "platform/private/present_buffer.h"
#include "platform/window.h"

namespace nova {

namespace {

class THeadlessWindow final : public IWindow {
public:
  explicit THeadlessWindow(const TWindowOptions& options) {
    buffer_.Resize(options.scene_width, options.scene_height);
  }
  void SetCaption(const std::string&) override {}
  void SetLayout(int scene_width, int scene_height, bool) override {
    if (scene_width != buffer_.Picture().width || scene_height != buffer_.Picture().height)
      buffer_.Resize(scene_width, scene_height);
  }
  void ShowFloatingDock(bool) override {}
  // A virtual monitor of a few common resolutions: titles that choose a display mode run
  // headless as they would on a screen.
  bool SetFullScreen(bool full, std::optional<TDisplayMode> mode) override {
    if (full && mode) {
      const std::vector<TDisplayMode> modes = DisplayModes();
      if (std::none_of(modes.begin(), modes.end(), [&](const TDisplayMode& m) {
            return m.width == mode->width && m.height == mode->height;
          }))
        return false;
    }
    full_screen_ = full;
    return true;
  }
  bool IsFullScreen() const override { return full_screen_; }
  std::vector<TDisplayMode> DisplayModes() override {
    return {{640, 480, 32, 60}, {800, 600, 32, 60}, {1024, 768, 32, 60}};
  }
  void Present(const TPresentSource& source, std::span<const TWindowRect> changed) override {
    buffer_.Copy(source, changed);
  }
  TPicture Capture() const override { return buffer_.Picture(); }
  bool PollEvent(TWindowEvent&) override { return false; }
  bool WaitEvent(TWindowEvent&, int) override { return false; }
  void WarpMouse(int, int) override {}
  void InhibitScreenSaver() override {}
  // Without a caption the notice goes to the error output, where a headless run's user looks.
  void ShowNotice(const std::string& utf8) override {
    std::fprintf(stderr, "novaplay: %s\n", utf8.c_str());
    notice_.Show(utf8, PlatformClock().NowMs(), kNoticeMs);
  }
  std::string Notice() override { return notice_.Current(PlatformClock().NowMs()); }

private:
  TPresentBuffer buffer_;
  TCaptionNotice notice_;
  bool full_screen_ = false;
};

} // namespace

std::unique_ptr<IWindow> CreateHeadlessWindow(const TWindowOptions& options) {
  return std::make_unique<THeadlessWindow>(options);
}

} // namespace nova
