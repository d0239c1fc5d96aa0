// SPDX-License-Identifier: MIT
#include "shell/font_install.h"

#include <system_error>

#include "base/nova_error.h"
#include "base/nova_error_english.h"
#include "base/sjis.h"
#include "platform/temp_folder.h"
#include "shell/texts.h"

namespace nova {

namespace {

bool IsPackedFontName(const std::string& sjis_name) {
  return sjis_name.size() >= 4 && SameTextJ(sjis_name.substr(sjis_name.size() - 4), ".nft");
}

} // namespace

std::vector<std::string> TFolderFontSource::RootEntries() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
    if (!entry.is_regular_file(error))
      continue;
    const std::string name = Utf8ToSjis(entry.path().filename().string());
    if (!IsPackedFontName(name))
      continue;
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, error);
    names.push_back(name);
  }
  return names;
}

void TFolderFontSource::CopyEntry(const std::string& name, const std::filesystem::path& to) {
  std::error_code error;
  std::filesystem::copy_file(folder_ / SjisToUtf8(name), to,
                             std::filesystem::copy_options::overwrite_existing, error);
  if (error)
    throw ENovaError(Utf8ToSjis("cannot copy " + (folder_ / SjisToUtf8(name)).string() + ": " +
                                error.message()));
}

TFontInstaller::TFontInstaller(std::filesystem::path temp_folder, TOffer offer)
    : temp_folder_(std::move(temp_folder)), offer_(std::move(offer)) {}

TFontInstaller::~TFontInstaller() {
  std::error_code error;
  for (const auto& path : installed_)
    std::filesystem::remove(path, error);
}

void TFontInstaller::Install(IFontSource& source) {
  for (const std::string& name : source.RootEntries()) {
    if (!IsPackedFontName(name))
      continue;
    std::filesystem::path work;
    try {
      work = CreateTempFile(temp_folder_, "font");
    } catch (const ENovaError&) {
      throw ENovaErrorWithEnglish(ShellTexts().work_file_failed,
                                  "No work file for the packed font " + name +
                                      " can be created in " + Utf8ToSjis(temp_folder_.string()) +
                                      ".");
    }
    bool accepted = false;
    try {
      source.CopyEntry(name, work);
      accepted = offer_ && offer_(work, name);
    } catch (...) {
      std::error_code error;
      std::filesystem::remove(work, error);
      throw;
    }
    if (accepted) {
      installed_.push_back(work);
    } else {
      std::error_code error;
      std::filesystem::remove(work, error);
    }
  }
}

} // namespace nova
