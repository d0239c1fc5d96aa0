// SPDX-License-Identifier: MIT
#include "shell/scene_binding.h"

#include "base/nova_error.h"
#include "expr/param_collection.h"
#include "graphics/dibx.h"
#include "graphics/image_cache.h"
#include "graphics/screen_display_window.h"
#include "graphics/screen_manager.h"
#include "graphics/wisp_surface_decoder.h"
#include "platform/desktop.h"
#include "platform/sdl_cursor.h"
#include "platform/window.h"
#include "scene/cursor_file.h"
#include "scene/nova_base.h"
#include "scene/nova_base_list.h"
#include "scene/scene_input_router.h"
#include "scene/scene_screen_link.h"
#include "scene/scene_system_vars.h"
#include "shell/film_binding.h"
#include "shell/form_view.h"
#include "shell/player_hooks.h"
#include "shell/shell_system_vars.h"
#include "shell/transition_binding.h"
#include "shell/wallpaper.h"
#include "vfs/vr_file_manager.h"

namespace nova {

namespace {
constexpr int kDefaultSceneWidth = 640;
constexpr int kDefaultSceneHeight = 480;
} // namespace

TSceneBinding::TSceneBinding(TFormView& form, IWindow& window, TPlayerHooks& hooks,
                             TCursorMode cursors)
    : form_(form), window_(window), hooks_(hooks), cursors_(cursors) {
  form.InitSteps().Set("NovaInitialize", [this] { CreateScene(); });
  form.InitSteps().Set("MediaInit", [this] { CreateScreen(); });
  form.InitSteps().Set("NovaInitColor", [this] {
    if (scene_ && screen_)
      scene_->SetScreenSurface(screen_->BackSurface());
  });
  form.ShutdownSteps().Set("MediaFinal", [this] {
    if (scene_)
      scene_->SetScreenSurface(nullptr);
    screen_.reset();
    display_.reset();
  });

  hooks_.input_step = [this] {
    if (scene_)
      scene_->InputStep();
  };
  hooks_.update_step = [this] {
    if (scene_)
      scene_->UpdateStep();
  };
  hooks_.draw_step = [this] { Draw(); };
  hooks_.free_scene_surfaces = [this] {
    if (scene_)
      scene_->ReleaseSurfaces();
  };
  hooks_.reload_scene_surfaces = [this] {
    if (!scene_)
      return;
    if (screen_) {
      // A new back surface for the mode now set (the switch may have released the old one, or
      // changed the bit count); pictures follow a changed bit count.
      scene_->SetScreenSurface(nullptr);
      screen_->Release();
      screen_->Restore(window_.IsFullScreen());
      scene_->SetScreenSurface(screen_->BackSurface());
      if (images_ && screen_->BitCount() != back_bits_)
        images_->ReloadAll(true);
      back_bits_ = screen_->BitCount();
    }
    scene_->RestoreSurfaces();
  };
  hooks_.free_screen_surfaces = [this] {
    if (screen_)
      screen_->Release();
  };
  hooks_.full_screen_mode = [this]() -> std::optional<TDisplayMode> {
    if (!screen_ || screen_->ChosenMode() < 0)
      return std::nullopt;
    const TScreenMode m = screen_->Mode(screen_->ChosenMode());
    return TDisplayMode{m.width, m.height, m.bit_count, m.refresh};
  };
}

TSceneBinding::~TSceneBinding() {
  if (router_ && hooks_.scene_input == router_.get())
    hooks_.scene_input = nullptr;
  if (scene_)
    scene_->SetScreenSurface(nullptr);
  scene_.reset();
}

void TSceneBinding::CreateScene() {
  scene_ = std::make_unique<TNovaBaseList>(kDefaultSceneWidth, kDefaultSceneHeight, this);
  router_ = std::make_unique<TSceneInputRouter>(*scene_);
  link_ = std::make_unique<TSceneScreenLink>(*scene_);
  hooks_.scene_input = router_.get();
  if (hooks_.scene_created)
    hooks_.scene_created(*scene_);
}

void TSceneBinding::CreateScreen() {
  auto [width, height] = hooks_.scene_size
                             ? hooks_.scene_size()
                             : std::pair<int, int>(kDefaultSceneWidth, kDefaultSceneHeight);
  const auto [full_width, full_height] =
      hooks_.full_screen_size ? hooks_.full_screen_size() : std::pair<int, int>(width, height);
  display_ = MakeWindowScreenDisplay(window_);
  screen_ =
      std::make_unique<TScreenManager>(display_.get(), full_width, full_height, width, height);
  if (scene_) {
    scene_->SetSceneSize(width, height);
    scene_->SetScreenSurface(screen_->BackSurface());
    ServeSystemVariables();
    back_bits_ = screen_->BitCount();
    CreateImageCache();
  }
}

void TSceneBinding::CreateImageCache() {
  const int32_t code = image_code_ ? image_code_() : 0;
  images_ = std::make_unique<TWispCollection>(
      FileManager(), code, [this] { return scene_ ? scene_->ScreenBitCount() : 32; });
  InstallWispSurfaceDecoder(code);
  if (scene_) {
    scene_->SetImageServices({images_.get(), variables_ ? variables_() : nullptr});
    scene_->SetTransitionFactory(MakeTransitionFactory(FileManager(), images_.get()));
    InstallFilmLoaders(*scene_, FileManager(), images_.get());
  }
}

void TSceneBinding::ServeSystemVariables() {
  TParamCollection* vars = variables_ ? variables_() : nullptr;
  if (!vars)
    return;
  TSceneShellActions actions;
  actions.is_full_screen = [this] { return window_.IsFullScreen(); };
  actions.set_full_screen = [this](bool full) { form_.SetFullScreen(full); };
  actions.warp_pointer = [this](int x, int y) { window_.WarpMouse(x, y); };
  actions.set_sound_on = [this](bool on) {
    if (hooks_.media_sound_on)
      hooks_.media_sound_on(on);
  };
  actions.screen_mode_selected = [this] { form_.ReapplyScreenMode(); };
  // Whatever the scene does not serve goes on to the hosts registered before it.
  ISystemVarHost*& system = vars->Hosts().system;
  system_vars_ =
      std::make_unique<TSceneSystemVars>(*scene_, screen_.get(), std::move(actions), system);
  TShellVarSources sources;
  sources.title = [this] { return hooks_.project_title ? hooks_.project_title() : std::string(); };
  sources.dither = [this] { return images_ && images_->dither(); };
  sources.set_dither = [this](bool on) {
    if (images_)
      images_->SetDither(on);
    if (scene_)
      scene_->SetDither(on);
  };
  shell_vars_ = std::make_unique<TShellSystemVars>(std::move(sources), system_vars_.get());
  system = shell_vars_.get();
  ServeFunctions(*vars);
}

std::optional<TPicture> TSceneBinding::PictureOf(const std::string& sjis_file) {
  if (sjis_file.empty())
    return window_.Capture();
  if (!images_ || !FileManager().Exists(sjis_file))
    return std::nullopt;
  TWispItem* item = nullptr;
  try {
    item = images_->Get(this, sjis_file);
  } catch (const ENovaError&) {
    return std::nullopt;
  }
  std::optional<TPicture> out;
  if (item && item->Count() > 0) {
    const TDIBX& s = item->Frame(0).surface;
    TPicture p;
    p.width = s.Width();
    p.height = s.Height();
    p.pixels.reserve(static_cast<size_t>(p.width) * static_cast<size_t>(p.height));
    for (int y = 0; y < p.height; ++y) {
      for (int x = 0; x < p.width; ++x) {
        const uint32_t c = s.PixelToColor(s.GetPixel(x, y)); // 0x00BBGGRR
        p.pixels.push_back((c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
      }
    }
    out = std::move(p);
  }
  if (item)
    images_->Release(this, item);
  return out;
}

void TSceneBinding::SetDesktop(std::unique_ptr<IDesktop> desktop) { desktop_ = std::move(desktop); }

void TSceneBinding::ServeFunctions(TParamCollection& vars) {
  TShellFuncSources sources;
  sources.scene = [this] { return scene_.get(); };
  sources.screen = [this] { return screen_.get(); };
  sources.desktop = desktop_.get();
  sources.choose = chooser_;
  sources.picture = [this](const std::string& file) { return PictureOf(file); };
  // Headless runs leave the desktop alone.
  if (cursors_ == TCursorMode::Custom)
    sources.set_wallpaper = SetWallpaper;
  sources.caption = [this] {
    return hooks_.project_title ? hooks_.project_title() : std::string();
  };
  funcs_ = std::make_unique<TShellFuncs>(std::move(sources), vars.Hosts().funcs);
  vars.Hosts().funcs = funcs_.get();
}

void TSceneBinding::Draw() {
  if (!scene_ || !screen_)
    return;
  scene_->DrawStep();
  screen_->Present(*link_, 100);
}

std::string TSceneBinding::DefaultCursorFile() {
  const TParamCollection* vars = variables_ ? variables_() : nullptr;
  return vars ? vars->cursor : std::string();
}

std::optional<std::vector<uint8_t>> TSceneBinding::ReadTitleFile(const std::string& name) {
  try {
    if (!FileManager().Exists(name))
      return std::nullopt;
    TMemoryStream data = FileManager().Load(name);
    auto bytes = data.Bytes();
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
  } catch (const ENovaError&) {
    return std::nullopt;
  }
}

void TSceneBinding::ShowCursor(const TCursorImage* cursor) {
  if (cursors_ != TCursorMode::Custom)
    return;
  if (!cursor || !SdlShowCustomCursor(cursor->argb.data(), cursor->width, cursor->height,
                                      cursor->hot_x, cursor->hot_y))
    SdlShowArrowCursor();
}

void TSceneBinding::PointerPosition(int32_t& x, int32_t& y) {
  // The shell routes pointer moves into the front layer.
  const TNovaBase* front = scene_ ? scene_->GetLayer(scene_->FrontIndex()) : nullptr;
  x = front ? front->pointer_x : 0;
  y = front ? front->pointer_y : 0;
}

} // namespace nova
