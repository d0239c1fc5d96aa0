// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <string_view>

namespace nova {

// UTF-8 relative path for a title file name (Shift-JIS, `\` separators): "a\b.txt" -> "a/b.txt".
// Separators are found before conversion, since a trail byte may equal '\'.
std::string NativeRelativeName(std::string_view sjis_name);

// The title file name for a UTF-8 relative path: '/' becomes `\`, UTF-8 becomes Shift-JIS.
std::string TitleNameFromNative(std::string_view utf8_relative);

// True when the name stays inside the folder it is extracted to: not empty, not absolute, no
// drive letter, no "." or ".." component, no empty component, no NUL byte.
bool IsContainedName(std::string_view sjis_name);

} // namespace nova
