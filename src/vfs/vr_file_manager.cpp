// SPDX-License-Identifier: MIT
#include "vfs/vr_file_manager.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <unordered_set>

#include "base/nova_error.h"
#include "base/run_state.h"
#include "base/sjis.h"
#include "platform/message_box.h"
#include "platform/pending_work_files.h"
#include "platform/temp_folder.h"
#include "vfs/native_names.h"
#include "vfs/private/cdrom_roots.h"
#include "vfs/private/file_io.h"
#include "vfs/private/loose_files.h"
#include "vfs/private/vfs_texts.h"

namespace nova {

namespace {

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/')
    folder.push_back('/');
  return folder;
}

// The disk prompt format with its one %d replaced; other % sequences are left as they are, so a
// damaged project text cannot make the formatting read arguments that are not there.
std::string FormatDiskPrompt(const std::string& format, int n) {
  std::string out;
  for (size_t i = 0; i < format.size(); i += CharBytes(format, i)) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 'd') {
      out += std::to_string(n);
      ++i;
    } else if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '%') {
      out.push_back('%');
      ++i;
    } else {
      out.append(format, i, CharBytes(format, i));
    }
  }
  return out;
}

// Makes a listed file or folder writable for its owner; a read-only file system is no error.
void ClearReadOnly(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && !(st.st_mode & S_IWUSR)) {
    ::chmod(path.c_str(), st.st_mode | S_IWUSR);
  }
}

} // namespace

TVrFileManager::TVrFileManager()
    : cdrom_roots_(MountedDiscRoots()), loose_(std::make_unique<TLooseFiles>()) {}

TVrFileManager::~TVrFileManager() {
  for (const std::string& path : locks_.TakeAll())
    PendingWorkFiles().Add(path);
  DeletePendingFiles();
  if (own_temp_folder_)
    ::rmdir(temp_folder_.c_str());
}

void TVrFileManager::SetBaseFolder(const std::string& native_folder) {
  base_folder_ = WithSlash(native_folder);
  if (on_added_)
    on_added_(nullptr);
}

void TVrFileManager::SetTempFolder(const std::string& native_folder) {
  temp_folder_ = WithSlash(native_folder);
  own_temp_folder_ = false;
}

std::string TVrFileManager::TempFolder() {
  if (temp_folder_.empty()) {
    // A private folder: players of several titles share the system's temporary folder.
    std::string pattern = (nova::TempFolder() / "novaplay-XXXXXX").string();
    if (char* made = ::mkdtemp(pattern.data())) {
      temp_folder_ = WithSlash(made);
      own_temp_folder_ = true;
    } else {
      throw WorkFileError("no private folder in " + nova::TempFolder().string());
    }
  }
  return temp_folder_;
}

void TVrFileManager::SetCdromRoots(std::vector<std::string> native_roots) {
  cdrom_roots_.clear();
  for (std::string& root : native_roots)
    AddCdromRoot(root);
}

void TVrFileManager::AddCdromRoot(const std::string& native_folder) {
  std::string root = WithSlash(native_folder);
  if (!root.empty() &&
      std::find(cdrom_roots_.begin(), cdrom_roots_.end(), root) == cdrom_roots_.end()) {
    cdrom_roots_.push_back(root);
  }
}

int TVrFileManager::Append(std::unique_ptr<TVrFileCollection> archive) {
  archives_.push_back(std::move(archive));
  if (on_added_)
    on_added_(archives_.back().get());
  return Count() - 1;
}

int TVrFileManager::AddArchive(const std::string& native_path, int64_t volume_size) {
  for (const auto& a : archives_) {
    if (!native_path.empty() &&
        (SameTextJ(a->Folder(), native_path) || SameTextJ(a->Folder(), WithSlash(native_path)))) {
      return -1;
    }
  }
  auto archive = std::make_unique<TVrFileCollection>();
  archive->Open(native_path, volume_size);
  return Append(std::move(archive));
}

int TVrFileManager::AddResourceArchive(const std::string& module_path,
                                       const std::string& resource_name,
                                       const std::string& resource_type) {
  auto archive = std::make_unique<TVrFileCollection>();
  const bool own = !executable_path_.empty() && SameTextJ(module_path, executable_path_);
  std::string path = module_path;
  if (!own && !IsRegularFile(path)) {
    // Another module is looked for beside the executable, then in the base folder.
    std::string exe_folder = executable_path_.substr(0, executable_path_.rfind('/') + 1);
    for (const std::string& root : {exe_folder, base_folder_}) {
      std::string found = loose_->FindFile(root, Utf8ToSjis(module_path));
      if (!found.empty()) {
        path = found;
        break;
      }
    }
  }
  if (own && !IsRegularFile(path))
    throw ResourceNotFoundError(path, resource_name, resource_type);
  archive->OpenResource(path, resource_name, resource_type);
  return Append(std::move(archive));
}

void TVrFileManager::RemoveArchive(int index) {
  if (index < 0 || index >= Count())
    return;
  if (on_removed_)
    on_removed_(*archives_[static_cast<size_t>(index)]);
  archives_.erase(archives_.begin() + index);
}

void TVrFileManager::Clear() {
  while (!archives_.empty())
    RemoveArchive(Count() - 1);
}

std::string TVrFileManager::FindLooseFile(std::string_view name) {
  if (name.empty())
    return "";
  return loose_->FindFile(base_folder_, name);
}

std::string TVrFileManager::FindOnDisc(std::string_view name) {
  for (const std::string& root : cdrom_roots_) {
    std::string path = loose_->FindFile(root, name);
    if (!path.empty())
      return path;
  }
  return "";
}

bool TVrFileManager::Exists(std::string_view name) {
  if (name.empty())
    return false;
  for (const auto& a : archives_) {
    if (a->IndexOf(name) >= 0)
      return true;
  }
  return !FindLooseFile(name).empty() || !FindOnDisc(name).empty();
}

bool TVrFileManager::LoadFromArchives(TStream& stream, std::string_view name, int64_t max_bytes) {
  for (const auto& a : archives_) {
    int index = a->IndexOf(name);
    if (index < 0)
      continue;
    if (!a->Entry(index).data && !a->HasDataStream())
      continue;
    a->ReadEntry(stream, name, max_bytes);
    return true;
  }
  return false;
}

void TVrFileManager::Load(TStream& stream, std::string_view name, int64_t max_bytes) {
  auto* memory = dynamic_cast<TMemoryStream*>(&stream);
  if (memory)
    memory->Clear();
  std::string path = FindLooseFile(name);
  if (path.empty() && LoadFromArchives(stream, name, max_bytes))
    return;
  if (path.empty())
    path = FindOnDisc(name);
  if (path.empty())
    throw FileNotFoundError(std::string(name));
  if (memory) {
    memory->LoadFromFile(path, max_bytes);
  } else {
    TMemoryStream data;
    data.LoadFromFile(path, max_bytes);
    stream.WriteBuffer(data.Memory(), data.Size());
  }
  stream.SetPosition(0);
}

TMemoryStream TVrFileManager::Load(std::string_view name, int64_t max_bytes) {
  TMemoryStream data;
  Load(data, name, max_bytes);
  return data;
}

std::string TVrFileManager::GetFilePath(std::string_view name) {
  std::string loose = FindLooseFile(name);
  if (!loose.empty())
    return loose;
  const std::string key(name);
  bool in_archive = std::any_of(archives_.begin(), archives_.end(),
                                [&](const auto& a) { return a->IndexOf(name) >= 0; });
  if (!name.empty() && in_archive) {
    if (TVrLockData* lock = locks_.Find(key)) {
      ++lock->ref_count;
      return lock->path;
    }
    TVrLockData& lock = locks_.Add(key, TempFolder());
    const std::string path = lock.path;
    try {
      ::chmod(path.c_str(), 0644);
      TMemoryStream data;
      Load(data, name);
      FileHandle file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
      if (!file.valid())
        throw WorkFileError(path + " for " + key);
      WriteAtOrThrow(file, data.Memory(), data.Size(), 0, path);
    } catch (...) {
      locks_.Release(path);
      ::unlink(path.c_str());
      throw;
    }
    return path;
  }
  std::string disc = FindOnDisc(name);
  if (!disc.empty())
    return disc;
  return NativeRelativeName(name);
}

void TVrFileManager::ReleaseFilePath(const std::string& path) {
  std::string freed = locks_.Release(path);
  if (!freed.empty())
    PendingWorkFiles().Add(freed);
}

std::unique_ptr<TRangeStream> TVrFileManager::GetRangeStream(std::string_view name) {
  std::string loose = FindLooseFile(name);
  if (!loose.empty())
    return std::make_unique<TFileRangeStream>(loose, 0, 0);
  for (const auto& a : archives_) {
    int index = a->IndexOf(name);
    if (index < 0 || (!a->Entry(index).data && !a->HasDataStream()))
      continue;
    return a->OpenEntryRange(index);
  }
  std::string disc = FindOnDisc(name);
  if (!disc.empty())
    return std::make_unique<TFileRangeStream>(disc, 0, 0);
  throw FileNotFoundError(std::string(name));
}

void TVrFileManager::ListFiles(std::string_view folder, std::vector<std::string>& list) {
  for (const auto& a : archives_)
    a->ListFolder(folder, list);
  std::unordered_set<std::string> listed;
  for (const std::string& s : list)
    listed.insert(LowerCaseJ(s));
  std::string prefix(folder);
  if (!prefix.empty() && (prefix.back() != '\\' || IsTrailByteAt(prefix, prefix.size() - 1)))
    prefix.push_back('\\');
  std::vector<std::string> roots = {base_folder_};
  roots.insert(roots.end(), cdrom_roots_.begin(), cdrom_roots_.end());
  for (const std::string& root : roots) {
    std::string dir =
        folder.empty() ? (root.empty() ? std::string(".") : root) : loose_->Find(root, folder);
    if (dir.empty())
      continue;
    std::error_code ec;
    for (const auto& item : std::filesystem::directory_iterator(dir, ec)) {
      std::string path = item.path().string();
      ClearReadOnly(path);
      std::string name = prefix + Utf8ToSjis(item.path().filename().string());
      if (listed.insert(LowerCaseJ(name)).second)
        list.push_back(name);
    }
  }
}

const TVrFile* TVrFileManager::FindEntry(std::string_view name) {
  for (const auto& a : archives_) {
    int index = a->IndexOf(name);
    if (index >= 0)
      return &a->Entry(index);
  }
  return nullptr;
}

bool TVrFileManager::PromptForDisk(int n, const TDiskPrompt& prompt) {
  for (int i = Count() - 1; i >= 0; --i) {
    const std::string& file = archives_[static_cast<size_t>(i)]->FileName();
    bool on_disc =
        std::any_of(cdrom_roots_.begin(), cdrom_roots_.end(), [&](const std::string& root) {
          return file.size() > root.size() && file.compare(0, root.size(), root) == 0;
        });
    if (on_disc)
      RemoveArchive(i);
  }
  const std::string text = FormatDiskPrompt(prompt.prompt_format, n);
  const auto ask = [&](const std::string& message) {
    if (prompt.ask_ok_cancel)
      return prompt.ask_ok_cancel(message, prompt.caption);
    return ShowMessageBox(message, prompt.caption, TMsgButtons::OkCancel, TMsgIcon::Information) ==
           TMsgResult::Ok;
  };
  for (;;) {
    if (!ask(text)) {
      if (ask(prompt.quit_message)) {
        RunState().Terminating = true;
        if (prompt.close_window)
          prompt.close_window();
        return false;
      }
      continue;
    }
    for (const std::string& root : cdrom_roots_) {
      std::string game = loose_->FindFile(root, "game.dat");
      std::string install = loose_->FindFile(root, "install.dat");
      if (game.empty() || install.empty())
        continue;
      if (prompt.install_matches && prompt.install_matches(install, n)) {
        AddArchive(game);
        return true;
      }
    }
  }
}

void TVrFileManager::DeletePendingFiles() { PendingWorkFiles().DeleteAll(); }

namespace {

std::unique_ptr<TVrFileManager>& ManagerSlot() {
  static std::unique_ptr<TVrFileManager> manager;
  return manager;
}

} // namespace

TVrFileManager& FileManager() {
  auto& slot = ManagerSlot();
  if (!slot)
    slot = std::make_unique<TVrFileManager>();
  return *slot;
}

void ResetFileManager() { ManagerSlot().reset(); }

} // namespace nova
