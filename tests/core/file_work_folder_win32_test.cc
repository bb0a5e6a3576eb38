// SPDX-License-Identifier: GPL-3.0-or-later
// The installed program's working folder on Windows: the data files it lacks
// are added, the user's own are kept.
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/file/work_folder_win32.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

using testing::FsPath;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

std::vector<std::string> FilesBelow(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(FsPath(folder))) {
    names.push_back(testing::Utf8Path(std::filesystem::relative(entry.path(), FsPath(folder)).generic_wstring()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(WorkFolderWin32Test, MissingDataFilesAreAddedAndTheUsersOwnKept) {
  TempDir dir;
  const std::string data = dir.File("Daten");
  const std::string work = dir.File("J\xC3\xBCrgen");  // "Jürgen"
  std::filesystem::create_directories(FsPath(data + "/Icons"));
  std::filesystem::create_directories(FsPath(work));
  WriteFileBytes(data + "/wagen_REGIO_EXPRESS.bmp", "BM standard");
  WriteFileBytes(data + "/wagen_BERNINA_EXPRESS.bmp", "BM bernina");
  WriteFileBytes(data + "/Icons/Open.ico", "icon");
  SetFileAttributesW(FsPath(data + "/Icons/Open.ico").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteFileBytes(work + "/wagen_REGIO_EXPRESS.bmp", "mein eigenes Bild");

  AddMissingFiles(FsPath(data).make_preferred().wstring(), FsPath(work).make_preferred().wstring());

  EXPECT_EQ(FilesBelow(work), (std::vector<std::string>{"Icons", "Icons/Open.ico", "wagen_BERNINA_EXPRESS.bmp",
                                                       "wagen_REGIO_EXPRESS.bmp"}));
  EXPECT_EQ(ReadFileBytes(work + "/wagen_REGIO_EXPRESS.bmp"), "mein eigenes Bild");
  EXPECT_EQ(ReadFileBytes(work + "/wagen_BERNINA_EXPRESS.bmp"), "BM bernina");
  EXPECT_EQ(ReadFileBytes(work + "/Icons/Open.ico"), "icon");
  // The user may replace an icon even though the installed one is read-only.
  EXPECT_EQ(GetFileAttributesW(FsPath(work + "/Icons/Open.ico").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  SetFileAttributesW(FsPath(data + "/Icons/Open.ico").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The path the work folder and the taskbar's relaunch command are found by.
TEST(WorkFolderWin32Test, ProgramFilePathNamesThisProgramFile) {
  const std::wstring path = ProgramFilePath();
  EXPECT_TRUE(path.ends_with(L"\\file_work_folder_win32_test.exe")) << testing::Utf8Path(path);
  EXPECT_TRUE(std::filesystem::path(path).is_absolute()) << testing::Utf8Path(path);
}

}  // namespace
}  // namespace zielwerk
