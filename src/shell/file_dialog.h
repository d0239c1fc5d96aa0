// SPDX-License-Identifier: MIT
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "shell/shell_funcs.h"

namespace nova {

class IDialogHost;

// The state of the file dialogs of SelectOpenFile, SelectSaveFile and SelectDirectory: the
// folder shown, its entries (folders first, files that match the filter), the name typed.
// Paths are native (UTF-8, "/").
class TFileDialogModel {
public:
  // `sjis_filter` is "Description|*.a;*.b|Description|*.c..." (the first pair's patterns apply);
  // empty: every file.
  TFileDialogModel(TFileDialogKind kind, const std::string& folder, const std::string& sjis_filter);

  struct Entry {
    std::string name;
    bool folder = false;
  };
  TFileDialogKind Kind() const { return kind_; }
  const std::string& Folder() const { return folder_; }
  const std::vector<Entry>& Entries() const { return entries_; }
  std::string name; // the file name typed or picked

  // Enters a folder of the list (or ".." for the parent) and lists it.
  void Enter(const std::string& entry);
  // The path to answer, or none when the choice is not acceptable: an open dialog needs an
  // existing file, a save dialog a name, a directory dialog answers the folder shown.
  std::optional<std::string> Choice() const;

private:
  void List();

  TFileDialogKind kind_;
  std::string folder_;
  std::vector<std::string> patterns_;
  std::vector<Entry> entries_;
};

// Runs the dialog in `host` from `folder`; the path chosen, or none when cancelled. A save
// dialog asks before it answers an existing file.
std::optional<std::string> RunFileDialog(IDialogHost& host, TFileDialogKind kind,
                                         const std::string& folder, const std::string& sjis_filter);

// The chooser of a run: a dialog window starting on the desktop folder, or, headless, the
// given answers in order (none left, or an empty one: cancelled).
TFileChooser MakeFileChooser(bool headless, std::vector<std::string> answers);

} // namespace nova
