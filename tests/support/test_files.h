// SPDX-License-Identifier: GPL-3.0-or-later
// Test fixtures shared by the suites: a temporary folder that cleans up after
// itself, whole-file reads and writes, and a byte comparison that says where
// two byte strings first differ.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace zielwerk::testing {

// Paths are UTF-8 text in the program and its tests. These turn them into
// std::filesystem paths and back without the system's narrow code page
// (which on Windows is not UTF-8).
std::filesystem::path FsPath(std::string_view utf8);
std::string Utf8Path(const std::filesystem::path& path);

// A fresh folder in the system's folder for temporary files ($TMPDIR, else
// /tmp, on Linux), removed with everything in it on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name.
  std::string File(std::string_view name) const;

 private:
  std::string path_;
};

// The whole content of a file; a file that cannot be read fails the calling
// test and gives "".
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, std::string_view bytes);
bool FileExists(const std::string& path);

// Passes when both are equal; otherwise names the first differing offset and
// shows sixteen bytes of each side from there in hex.
::testing::AssertionResult BytesEqual(std::string_view expected, std::string_view actual);

// Path of a fixture under tests/data.
std::string TestDataPath(std::string_view relative);

}  // namespace zielwerk::testing
