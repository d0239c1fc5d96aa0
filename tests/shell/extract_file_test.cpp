// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/sjis.h"
#include "shell/extract_file.h"
#include "test_files.h"
#include "vfs/vr_file_manager.h"

namespace nova {
namespace {

class ExtractFile : public ::testing::Test {
protected:
  void SetUp() override {
    root = test::TestDir("extract_file");
    title = root / "title";
    std::filesystem::create_directories(title / "data");
    for (const char* name : {"data/a.txt", "data/b.txt", "data/c.dat", "readme.txt"})
      std::ofstream(title / name) << "new " << name;
    ResetFileManager();
    FileManager().SetBaseFolder(title.string());
    context.title_folder = title.string();
    context.desktop_folder = (root / "Desktop").string();
    context.documents_folder = (root / "Documents").string();
    context.ask = [this](const std::string& text, TMsgButtons buttons) {
      asked.push_back(SjisToUtf8(text));
      several.push_back(buttons == TMsgButtons::YesNoAllCancel);
      return answers.empty() ? TMsgResult::No : answers[(asked.size() - 1) % answers.size()];
    };
  }
  void TearDown() override { ResetFileManager(); }

  std::filesystem::path root, title;
  TExtractContext context;
  std::vector<TMsgResult> answers;
  std::vector<std::string> asked;
  std::vector<bool> several;
};

TEST_F(ExtractFile, DestinationsStayInsideTheirFolders) {
  const struct {
    const char* destination;
    std::optional<std::filesystem::path> folder;
  } cases[] = {
      {"out", title / "out/"},
      {"\\out\\sub\\", title / "out/sub/"},
      {"..\\..\\etc", title / ""},
      {"C:\\Windows", title / ""},
      {"{Desktop}\\saves", root / "Desktop/saves/"},
      {"{MyDocuments}", root / "Documents/"},
      {"{Desktop}\\..\\x", root / "Desktop/"},
      {"{Temp}\\x", std::nullopt},
      {"{Desktop", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto got = ExtractDestination(c.destination, context);
    ASSERT_EQ(got.has_value(), c.folder.has_value()) << c.destination;
    if (got)
      EXPECT_EQ(std::filesystem::path(*got).lexically_normal(), c.folder->lexically_normal())
          << c.destination;
  }
}

TEST_F(ExtractFile, CopiesNamesAndPatternsAndAsksBeforeOverwriting) {
  TExtractRequest request;
  request.files = {"\\data\\*.TXT", "readme.txt", "missing.txt"};
  request.destination = "{Desktop}\\copy";
  EXPECT_TRUE(ExtractFiles(request, context));
  EXPECT_EQ(test::ReadAll(root / "Desktop/copy/a.txt"), "new data/a.txt");
  EXPECT_EQ(test::ReadAll(root / "Desktop/copy/b.txt"), "new data/b.txt");
  EXPECT_EQ(test::ReadAll(root / "Desktop/copy/readme.txt"), "new readme.txt");
  EXPECT_FALSE(std::filesystem::exists(root / "Desktop/copy/c.dat"));
  EXPECT_TRUE(asked.empty());

  // Every target exists now: the answers decide, in order of the files.
  const struct {
    std::vector<TMsgResult> answers;
    size_t questions;
    const char* written; // a, b, readme: 1 when overwritten
  } cases[] = {
      {{TMsgResult::No}, 3, "000"},
      {{TMsgResult::Yes, TMsgResult::No}, 3, "101"},
      {{TMsgResult::YesToAll}, 1, "111"},
      {{TMsgResult::No, TMsgResult::NoToAll}, 2, "000"},
      {{TMsgResult::Yes, TMsgResult::Cancel}, 2, "100"},
  };
  for (const auto& c : cases) {
    for (const char* name : {"a.txt", "b.txt", "readme.txt"})
      std::ofstream(root / "Desktop/copy" / name) << "old";
    answers = c.answers;
    asked.clear();
    several.clear();
    EXPECT_EQ(ExtractFiles(request, context), std::string(c.written) != "000");
    EXPECT_EQ(asked.size(), c.questions);
    std::string written;
    for (const char* name : {"a.txt", "b.txt", "readme.txt"})
      written += test::ReadAll(root / "Desktop/copy" / name) == "old" ? '0' : '1';
    EXPECT_EQ(written, c.written);
    EXPECT_TRUE(several.empty() || several[0]) << "several files offer the answers for all";
  }
  ASSERT_FALSE(asked.empty());
  EXPECT_NE(asked[0].find("既に同名のファイルが存在します。上書きしますか？"), std::string::npos);

  // One file, confirmation off: written without a question.
  request.files = {"readme.txt"};
  request.confirm = false;
  asked.clear();
  EXPECT_TRUE(ExtractFiles(request, context));
  EXPECT_TRUE(asked.empty());
  // No destination and nobody to choose one.
  request.destination.reset();
  EXPECT_FALSE(ExtractFiles(request, context));
  request.destination = "{Nowhere}";
  EXPECT_FALSE(ExtractFiles(request, context));
}

} // namespace
} // namespace nova
