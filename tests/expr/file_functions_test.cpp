// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "expr_test_util.h"
#include "vfs/vr_file_manager.h"

namespace nova {
namespace {

TEST(FileFunctions, NamesAndPaths) {
  TParamCollection vars;
  // "表" is 0x95 0x5C: its second byte is never a "\".
  const std::pair<const char*, const char*> cases[] = {
      {"ExtractFilePath(\"data\\\\bg\\\\a.wsp\")", "S:data\\bg\\"},
      {"ExtractFilePath(\"a.wsp\")", "S:"},
      {"ExtractFilePath(\"C:a.wsp\")", "S:C:"},
      {"ExtractFilePath(\"表\")", "S:"},
      {"ExtractFileName(\"data\\\\bg\\\\a.wsp\")", "S:a.wsp"},
      {"ExtractFileName(\"data\\\\表\")", "S:表"},
      {"ExtractFileExt(\"data\\\\a.b.wsp\")", "S:.wsp"},
      {"ExtractFileExt(\"data.x\\\\a\")", "S:"},
      {"ChangeFileExt(\"data\\\\a.wsp\", \".png\")", "S:data\\a.png"},
      {"ChangeFileExt(\"data.x\\\\a\", \".png\")", "S:data.x\\a.png"},
      {"AddBackSlash(\"data\")", "S:data\\"},
      {"AddBackSlash(\"data\\\\\")", "S:data\\"},
      {"AddBackSlash(\"表\")", "S:表\\"},
      {"IsPathDelimiter(\"a\\\\b\", 2)", "F:TRUE"},
      {"IsPathDelimiter(\"a\\\\b\", 1)", "F:FALSE"},
      {"IsPathDelimiter(\"表\", 2)", "F:FALSE"},
      {"IsPathDelimiter(\"a\\\\\", 3)", "F:FALSE"},
      {"IsDelimiter(\",;\", \"a;b\", 2)", "F:TRUE"},
      {"IsDelimiter(\",;\", \"a;b\", 0)", "F:FALSE"},
  };
  for (const auto& [text, result] : cases)
    EXPECT_EQ(Eval(vars, text), result) << text;
}

TEST(FileFunctions, TitleFiles) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("nova_file_functions_" + std::to_string(getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir / "text");
  std::ofstream(dir / "text" / "lines.txt", std::ios::binary) << "one\r\ntwo\nthree\r\n";
  std::ofstream(dir / "text" / "empty.txt", std::ios::binary) << "";
  ResetFileManager();
  FileManager().SetBaseFolder(dir.string());

  TParamCollection vars;
  vars.Declare("v", PT_STR, TVarScope::Global, nullptr);
  const std::pair<const char*, const char*> cases[] = {
      {"FileExists(\"TEXT\\\\Lines.txt\")", "F:TRUE"},
      {"FileExists(\"text\\\\none.txt\")", "F:FALSE"},
      {"FileExists(\"\")", "F:FALSE"},
      {"LoadTextFile(v, \"text\\\\empty.txt\")", "F:FALSE"},
      {"LoadTextFile(v, \"text\\\\none.txt\")", "F:FALSE"},
      {"LoadTextFile(v, \"text\\\\lines.txt\")", "F:TRUE"},
  };
  for (const auto& [text, result] : cases)
    EXPECT_EQ(Eval(vars, text), result) << text;
  EXPECT_EQ(VarOf(vars, "v"), "S:one,two,three");

  ResetFileManager();
  std::filesystem::remove_all(dir);
}

} // namespace
} // namespace nova
