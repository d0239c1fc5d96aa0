// SPDX-License-Identifier: MIT
// A title folder for the player process tests: a project file and its start page.
#pragma once
#include <filesystem>
#include <fstream>
#include <string>

#include "base/binary_writer.h"
#include "script/page.h"
#include "script/project_setting.h"
#include "script/text_form/page_text.h"
#include "script/text_form/project_text.h"

namespace nova::test {

// Writes nova.npb (title "NovaPlayer", start page main.nsb) and main.nsb from `main_page`
// (page text form) into `folder`, created when missing. `project_lines` follow the defaults.
inline void WriteTitle(const std::filesystem::path& folder, const std::string& main_page,
                       const std::string& project_lines = "") {
  std::filesystem::create_directories(folder);
  const auto write = [&folder](const char* name, const std::vector<uint8_t>& bytes) {
    std::ofstream(folder / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  };
  BinaryWriter project;
  AssembleProject("project 116\ntitle \"NovaPlayer\"\nstart \"main.nsb\"\n" + project_lines,
                  "nova.npb.txt")
      .Write(project);
  write("nova.npb", project.Take());
  TPage page;
  page.set_name("main.nsb");
  TPageSource(main_page, "main.nsb.txt").Build(page);
  BinaryWriter bytes;
  page.Write(bytes);
  write("main.nsb", bytes.Take());
}

} // namespace nova::test
