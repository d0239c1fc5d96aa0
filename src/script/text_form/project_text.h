// SPDX-License-Identifier: MIT
#pragma once
#include <string>

#include "script/project_setting.h"

namespace nova {

// The readable text form of a project file (docs/page-text-form.md): one field a line, texts
// in UTF-8. Dumping a project and assembling the text gives the same bytes.
std::string DumpProject(const TProjectSetting& project);
// Raises a message naming `file` and the line on a fault, and for a field that the project
// version does not carry.
TProjectSetting AssembleProject(const std::string& utf8, const std::string& file);

} // namespace nova
