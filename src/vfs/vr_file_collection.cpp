// SPDX-License-Identifier: MIT
#include "vfs/vr_file_collection.h"

#include <unordered_set>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "vfs/private/file_io.h"
#include "vfs/private/loose_files.h"
#include "vfs/private/name_index.h"
#include "vfs/private/pe_resource.h"
#include "vfs/private/vfs_texts.h"
#include "vfs/private/zlib_codec.h"

namespace nova {

namespace {

constexpr char kTrailerMagic[2] = {'n', 'v'};
constexpr int64_t kTrailerSize = 6;

std::string LowerExtension(const std::string& native_path) {
  size_t slash = native_path.rfind('/');
  size_t dot = native_path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return "";
  return FoldNativeName(native_path.substr(dot));
}

std::string FolderOf(const std::string& native_path) {
  size_t slash = native_path.rfind('/');
  return slash == std::string::npos ? std::string("./") : native_path.substr(0, slash + 1);
}

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/')
    folder.push_back('/');
  return folder;
}

// The sibling with the extension ".ext", matched case-insensitively; "" when there is none.
std::string SideDirectoryOf(const std::string& native_path) {
  size_t slash = native_path.rfind('/');
  size_t dot = native_path.rfind('.');
  std::string stem = (dot != std::string::npos && (slash == std::string::npos || dot > slash))
                         ? native_path.substr(0, dot)
                         : native_path;
  std::string exact = stem + ".ext";
  if (IsRegularFile(exact))
    return exact;
  TLooseFiles loose;
  std::string folder = FolderOf(native_path);
  std::string name = stem.substr(slash == std::string::npos ? 0 : slash + 1) + ".ext";
  return loose.FindFile(folder, Utf8ToSjis(name));
}

// Splits a Shift-JIS name at its last `\` into folder part and file part.
std::string_view FolderPart(std::string_view name) {
  size_t cut = std::string_view::npos;
  for (size_t i = 0; i < name.size(); i += CharBytes(name, i)) {
    if (name[i] == '\\')
      cut = i;
  }
  return cut == std::string_view::npos ? std::string_view() : name.substr(0, cut);
}

thread_local std::vector<uint8_t> t_compressed;

} // namespace

namespace {

// An executable with an appended archive under another name (the README allows renaming it):
// it ends in the "nv" trailer and does not begin as an archive does.
bool LooksAppended(TZpBigStream& file) {
  const int64_t size = file.GetSize();
  if (size < kTrailerSize + 2)
    return false;
  uint8_t head[2], tail[2];
  file.SetPosition(0);
  if (file.Read(head, 2) != 2)
    return false;
  file.SetPosition(size - 2);
  if (file.Read(tail, 2) != 2)
    return false;
  file.SetPosition(0);
  return !(head[0] == 'v' && head[1] == 'f') && tail[0] == kTrailerMagic[0] &&
         tail[1] == kTrailerMagic[1];
}

} // namespace

bool HasTitleResource(const std::string& executable_path) {
  if (!IsRegularFile(executable_path))
    return false;
  TZpBigFileStream file(executable_path, TBigFileMode::fmOpenRead);
  std::optional<PeResourceLocation> where =
      FindPeResource(file, kTitleResourceName, kTitleResourceType);
  if (!where || where->size < 2)
    return false;
  char tail[2];
  file.SetPosition(where->offset + where->size - 2);
  return file.Read(tail, 2) == 2 && tail[0] == 'v' && tail[1] == 'f';
}

TVrFileCollection::TVrFileCollection() = default;
TVrFileCollection::~TVrFileCollection() = default;

std::string TVrFileCollection::What() const {
  std::string what = label_.empty() ? std::string("(archive in memory)") : label_;
  if (IsResource())
    what += " (resource " + resource_name_ + ")";
  return what;
}

std::string TVrFileCollection::EntryWhat(int index) const {
  return What() + ": entry \"" + Entry(index).name + "\"";
}

void TVrFileCollection::Reset(const std::string& native_path) {
  file_name_ = native_path;
  label_ = Utf8ToSjis(native_path);
  folder_ = WithSlash(native_path);
  resource_name_.clear();
  resource_type_.clear();
  resource_offset_ = 0;
  version_ = kArchiveVersion;
  data_.reset();
  entries_.clear();
  index_stale_ = true;
}

void TVrFileCollection::Adopt(TArchiveDirectory directory) {
  version_ = directory.version;
  entries_ = std::move(directory.entries);
  index_stale_ = true;
  CheckEntries();
}

// Every entry must lie inside the data stream, so reads and range streams never go astray.
void TVrFileCollection::CheckEntries() const {
  const int64_t data_size = data_ ? data_->GetSize() : 0;
  for (int i = 0; i + 1 < Count(); ++i) {
    const TVrFile& e = Entry(i);
    if (e.size < 0)
      throw ENovaError(EntryWhat(i) + ": negative size (offsets out of order)");
    if (e.position > data_size || e.size > data_size - e.position) {
      throw ENovaError(EntryWhat(i) + ": data lies past the end of the archive");
    }
  }
}

void TVrFileCollection::Open(const std::string& native_path, int64_t volume_size) {
  Reset(native_path);
  volume_size_ = volume_size;
  if (native_path.empty() || !IsRegularFile(native_path))
    return;
  folder_ = FolderOf(native_path);
  auto file =
      std::make_unique<TZpBigFileStream>(native_path, TBigFileMode::fmOpenRead, volume_size);
  const std::string what = What();
  const std::string ext = LowerExtension(native_path);
  if (ext == ".exe" || ext == ".scr" || LooksAppended(*file)) {
    int64_t size = file->GetSize();
    if (size < kTrailerSize)
      throw ENovaError(what + ": no archive trailer");
    uint8_t trailer[kTrailerSize];
    file->SetPosition(size - kTrailerSize);
    file->ReadBuffer(trailer, kTrailerSize, what);
    if (trailer[4] != kTrailerMagic[0] || trailer[5] != kTrailerMagic[1]) {
      throw ENovaError(what + ": no archive trailer");
    }
    int64_t start = static_cast<int64_t>(trailer[0] | trailer[1] << 8 | trailer[2] << 16 |
                                         static_cast<uint32_t>(trailer[3]) << 24);
    if (start > size - kTrailerSize)
      throw ENovaError(what + ": archive start past the end");
    file->SetPosition(start);
    TArchiveDirectory dir = ReadArchiveDirectory(*file, what);
    data_ = std::move(file);
    Adopt(std::move(dir));
    return;
  }
  std::string side = SideDirectoryOf(native_path);
  if (!side.empty()) {
    TZpBigFileStream dir_file(side, TBigFileMode::fmOpenRead);
    TArchiveDirectory dir = ReadArchiveDirectory(dir_file, Utf8ToSjis(side));
    data_ = std::move(file);
    Adopt(std::move(dir));
    return;
  }
  TArchiveDirectory dir = ReadArchiveDirectory(*file, what);
  data_ = std::move(file);
  Adopt(std::move(dir));
}

void TVrFileCollection::OpenResource(const std::string& module_path,
                                     const std::string& resource_name,
                                     const std::string& resource_type) {
  Reset(module_path);
  if (module_path.empty() || !IsRegularFile(module_path))
    return;
  folder_ = FolderOf(module_path);
  std::optional<PeResourceLocation> where;
  {
    TZpBigFileStream module(module_path, TBigFileMode::fmOpenRead);
    where = FindPeResource(module, resource_name, resource_type);
  }
  if (!where || where->size == 0)
    throw ResourceNotFoundError(module_path, resource_name, resource_type);
  auto stream = std::make_unique<TZpBigResourceStream>(module_path, resource_name, resource_type);
  resource_name_ = resource_name;
  resource_type_ = resource_type;
  resource_offset_ = where->offset;
  TArchiveDirectory dir = ReadArchiveDirectory(*stream, What());
  data_ = std::move(stream);
  Adopt(std::move(dir));
}

void TVrFileCollection::OpenStream(std::unique_ptr<TZpBigStream> stream, const std::string& what) {
  Reset("");
  label_ = what;
  stream->SetPosition(0);
  TArchiveDirectory dir = ReadArchiveDirectory(*stream, what);
  data_ = std::move(stream);
  Adopt(std::move(dir));
}

int TVrFileCollection::IndexOf(std::string_view name) const {
  if (index_stale_) {
    std::vector<std::string_view> names;
    names.reserve(entries_.size());
    for (const TVrFile& e : entries_)
      names.push_back(e.name);
    if (!index_)
      index_ = std::make_unique<TNameIndex>();
    index_->Build(names);
    index_stale_ = false;
  }
  return index_->Find(name);
}

void TVrFileCollection::ReadEntryData(int index, TMemoryStream& out, int64_t max_bytes) {
  const TVrFile& e = Entry(index);
  out.Clear();
  if (e.size == 0)
    return;
  if (!data_)
    throw ENovaError(EntryWhat(index) + ": the archive has no data");
  if (e.stored && e.size > max_bytes)
    throw ENovaError(EntryWhat(index) + ": " + std::to_string(e.size) + " bytes, more than the " +
                     std::to_string(max_bytes) + " such a file may hold");
  data_->SetPosition(e.position);
  if (e.stored) {
    out.SetSize(e.size);
    if (data_->Read(out.Memory(), e.size) != e.size) {
      out.Clear();
      throw ENovaError(EntryWhat(index) + ": unexpected end of the archive");
    }
    return;
  }
  t_compressed.resize(static_cast<size_t>(e.size));
  if (data_->Read(t_compressed.data(), e.size) != e.size) {
    throw ENovaError(EntryWhat(index) + ": unexpected end of the archive");
  }
  InflateZlib(t_compressed, out, EntryWhat(index), max_bytes);
}

void TVrFileCollection::ReadEntry(TStream& out, std::string_view name, int64_t max_bytes) {
  const int index = IndexOf(name);
  auto* memory = dynamic_cast<TMemoryStream*>(&out);
  TMemoryStream local;
  TMemoryStream& target = memory ? *memory : local;
  target.Clear();
  if (index >= 0 && Entry(index).data) {
    target.WriteBuffer(Entry(index).data->Memory(), Entry(index).data->Size());
  } else if (index >= 0 && data_) {
    ReadEntryData(index, target, max_bytes);
  } else {
    TLooseFiles loose;
    std::string path = loose.FindFile(folder_, name);
    if (path.empty() || path == file_name_)
      throw FileNotFoundError(std::string(name));
    target.LoadFromFile(path, max_bytes);
  }
  target.SetPosition(0);
  if (!memory) {
    out.WriteBuffer(local.Memory(), local.Size());
    out.SetPosition(0);
  }
}

std::unique_ptr<TRangeStream> TVrFileCollection::OpenEntryRange(int index) const {
  const TVrFile& e = Entry(index);
  if (e.data) {
    auto copy = std::make_unique<TZpBigMemoryStream>();
    copy->Memory().WriteBuffer(e.data->Memory(), e.data->Size());
    return std::make_unique<TRangeStream>(std::move(copy), 0, e.data->Size());
  }
  if (!data_)
    throw ENovaError(EntryWhat(index) + ": the archive has no data");
  // A window of size 0 would reach the end of the file: an empty entry gets an empty window.
  const int64_t start = e.size == 0 ? data_->GetSize() : e.position;
  if (IsResource()) {
    return std::make_unique<TResourceRangeStream>(file_name_, resource_name_, resource_type_, start,
                                                  e.size);
  }
  if (file_name_.empty()) {
    auto copy = std::make_unique<TZpBigMemoryStream>();
    data_->SetPosition(e.position);
    copy->CopyFrom(*data_, e.size);
    return std::make_unique<TRangeStream>(std::move(copy), 0, e.size);
  }
  return std::make_unique<TFileRangeStream>(file_name_, start, e.size, volume_size_);
}

TVrFile& TVrFileCollection::AddMemoryEntry(std::string_view name) {
  TVrFile e;
  e.name = std::string(name);
  e.data = std::make_shared<TMemoryStream>();
  entries_.push_back(std::move(e));
  index_stale_ = true;
  return entries_.back();
}

TVrFile& TVrFileCollection::AddFileEntry(std::string_view name, const std::string& native_path) {
  TVrFile e;
  e.name = std::string(name);
  e.source_path = native_path;
  entries_.push_back(std::move(e));
  index_stale_ = true;
  return entries_.back();
}

void TVrFileCollection::Delete(std::string_view name) {
  int index = IndexOf(name);
  if (index < 0)
    return;
  entries_.erase(entries_.begin() + index);
  index_stale_ = true;
}

void TVrFileCollection::WriteTo(TZpBigStream& out, const TArchiveEntryError& on_error) {
  WriteArchive(
      out, entries_,
      [this](const TVrFile& e, TMemoryStream& data) {
        ReadEntryData(static_cast<int>(&e - entries_.data()), data);
      },
      on_error, What());
}

void TVrFileCollection::ListFolder(std::string_view folder, std::vector<std::string>& list) const {
  if (!folder.empty() && folder.back() == '\\' && !IsTrailByteAt(folder, folder.size() - 1)) {
    folder.remove_suffix(1);
  }
  std::unordered_set<std::string> listed;
  for (const std::string& s : list)
    listed.insert(LowerCaseJ(s));
  for (const TVrFile& e : entries_) {
    if (e.name == kEofEntryName || !SameTextJ(FolderPart(e.name), folder))
      continue;
    if (listed.insert(LowerCaseJ(e.name)).second)
      list.push_back(e.name);
  }
}

} // namespace nova
