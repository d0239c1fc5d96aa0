// SPDX-License-Identifier: MIT
#include "shell/player_main.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <system_error>

#include "base/nova_error.h"
#include "base/run_state.h"
#include "base/sjis.h"
#include "base/version.h"
#include "media/video_manager.h"
#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/dialog_host.h"
#include "platform/input_script.h"
#include "platform/instance_lock.h"
#include "platform/message_box.h"
#include "platform/png_writer.h"
#include "platform/speech.h"
#include "platform/user_message.h"
#include "platform/wall_clock.h"
#include "platform/window.h"
#include "scene/nova_base_list.h"
#include "script/project.h"
#include "shell/config_dialog.h"
#include "shell/edit_binding.h"
#include "shell/fast_forward.h"
#include "shell/file_dialog.h"
#include "shell/find_archives.h"
#include "shell/form_view.h"
#include "shell/http_binding.h"
#include "shell/media_binding.h"
#include "shell/midi_binding.h"
#include "shell/mutex_name.h"
#include "shell/output_paths.h"
#include "shell/player_options.h"
#include "shell/player_settings.h"
#include "shell/project_binding.h"
#include "shell/reading_aid.h"
#include "shell/run_config.h"
#include "shell/save_binding.h"
#include "shell/scene_binding.h"
#include "shell/stop_signals.h"
#include "shell/text_binding.h"
#include "shell/window_loop.h"

namespace nova {

namespace {

// A headless dialog that nobody closes still ends.
constexpr uint32_t kHeadlessDialogFrames = 600;

// A window can open: an X or Wayland display, or a video driver chosen explicitly.
bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) {
    const char* value = std::getenv(name);
    if (value && *value)
      return true;
  }
  return false;
}

std::filesystem::path Executable() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path("novaplay") : exe;
}

// Input from --input and to --record, the frame count they are stamped with, and the
// fast-forward key that the player keeps to itself.
struct TInputTap {
  std::unique_ptr<TInputReplay> replay;
  std::unique_ptr<TInputRecorder> recorder;
  uint32_t frame = 0;
  TFastForward fast_forward{false};
  std::function<void(int speed)> set_speed;

  // Offers `event` to the fast-forward key first: true when the player took it.
  bool TakeFastForward(const TWindowEvent& event) {
    const bool taken = fast_forward.Take(event);
    if (set_speed)
      set_speed(fast_forward.Speed());
    return taken;
  }
};

void Screenshot(const IWindow& window, const std::filesystem::path& path) {
  WritePicturePng(window.Capture(), path);
}

void EverySnapshot(const TPlayerOptions& options, const IWindow& window, uint32_t frames_done) {
  if (options.screenshot_every == 0 || frames_done % options.screenshot_every != 0)
    return;
  char name[32];
  std::snprintf(name, sizeof name, "frame_%06u.png", frames_done);
  Screenshot(window, std::filesystem::path(options.screenshot_dir) / name);
}

// SIGINT or SIGTERM closes the player as the window's close button does.
void CloseOnStopSignal(TFormView& form) {
  if (StopRequested() && !form.CloseRequested())
    form.HandleEvent({.kind = TWindowEventKind::Close});
}

// Replayed events of the coming frame, handled as if the window had sent them.
void Replay(TInputTap& tap, TFormView& form) {
  if (!tap.replay)
    return;
  TWindowEvent event;
  while (tap.replay->Next(tap.frame, event)) {
    if (tap.recorder)
      tap.recorder->Record(tap.frame, event);
    if (!tap.TakeFastForward(event))
      form.HandleEvent(event);
  }
}

void RunHeadless(const TPlayerOptions& options, IWindow& window, THeadlessLoop& loop,
                 TFormView& form, TInputTap& tap) {
  while (!form.CloseRequested() && (!options.frames || tap.frame < *options.frames)) {
    Replay(tap, form);
    CloseOnStopSignal(form);
    if (form.CloseRequested())
      break;
    const std::optional<int32_t> interval = loop.Step();
    if (interval) {
      AcceptFrame(RunState(), *interval);
      if (!RunState().SwitchingScreen)
        form.FrameStep();
    }
    ++tap.frame;
    EverySnapshot(options, window, tap.frame);
  }
}

// An event from the window, recorded and offered to the fast-forward key before the form.
void TakeWindowEvent(TInputTap& tap, TFormView& form, const TWindowEvent& event) {
  if (tap.recorder)
    tap.recorder->Record(tap.frame, event);
  if (!tap.TakeFastForward(event))
    form.HandleEvent(event);
}

void RunWindow(const TPlayerOptions& options, IWindow& window, TWindowLoop& loop, TFormView& form,
               TInputTap& tap) {
  while (!form.CloseRequested() && (!options.frames || tap.frame < *options.frames)) {
    CloseOnStopSignal(form);
    if (form.CloseRequested())
      break;
    // Between frames the main thread sleeps in the event wait; input wakes it earlier, and
    // every pending event is handled before the frame that is due.
    TWindowEvent event;
    const int wait_ms = loop.MsUntilDue();
    if (wait_ms > 0 ? window.WaitEvent(event, wait_ms) : window.PollEvent(event)) {
      TakeWindowEvent(tap, form, event);
      continue;
    }
    if (loop.MsUntilDue() > 0)
      continue;
    Replay(tap, form);
    if (form.CloseRequested())
      break;
    if (!loop.RunDueFrame())
      continue;
    ++tap.frame;
    EverySnapshot(options, window, tap.frame);
  }
}

int RunConfig(const TPlayerOptions& options, const std::vector<TStampedEvent>& input) {
  // "/config FOLDER" edits that title's settings; alone, those beside the player.
  const std::filesystem::path folder = options.params.size() > 1
                                           ? std::filesystem::path(options.params[1])
                                           : Executable().parent_path();
  std::unique_ptr<IDialogHost> host =
      options.headless
          ? CreateHeadlessDialogHost(input, options.frames.value_or(kHeadlessDialogFrames))
          : CreateSdlDialogHost();
  RunConfigDialog(*host, folder / kRunConfigFileName);
  return 0;
}

// `clock` is the virtual clock of a headless run, which its frames move.
int RunPlayer(const TPlayerOptions& options, std::vector<TStampedEvent> input,
              TVirtualClock* clock) {
  TInputTap tap;
  if (!options.input_file.empty())
    tap.replay = std::make_unique<TInputReplay>(std::move(input));
  if (!options.record_file.empty())
    tap.recorder = std::make_unique<TInputRecorder>(options.record_file);
  // Headless runs keep their virtual time exact unless fast-forward is asked for.
  tap.fast_forward = TFastForward(!options.headless || options.turbo);
  std::vector<std::string> problems;
  const TPlayerSettings settings = LoadPlayerSettings(
      TitleBaseFolder(options.params, Executable()) / kRunConfigFileName, problems);
  for (const std::string& problem : problems)
    std::fprintf(stderr, "novaplay: %s\n", problem.c_str());

  std::unique_ptr<IWindow> window;
  if (options.headless) {
    window = CreateHeadlessWindow({});
  } else {
    try {
      window = CreateSdlWindow({});
    } catch (const ENovaError& e) {
      throw ENovaError(std::string(e.what()) + " (without a display, run with --headless)");
    }
  }
  window->InhibitScreenSaver();
  window->SetGamepad(settings.gamepad);
  // Headless runs speak nothing: they are tests and batch jobs.
  TReadingAid reading_aid(
      {options.text_log ? stdout : nullptr, settings.copy_text ? window.get() : nullptr,
       settings.speak && !options.headless ? CreateSpeechDispatcher() : nullptr});
  TPlayerHooks hooks;
  // Both outlive the scene, whose text fields and fetches use them.
  TEditBinding edit(*window);
  THttpBinding http(options.headless && !options.allow_network);
  hooks.text_entry = [&edit](const TWindowEvent& e) { return edit.HandleEvent(e); };
  hooks.scene_created = [&edit, &http, &reading_aid](TNovaBaseList& scene) {
    scene.SetEditWindowFactory(edit.Factory());
    scene.SetHttpGet(http.Get());
    if (reading_aid.Active())
      scene.SetMessageTextObserver(&reading_aid);
  };
  std::unique_ptr<TMidiBinding> midi;       // outlives the media and the variables that reach it
  std::unique_ptr<TSceneBinding> scene;     // outlives the form, whose shutdown steps use it
  std::unique_ptr<TProjectBinding> project; // outlives the form, whose Close uses it
  std::unique_ptr<TTextBinding> text;
  std::unique_ptr<TSaveBinding> saves;  // outlives the form, whose shutdown writes the status data
  std::unique_ptr<TMediaBinding> media; // after the scene: it detaches the scene's media first
  std::unique_ptr<IFrameLoop> loop;     // outlives the form, whose Close stops it
  std::unique_ptr<TFormView> form;
  if (options.headless) {
    auto headless = std::make_unique<THeadlessLoop>(options.frame_ms, clock);
    tap.set_speed = [h = headless.get()](int speed) { h->SetSpeed(speed); };
    loop = std::move(headless);
  } else {
    auto timed = std::make_unique<TWindowLoop>(PlatformClock(), [&form] { form->FrameStep(); });
    tap.set_speed = [t = timed.get()](int speed) { t->SetSpeed(speed); };
    loop = std::move(timed);
  }
  form = std::make_unique<TFormView>(*window, *loop, hooks, options.params, Executable());
  scene = std::make_unique<TSceneBinding>(*form, *window, hooks,
                                          options.headless ? TSceneBinding::TCursorMode::System
                                                           : TSceneBinding::TCursorMode::Custom);
  scene->SetDesktop(options.headless ? CreateHeadlessDesktop() : CreateSdlDesktop());
  scene->SetFileChooser(MakeFileChooser(options.headless, options.file_answers));
  project = std::make_unique<TProjectBinding>(
      *form, hooks,
      TProjectBindingOptions{!options.params.empty(), options.trace_file, options.dump_vars_file});
  text = std::make_unique<TTextBinding>(*form, hooks);
  saves = std::make_unique<TSaveBinding>(*form, hooks, *project, *scene,
                                         options.headless ? TSaveReport::StandardError
                                                          : TSaveReport::MessageBox);
  midi = std::make_unique<TMidiBinding>(
      *form, hooks, TMidiBindingOptions{options.headless, options.midi_log_file});
  TMediaPlugins plugins;
  plugins.midi = midi->Factory();
  plugins.video = MakeVideoManager;
  media = std::make_unique<TMediaBinding>(
      *form, hooks, TMediaBindingOptions{options.headless, options.audio_out, std::move(plugins)});
  media->SetSceneSource([&scene] { return scene->Scene(); });
  midi->SetMediaSource([&media] { return media->Media(); });
  project->SetSceneSource([&scene] { return scene->Scene(); });
  text->SetVariablesSource([&project] { return project->Variables(); });
  scene->SetVariablesSource([&project] { return project->Variables(); });
  scene->SetImageCodeSource(
      [&project] { return project->Project() ? project->Project()->setting().image_code : 0; });
  form->Create();
  midi->ServeSystemVariables(project->Variables());
  if (!form->CloseRequested()) {
    // The window is active once it shows.
    form->HandleEvent({.kind = TWindowEventKind::Activate});
    if (options.headless)
      RunHeadless(options, *window, static_cast<THeadlessLoop&>(*loop), *form, tap);
    else
      RunWindow(options, *window, static_cast<TWindowLoop&>(*loop), *form, tap);
  }
  http.Cancel();
  form->Close();
  if (!options.screenshot.empty())
    Screenshot(*window, options.screenshot);
  return form->Failed() ? 1 : 0;
}

// What a run installs for the whole process, taken back when it ends.
struct TInstalledServices {
  TInstalledServices() = default;
  TInstalledServices(const TInstalledServices&) = delete;
  TInstalledServices& operator=(const TInstalledServices&) = delete;
  ~TInstalledServices() {
    SetMessageBox(nullptr);
    SetWallClockStart(std::nullopt);
    SetPlatformClock(nullptr);
  }
};

} // namespace

int PlayerMain(int argc, const char* const* argv) {
  TPlayerOptions options;
  std::string error;
  if (!ParsePlayerOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "novaplay: %s\n", error.c_str());
    PrintUsage(stderr);
    return 2;
  }
  if (options.help) {
    PrintUsage(stdout);
    return 0;
  }
  if (options.version) {
    std::printf("novaplay %s\n", kNovaVersion);
    return 0;
  }
  if (const std::optional<std::string> problem = CheckOutputPaths(options)) {
    std::fprintf(stderr, "novaplay: %s\n", problem->c_str());
    return 1;
  }
  if (!options.headless && !HasDisplay()) {
    std::fprintf(stderr,
                 "novaplay: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set), so the "
                 "window cannot open.\nRun the title headless instead, for example:\n"
                 "  novaplay --headless --frames 300 --screenshot shot.png TITLE_FOLDER\n");
    return 1;
  }
  InstallStopSignals();
  try {
    TVirtualClock virtual_clock;
    TScriptedMessageBox scripted(options.answers);
    TInstalledServices installed;
    if (options.headless) {
      // Whatever touches SDL later (audio) uses its dummy drivers.
      setenv("SDL_VIDEODRIVER", "dummy", 1);
      setenv("SDL_AUDIODRIVER", "dummy", 1);
      SetPlatformClock(&virtual_clock);
      SetWallClockStart(HeadlessWallClockStart());
    }
    if (options.headless || !options.answers.empty())
      SetMessageBox(&scripted);

    const bool config = !options.params.empty() && SameTextJ(options.params[0], "/config");
    // Headless runs take no lock, so that tests may run the same title side by side.
    std::unique_ptr<TInstanceLock> lock;
    if (!options.headless) {
      const std::string folder =
          options.params.empty() ? Executable().parent_path().string() : options.params[0];
      lock = TInstanceLock::TryAcquire(MutexName(Utf8ToSjis(folder)));
      if (!lock)
        return 0; // another player runs this title: end silently
    }
    std::vector<TStampedEvent> input;
    if (!options.input_file.empty())
      input = LoadInputScript(options.input_file);

    if (config)
      return RunConfig(options, input);
    std::error_code exists_error;
    if (!options.params.empty() && !std::filesystem::exists(options.params[0], exists_error)) {
      std::fprintf(stderr, "novaplay: no title folder or archive at %s\n",
                   options.params[0].c_str());
      return 1;
    }
    return RunPlayer(options, std::move(input), options.headless ? &virtual_clock : nullptr);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "novaplay: %s\n", SjisToUtf8(UserMessage(e)).c_str());
    return 1;
  }
}

} // namespace nova
