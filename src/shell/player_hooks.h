// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/scene_input.h"
#include "platform/window.h"

namespace nova {

class TNovaBaseList;

// What the subsystems above the platform plug into the shell. Every member is optional: an
// empty one is skipped (and the documented default applies). All are called on the main thread.
struct TPlayerHooks {
  // --- Frame step, in the order it runs them ---
  std::function<bool()> has_project;        // false or empty: the frame does nothing
  std::function<void()> input_step;         // base list: key states, hit testing, clicks
  std::function<void()> interpreter_step;   // the project's Step: the call manager runs
  std::function<void()> update_step;        // base list: updates, idle events, removals
  std::function<bool()> deferred_save_load; // deferred save/load; true when a game was loaded
  std::function<void()> draw_step; // compose, present (IWindow::Present), clear changed rects

  // --- Archives: the base folder and each archive found, handed to the virtual file manager ---
  std::function<void(const std::filesystem::path&)> set_base_folder;
  std::function<void(const std::filesystem::path&)> add_archive;

  // The packed-font manager: true when it takes the font file (then kept until process end).
  std::function<bool(const std::filesystem::path& work, const std::string& name)> offer_packed_font;
  // "[Font] DefaultOnly" of the run settings: the glyph cache offers the standard faces only.
  std::function<void()> default_fonts_only;

  // The built-in functions' random generator, seeded once at start-up.
  std::function<void(uint32_t seed)> seed_random;

  // --- Project facts ---
  std::function<std::string()> project_title;      // Shift-JIS; quit confirmation, caption
  std::function<bool()> pause_when_inactive;       // the project's setting
  std::function<bool()> show_tool_bar;             // the project's tool-bar setting (default shown)
  std::function<std::pair<int, int>()> scene_size; // default 640 x 480
  // The display mode the project wants in full screen; the scene size when absent.
  std::function<std::pair<int, int>()> full_screen_size;

  // --- Activation: the media managers in their order (video, wave, WMP, Ogg, CD, MIDI) ---
  std::function<void()> media_pause;
  std::function<void()> media_resume;
  // The scene's sound switch (@SoundON), passed on to the sound managers.
  std::function<void(bool on)> media_sound_on;
  // First in every frame step: headless sound is rendered up to the game clock, media polled.
  std::function<void()> media_step;

  // --- Full-screen switching ---
  std::function<void()> free_scene_surfaces;   // "Bases.FreeDX"
  std::function<void()> reload_scene_surfaces; // "Bases.Reload"
  std::function<void()> video_suspend;         // "MediaSuspend"
  std::function<void()> video_resume;          // "MediaResume"
  std::function<void()> free_screen_surfaces;  // "ScreenMan.FreeDX"
  std::function<void()> midi_close;            // remembers position and playing, closes
  std::function<void()> midi_reopen;           // reopens, and resumes if it was playing
  std::function<void()> screen_bounds_changed; // "SetBounds": the window moved or resized
  // The monitor mode the screen manager chose for full screen; nullopt keeps the desktop's.
  std::function<std::optional<TDisplayMode>()> full_screen_mode;

  // --- Input: the scene's base list, once it exists ---
  ISceneInput* scene_input = nullptr;
  // Text fields over the scene see key, mouse and text events first; true when one took it.
  std::function<bool(const TWindowEvent&)> text_entry;
  // The scene was created: services that need it (text fields, the network) install themselves.
  std::function<void(TNovaBaseList&)> scene_created;

  // --- Start-up trace: each step name as it starts (does nothing by default) ---
  std::function<void(const std::string&)> trace;
};

} // namespace nova
