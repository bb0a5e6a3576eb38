// SPDX-License-Identifier: GPL-3.0-or-later
// Finding a settings file's picture where the settings went, and the words
// for a picture that cannot be sent.
#include "core/picture/picture_location.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/file/file_access.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

using testing::TempDir;
using testing::WriteFileBytes;

// The working folder is `folder` while the object lives.
class InFolder {
 public:
  explicit InFolder(const std::string& folder) : before_(std::filesystem::current_path()) {
    std::filesystem::current_path(testing::FsPath(folder));
  }
  ~InFolder() { std::filesystem::current_path(before_); }

 private:
  std::filesystem::path before_;
};

// The settings were copied to "stick/" with their picture; the working
// folder holds pictures of its own.
TEST(LocatePictureFileTest, TakesTheStoredPathElseTheNameBesideTheSettingsElseInTheWorkingFolder) {
  TempDir dir;
  std::filesystem::create_directory(testing::FsPath(dir.File("stick")));
  for (const char* name : {"stick/zug.bmp", "stick/both.bmp", "both.bmp", "work.bmp"}) {
    WriteFileBytes(dir.File(name), "BM");
  }
  const InFolder working(dir.path());
  const std::string settings = dir.File("stick/zug.ini");
  const struct {
    std::string stored;
    std::string found;
  } cases[] = {
      {dir.File("work.bmp"), dir.File("work.bmp")},
      {"/home/anna/bilder/zug.bmp", dir.File("stick/zug.bmp")},
      {"C:\\Users\\Anna\\Bilder\\zug.bmp", dir.File("stick/zug.bmp")},
      {"/weg/both.bmp", dir.File("stick/both.bmp")},
      {"/weg/work.bmp", WorkingFolder() + "work.bmp"},
      {"/weg/fehlt.bmp", "/weg/fehlt.bmp"},
      {"/weg/", "/weg/"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(LocatePictureFile(c.stored, settings), c.found) << c.stored;
}

TEST(PictureNotSentStatusTest, NamesTheFileAndWhy) {
  EXPECT_EQ(PictureNotSentStatus("/media/stick/Bilder/zug.bmp", PictureFileProblem::kMissing),
            "Bild „zug.bmp“ nicht gesendet: nicht gefunden");
  EXPECT_EQ(PictureNotSentStatus("zug.bmp", PictureFileProblem::kTooLarge),
            "Bild „zug.bmp“ nicht gesendet: größer als 64 MB");
}

}  // namespace
}  // namespace zielwerk
