// SPDX-License-Identifier: MIT
#include "shell/extract_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "base/sjis.h"
#include "shell/texts.h"
#include "shell/wildcard.h"
#include "vfs/vr_file_manager.h"

namespace nova {

namespace {

// Byte index just after the last single-byte "\" of `s` (0 when none).
size_t AfterLastBackslash(std::string_view s) {
  size_t found = 0;
  for (size_t i = 0; i < s.size(); i += CharBytes(s, i)) {
    if (s[i] == '\\' && CharBytes(s, i) == 1)
      found = i + 1;
  }
  return found;
}

std::string DropLeadingBackslash(std::string s) {
  if (!s.empty() && s.front() == '\\')
    s.erase(0, 1);
  return s;
}

// A relative title path (Shift-JIS, "\") appended to a native folder.
std::string Join(const std::string& folder, const std::string& sjis_relative) {
  std::string rel = SjisToUtf8(sjis_relative);
  for (char& c : rel) {
    if (c == '\\')
      c = '/';
  }
  std::string out = folder;
  if (!out.empty() && out.back() != '/')
    out += '/';
  return out + rel;
}

bool Unsafe(std::string_view path) {
  return path.find("..") != std::string_view::npos || path.find(':') != std::string_view::npos;
}

// The title files an element names.
std::vector<std::string> Expand(const std::string& element) {
  const std::string name = DropLeadingBackslash(element);
  if (name.find_first_of("*?") == std::string::npos)
    return {name};
  const size_t cut = AfterLastBackslash(name);
  const std::string folder = name.substr(0, cut ? cut - 1 : 0);
  std::vector<std::string> listed, out;
  FileManager().ListFiles(folder, listed);
  for (const std::string& file : listed) {
    const std::string_view base = std::string_view(file).substr(AfterLastBackslash(file));
    if (WildcardMatch(std::string_view(name).substr(cut), base))
      out.push_back(file);
  }
  // In name order, as the folder listings of the original platform give them.
  std::sort(out.begin(), out.end(),
            [](const std::string& a, const std::string& b) { return CompareTextJ(a, b) < 0; });
  return out;
}

bool WriteFile(const std::string& path, std::string_view data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  return static_cast<bool>(out);
}

} // namespace

std::optional<std::string> ExtractDestination(const std::string& sjis_destination,
                                              const TExtractContext& context) {
  std::string dest = sjis_destination;
  if (AfterLastBackslash(dest) != dest.size())
    dest += '\\';
  std::string folder = context.title_folder;
  if (!dest.empty() && dest.front() == '{') {
    const size_t close = dest.find('}');
    const std::string special = dest.substr(1, close == std::string::npos ? 0 : close - 1);
    if (close == std::string::npos)
      return std::nullopt;
    if (special == "Desktop")
      folder = context.desktop_folder;
    else if (special == "MyDocuments")
      folder = context.documents_folder;
    else
      return std::nullopt;
    dest.erase(0, close + 1);
  }
  dest = DropLeadingBackslash(dest);
  if (Unsafe(dest))
    dest.clear();
  return Join(folder, dest);
}

bool ExtractFiles(const TExtractRequest& request, const TExtractContext& context) {
  std::optional<std::string> folder;
  if (request.destination)
    folder = ExtractDestination(*request.destination, context);
  else if (context.choose_folder)
    folder = context.choose_folder();
  if (!folder)
    return false;
  std::error_code ec;
  std::filesystem::create_directories(*folder, ec);
  if (!std::filesystem::is_directory(*folder, ec))
    return false;

  const bool several = request.files.size() >= 2;
  bool confirm = request.confirm, skip_existing = false, written = false;
  TVrFileManager& vfs = FileManager();
  for (const std::string& element : request.files) {
    for (const std::string& file : Expand(element)) {
      if (file.empty() || !vfs.Exists(file))
        continue;
      const std::string target = Join(*folder, file.substr(AfterLastBackslash(file)));
      if (std::filesystem::exists(target, ec)) {
        if (skip_existing)
          continue;
        if (confirm && context.ask) {
          const std::string& format = ShellTexts().overwrite_question;
          std::string text = format;
          text.replace(text.find("%s"), 2, Utf8ToSjis(target));
          switch (context.ask(text, several ? TMsgButtons::YesNoAllCancel : TMsgButtons::YesNo)) {
          case TMsgResult::Yes:
          case TMsgResult::Ok:
            break;
          case TMsgResult::YesToAll:
            confirm = false;
            break;
          case TMsgResult::NoToAll:
            skip_existing = true;
            continue;
          case TMsgResult::Cancel:
            return written;
          default:
            continue;
          }
        }
      }
      if (WriteFile(target, vfs.Load(file).View()))
        written = true;
    }
  }
  return written;
}

} // namespace nova
