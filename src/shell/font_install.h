// SPDX-License-Identifier: MIT
#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace nova {

// Where packed fonts come from: an archive as the virtual file manager opened it, or the
// title's base folder when it has no archive.
class IFontSource {
public:
  virtual ~IFontSource() = default;
  // Names (Shift-JIS) of the entries in the root folder.
  virtual std::vector<std::string> RootEntries() = 0;
  // Copies entry `name` into the existing file `to`; throws ENovaError when it cannot.
  virtual void CopyEntry(const std::string& name, const std::filesystem::path& to) = 0;
};

// The files ending in ".nft" directly in a folder (not in sub-folders). Listing a file makes it
// writable again, as the system clears the read-only attribute of what it lists.
class TFolderFontSource final : public IFontSource {
public:
  explicit TFolderFontSource(std::filesystem::path folder) : folder_(std::move(folder)) {}
  std::vector<std::string> RootEntries() override;
  void CopyEntry(const std::string& name, const std::filesystem::path& to) override;

private:
  std::filesystem::path folder_;
};

// Installs the packed fonts of each archive as it is added (the virtual file manager's
// archive-added callback) or of the base folder: every ".nft" entry of the root is copied into a
// "font" work file in `temp_folder` and offered to the packed-font manager. Accepted files stay
// until this object goes away (process end); refused ones are deleted at once.
class TFontInstaller {
public:
  // `offer` is the packed-font manager's: true when it took the work file; `name` is the
  // entry's name in the title (Shift-JIS), which its messages use.
  using TOffer = std::function<bool(const std::filesystem::path& work, const std::string& name)>;
  TFontInstaller(std::filesystem::path temp_folder, TOffer offer);
  ~TFontInstaller();
  TFontInstaller(const TFontInstaller&) = delete;
  TFontInstaller& operator=(const TFontInstaller&) = delete;

  // Throws ENovaError "作業用ファイルが作成できません" when no work file can be created.
  void Install(IFontSource& source);
  const std::vector<std::filesystem::path>& Installed() const { return installed_; }

private:
  std::filesystem::path temp_folder_;
  TOffer offer_;
  std::vector<std::filesystem::path> installed_;
};

} // namespace nova
