// SPDX-License-Identifier: GPL-3.0-or-later
// Files on Windows: names with umlauts reach the file system whole, the INI
// store writes CR LF, and the safe save copes with a file that another
// program has open.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/file/file_access.h"
#include "core/ini/ini_store.h"
#include "core/ini/safe_save.h"
#include "core/picture/picture_reader.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

using testing::BytesEqual;
using testing::FsPath;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

const std::string kMark = "\xEF\xBB\xBF";

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(FsPath(folder))) {
    names.push_back(testing::Utf8Path(entry.path().filename()));
  }
  return names;
}

TEST(FileAccessWin32Test, UmlautPathsReachTheFileSystemWhole) {
  TempDir dir;
  const std::string folder = dir.File("Z\xC3\xBCrich \xC3\x84");  // "Zürich Ä"
  ASSERT_TRUE(std::filesystem::create_directory(FsPath(folder)));
  const std::string ini = folder + "/Gr\xC3\xBC\xC3\x9F" "e.ini";  // "Grüße.ini"

  OpenIni(ini);
  WriteIniText("Anfangsstation", "Alp Gr\xC3\xBCm");
  ASSERT_TRUE(CloseIni().ok);
  EXPECT_EQ(FolderNames(folder), std::vector<std::string>{"Gr\xC3\xBC\xC3\x9F" "e.ini"});
  EXPECT_TRUE(BytesEqual(kMark + "\r\nAnfangsstation = Alp Gr\xC3\xBCm\r\n", ReadFileBytes(ini)));
  ASSERT_TRUE(OpenIni(ini));
  EXPECT_EQ(ReadIniText("Anfangsstation", ""), "Alp Gr\xC3\xBCm");
  CloseIni();

  const std::string picture = folder + "/W\xC3\xA4gen.bmp";  // "Wägen.bmp"
  WriteFileBytes(picture, ReadFileBytes(testing::TestDataPath("picture/train.bmp")));
  EXPECT_TRUE(ReadPictureFile(picture).has_value());

  const std::filesystem::path old_folder = std::filesystem::current_path();
  std::filesystem::current_path(FsPath(folder));
  const std::string working = WorkingFolder();
  std::filesystem::current_path(old_folder);
  EXPECT_EQ(working, testing::Utf8Path(FsPath(folder).make_preferred() / ""));
}

// Another program has the file open for reading while it is saved, in the
// ways Windows programs open files.
struct OpenElsewhereCase {
  const char* name;
  DWORD sharing;  // the other program's share mode; 0 for the C runtime's fopen
  bool saved;
};

class SaveWhileOpenTest : public ::testing::TestWithParam<OpenElsewhereCase> {};

TEST_P(SaveWhileOpenTest, ReplacesTheFileOrLeavesItWhole) {
  const OpenElsewhereCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.File("Default.ini");
  const std::string old_content = kMark + "\r\nA = alt und etwas l\xC3\xA4nger\r\n";
  const std::string new_content = kMark + "\r\nA = neu\r\n";
  WriteFileBytes(path, old_content);

  HANDLE other = INVALID_HANDLE_VALUE;
  FILE* other_file = nullptr;
  if (c.sharing == 0) {
    other_file = _wfopen(FsPath(path).c_str(), L"rb");
    ASSERT_NE(other_file, nullptr);
  } else {
    other = CreateFileW(FsPath(path).c_str(), GENERIC_READ, c.sharing, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
  }
  const SaveResult result = WriteFileAtomically(path, new_content);
  if (other_file != nullptr) std::fclose(other_file);
  if (other != INVALID_HANDLE_VALUE) CloseHandle(other);

  EXPECT_EQ(result.ok, c.saved) << result.failed_call << " " << result.error_number;
  EXPECT_TRUE(BytesEqual(c.saved ? new_content : old_content, ReadFileBytes(path)));
  EXPECT_EQ(FolderNames(dir.path()), std::vector<std::string>{"Default.ini"})
      << "no temporary file may be left";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveWhileOpenTest,
    ::testing::Values(
        OpenElsewhereCase{"SharingEverything", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true},
        OpenElsewhereCase{"CRuntimeFopen", 0, true},
        OpenElsewhereCase{"SharingWriteNotDelete", FILE_SHARE_READ | FILE_SHARE_WRITE, true},
        OpenElsewhereCase{"SharingReadOnly", FILE_SHARE_READ, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileAccessWin32Test, ReadOnlyFileIsLeftAlone) {
  TempDir dir;
  const std::string path = dir.File("Schreibgesch\xC3\xBCtzt.ini");
  WriteFileBytes(path, "A = 1\r\n");
  ASSERT_TRUE(SetFileAttributesW(FsPath(path).c_str(), FILE_ATTRIBUTE_READONLY));
  const SaveResult result = WriteFileAtomically(path, "A = 2\r\n");
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(ReadFileBytes(path), "A = 1\r\n");
  SetFileAttributesW(FsPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace zielwerk
