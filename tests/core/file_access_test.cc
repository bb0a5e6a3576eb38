// SPDX-License-Identifier: GPL-3.0-or-later
// Reading whole files and finding the working folder, on either system.
#include "core/file/file_access.h"

#include <filesystem>
#include <string>

#include "support/test_files.h"

namespace zielwerk {
namespace {

using testing::TempDir;
using testing::WriteFileBytes;

struct ReadCase {
  const char* name;
  bool regular_file_only;
  size_t max_bytes;
  FileReadOutcome outcome;
  std::string bytes;
};

class ReadWholeFileTest : public ::testing::TestWithParam<ReadCase> {};

// "data.bin" holds 5 bytes, "empty.bin" none, "folder" is a folder.
TEST_P(ReadWholeFileTest, GivesTheBytesOrSaysWhyNot) {
  const ReadCase& c = GetParam();
  TempDir dir;
  WriteFileBytes(dir.File("data.bin"), std::string("a\0b\r\n", 5));
  WriteFileBytes(dir.File("empty.bin"), "");
  std::filesystem::create_directory(testing::FsPath(dir.File("folder")));
  std::string bytes = "stale";
  EXPECT_EQ(ReadWholeFile(dir.File(c.name), bytes, FileReadRules{c.regular_file_only, c.max_bytes}),
            c.outcome);
  EXPECT_EQ(bytes, c.bytes);
}

constexpr size_t kAny = SIZE_MAX;

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadWholeFileTest,
    ::testing::Values(ReadCase{"data.bin", false, kAny, FileReadOutcome::kRead, {"a\0b\r\n", 5}},
                      ReadCase{"data.bin", true, 5, FileReadOutcome::kRead, {"a\0b\r\n", 5}},
                      ReadCase{"data.bin", true, 4, FileReadOutcome::kTooLarge, ""},
                      ReadCase{"data.bin", false, 4, FileReadOutcome::kUnreadable, ""},
                      ReadCase{"empty.bin", true, 0, FileReadOutcome::kRead, ""},
                      ReadCase{"missing.bin", false, kAny, FileReadOutcome::kMissing, ""},
                      ReadCase{"missing/x.bin", true, kAny, FileReadOutcome::kMissing, ""},
                      ReadCase{"folder", false, kAny, FileReadOutcome::kUnreadable, ""},
                      ReadCase{"folder", true, kAny, FileReadOutcome::kUnreadable, ""}));

TEST(WorkingFolderTest, NamesTheCurrentFolderWithATrailingSeparator) {
  // /home/anna/ on Linux, C:\Users\Anna\ on Windows.
  EXPECT_EQ(WorkingFolder(), testing::Utf8Path(std::filesystem::current_path() / ""));
}

}  // namespace
}  // namespace zielwerk
