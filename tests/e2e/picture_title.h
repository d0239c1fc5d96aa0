// SPDX-License-Identifier: MIT
// Pictures for end-to-end titles, drawn from text descriptions with `novatool image draw`, and
// the screenshot of a run compared with a committed reference picture.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "e2e/title_runner.h"
#include "golden_compare.h"
#include "graphics/dibx.h"

namespace nova::e2e {

// Draws `description` into the title's sources as `file` (".wsp" or ".png"); false with
// `error` set when the tool refuses it.
// Runs a novatool command (`image draw`, `film build`) on a text description, writing `file`
// into the title's sources.
inline bool BuildFromText(TTestTitle& title, const std::string& command, const std::string& file,
                          const std::string& description, std::string& error) {
  const std::filesystem::path text = title.Root() / (file + ".source.txt");
  std::ofstream(text) << description;
  const std::string tool = Tool("NOVA_TOOL", "/apps/novatool/novatool");
  const std::filesystem::path err = title.Root() / "tool.err";
  const std::string cmd = tool + " " + command + " " + text.string() + " -o " +
                          (title.Root() / "src" / file).string() + " 2> " + err.string();
  if (std::system(cmd.c_str()) == 0)
    return true;
  error = command + " of " + file + " failed: " + title.Slurp(err);
  return false;
}

inline bool DrawPicture(TTestTitle& title, const std::string& file, const std::string& description,
                        std::string& error) {
  return BuildFromText(title, "image draw", file, description, error);
}

// Plays `frames` frames (replaying `input` when given, with further player `options`) and loads
// the last presented picture.
inline bool Screenshot(TTestTitle& title, int frames, const std::string& input, TDIBX& shot,
                       std::string& error, std::map<std::string, std::string>* vars = nullptr,
                       const std::string& options = "") {
  const std::filesystem::path png = title.Root() / "shot.png";
  std::string extra = options + " --screenshot " + png.string();
  if (!input.empty()) {
    std::ofstream(title.Root() / "input.txt") << input;
    extra += " --input " + (title.Root() / "input.txt").string();
  }
  auto dumped = title.Run(frames, &error, extra);
  if (vars)
    *vars = std::move(dumped);
  if (!error.empty())
    return false;
  const std::string bytes = title.Slurp(png);
  if (bytes.empty()) {
    error = "no screenshot";
    return false;
  }
  shot.LoadFromStream(std::vector<uint8_t>(bytes.begin(), bytes.end()), png.string());
  return true;
}

using test::CompareWithGolden;

} // namespace nova::e2e
