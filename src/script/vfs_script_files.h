// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

#include "script/project_services.h"
#include "script/script_host.h"

namespace nova {

class TVrFileManager;

// The title's files through the virtual file manager.
class TVfsScriptFiles final : public IScriptFiles {
public:
  // Pages and project files are far smaller; a larger entry is refused before it is inflated.
  static constexpr int64_t kMaxScriptFileBytes = int64_t{32} << 20;

  TVfsScriptFiles(TVrFileManager& vfs, IScriptDialogs& dialogs) : vfs_(vfs), dialogs_(dialogs) {}

  bool Exists(const std::string& name) override;
  std::vector<uint8_t> Load(const std::string& name) override;
  // Removes the disc archives and asks until a disc whose "install.dat" carries the title and
  // the disk number is in.
  bool PromptForDisk(int32_t disk, const TDiskTexts& texts) override;

private:
  TVrFileManager& vfs_;
  IScriptDialogs& dialogs_;
};

// The data location as the player sees it: the executable's folder and the disks on the file
// system, the archives of the virtual file manager.
class TVfsTitleLocation final : public ITitleLocation {
public:
  explicit TVfsTitleLocation(TVrFileManager& vfs) : vfs_(vfs) {}

  std::string ExecutableFolder() override;
  bool FileExists(const std::string& path) override;
  std::vector<uint8_t> ReadFile(const std::string& path) override;
  std::vector<std::string> CdRomRoots() override;
  std::string BaseFolder() override;
  void SetBaseFolder(const std::string& folder) override;
  int32_t ArchiveCount() override;
  void AddArchive(const std::string& path) override;

private:
  TVrFileManager& vfs_;
};

} // namespace nova
