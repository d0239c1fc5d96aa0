// SPDX-License-Identifier: MIT
// Builds a title from page sources with novatool and runs it with novaplay --headless.
#pragma once
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include <unistd.h>

namespace nova::e2e {

inline std::string Tool(const char* env, const char* fallback) {
  const char* set = std::getenv(env);
  return set && *set ? set : std::string(NOVA_BINARY_DIR) + fallback;
}

// A title of pages given as text sources; `main.nsb` is the start page.
class TTestTitle {
public:
  explicit TTestTitle(const std::string& name) {
    static std::atomic<int> serial{0};
    root_ = std::filesystem::temp_directory_path() /
            ("nova_e2e_" + name + "_" + std::to_string(getpid()) + "_" + std::to_string(serial++));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "src");
    Add("nova.npb.txt", "project 116\ntitle \"test\"\nstart \"main.nsb\"\n");
  }
  ~TTestTitle() { std::filesystem::remove_all(root_); }

  void Add(const std::string& file, const std::string& text) {
    std::ofstream(root_ / "src" / file) << text;
  }
  void Page(const std::string& name, const std::string& text) { Add(name + ".txt", text); }

  // Builds and plays `frames` frames; the variables at exit, by name, as "TYPE SCOPE FRAME =
  // VALUES". Empty with `error` set when the build or the run failed.
  std::map<std::string, std::string> Run(int frames, std::string* error = nullptr,
                                         const std::string& extra = "") {
    const std::string tool = Tool("NOVA_TOOL", "/apps/novatool/novatool");
    const std::string play = Tool("NOVA_PLAY", "/apps/novaplay/novaplay");
    const std::filesystem::path title = root_ / "title", dump = root_ / "vars.txt";
    std::string build = tool + " title build " + (root_ / "src").string() + " -o " +
                        title.string() + " 2> " + (root_ / "build.err").string();
    std::string run = play + " --headless --frames " + std::to_string(frames) + " --dump-vars " +
                      dump.string() + " " + extra + " " + title.string() + " 2> " +
                      (root_ / "run.err").string();
    std::map<std::string, std::string> vars;
    if (std::system(build.c_str()) != 0) {
      if (error)
        *error = "build failed: " + Slurp(root_ / "build.err");
      return vars;
    }
    if (std::system(run.c_str()) != 0 && error)
      *error = "run failed: " + Slurp(root_ / "run.err");
    std::istringstream lines(Slurp(dump));
    for (std::string line; std::getline(lines, line);) {
      const size_t space = line.find(' ');
      vars[line.substr(0, space)] = line.substr(space + 1);
    }
    return vars;
  }

  std::string Slurp(const std::filesystem::path& file) const {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  const std::filesystem::path& Root() const { return root_; }

private:
  std::filesystem::path root_;
};

// The value part of a dumped variable ("int global -1 = 5" gives "5"); empty when absent.
inline std::string ValueOf(const std::map<std::string, std::string>& vars,
                           const std::string& name) {
  auto it = vars.find(name);
  if (it == vars.end())
    return {};
  const size_t eq = it->second.find(" = ");
  return eq == std::string::npos ? std::string() : it->second.substr(eq + 3);
}

} // namespace nova::e2e
