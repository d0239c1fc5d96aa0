// SPDX-License-Identifier: MIT
#include "script/title_build.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "script/install_settings.h"
#include "script/page.h"
#include "script/text_form/page_text.h"
#include "script/text_form/project_text.h"
#include "vfs/big_stream.h"
#include "vfs/vr_file_collection.h"

namespace nova {
namespace {

namespace fs = std::filesystem;

constexpr char kPageSourceSuffix[] = ".nsb.txt";
constexpr char kProjectSource[] = "nova.npb.txt";
constexpr char kProjectFile[] = "nova.npb";

bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() &&
         s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string ReadText(const fs::path& path) {
  TMemoryStream m;
  m.LoadFromFile(path.string());
  return std::string(m.View());
}

void PutBytes(TVrFileCollection& archive, const std::string& name,
              const std::vector<uint8_t>& bytes) {
  TVrFile& e = archive.AddMemoryEntry(name);
  e.data->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

struct TPageJob {
  std::string name; // entry name, Shift-JIS with "\"
  std::unique_ptr<TPageSource> source;
};

} // namespace

void BuildTitle(const std::string& source_dir, const std::string& out_dir) {
  std::error_code ec;
  if (!fs::is_directory(source_dir, ec))
    TextFail(source_dir + ": not a folder");
  std::vector<fs::path> files;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(source_dir)) {
    if (e.is_regular_file())
      files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());

  TVrFileCollection archive;
  std::vector<TPageJob> pages;
  const TProjectSetting* project = nullptr;
  TProjectSetting project_setting;
  for (const fs::path& path : files) {
    std::string rel = fs::relative(path, source_dir).generic_string();
    std::string name = TextToSjis(rel, path.string());
    std::replace(name.begin(), name.end(), '/', '\\');
    if (rel == kProjectSource) {
      project_setting = AssembleProject(ReadText(path), path.string());
      project = &project_setting;
    } else if (EndsWith(rel, kPageSourceSuffix)) {
      name.resize(name.size() - 4); // drop ".txt"
      pages.push_back({name, std::make_unique<TPageSource>(ReadText(path), path.string())});
    } else {
      archive.AddFileEntry(name, path.string());
    }
  }
  if (!project)
    TextFail(source_dir + ": no project source " + kProjectSource);

  // Jumps may name labels of other pages: every page is parsed before any is built.
  auto resolve = [&pages](const std::string& page,
                          const std::string& label) -> std::optional<int32_t> {
    for (const TPageJob& job : pages) {
      if (!SameTextJ(job.name, page))
        continue;
      auto it = job.source->labels().find(label);
      if (it != job.source->labels().end())
        return it->second;
    }
    return std::nullopt;
  };
  for (const TPageJob& job : pages) {
    TPage page;
    page.set_name(job.name);
    job.source->Build(page, resolve);
    BinaryWriter w;
    page.Write(w);
    PutBytes(archive, job.name, w.data());
  }
  BinaryWriter project_bytes;
  project->Write(project_bytes);
  PutBytes(archive, kProjectFile, project_bytes.data());

  fs::create_directories(out_dir, ec);
  if (ec)
    TextFail(out_dir + ": cannot create the folder: " + ec.message());
  {
    TZpBigFileStream out((fs::path(out_dir) / "game.dat").string(), TBigFileMode::fmCreate);
    archive.WriteTo(out);
  }
  TNovaInstallSet install;
  install.disk = 1;
  install.title = project->title;
  install.fully_installed = true;
  BinaryWriter install_bytes;
  install.Write(install_bytes);
  TMemoryStream m;
  m.WriteBuffer(install_bytes.data().data(), static_cast<int64_t>(install_bytes.size()));
  m.SaveToFile((fs::path(out_dir) / "install.dat").string());
}

} // namespace nova
