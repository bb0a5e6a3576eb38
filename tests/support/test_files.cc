// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/test_files.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace zielwerk::testing {

std::filesystem::path FsPath(std::string_view utf8) {
  return std::filesystem::path(
      std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8Path(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

TempDir::TempDir() {
  std::error_code error;
  // $TMPDIR first on Linux, GetTempPathW() on Windows.
  const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) ADD_FAILURE() << "no folder for temporary files: " << error.message();
  std::random_device random;
  const char* const kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = "zielwerk-test-";
    for (int i = 0; i < 6; ++i) name += kLetters[random() % 36];
    const std::filesystem::path candidate = folder / name;
    if (std::filesystem::create_directory(candidate, error)) {
      path_ = Utf8Path(candidate);
      return;
    }
    if (error) break;
  }
  ADD_FAILURE() << "cannot make a temporary folder in " << Utf8Path(folder) << ": " << error.message();
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Tests may have taken permissions away; give them back so everything can go.
  for (auto it = std::filesystem::recursive_directory_iterator(
           FsPath(path_), std::filesystem::directory_options::skip_permission_denied, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    if (!it->is_symlink(ignored)) {
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
    }
  }
  std::filesystem::remove_all(FsPath(path_), ignored);
}

std::string TempDir::File(std::string_view name) const { return path_ + "/" + std::string(name); }

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  if (!in) {
    ADD_FAILURE() << "cannot read " << path;
    return {};
  }
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) ADD_FAILURE() << "cannot write " << path;
}

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::symlink_status(FsPath(path), ignored));
}

namespace {
std::string HexWindow(std::string_view bytes, size_t from) {
  std::ostringstream out;
  char cell[4];
  for (size_t i = from; i < bytes.size() && i < from + 16; ++i) {
    std::snprintf(cell, sizeof cell, "%02X ", static_cast<unsigned char>(bytes[i]));
    out << cell;
  }
  if (from >= bytes.size()) out << "(end)";
  return out.str();
}
}  // namespace

::testing::AssertionResult BytesEqual(std::string_view expected, std::string_view actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  return ::testing::AssertionFailure()
         << "bytes differ at offset " << at << " (expected " << expected.size() << " bytes, got "
         << actual.size() << ")\n  expected: " << HexWindow(expected, at)
         << "\n  actual:   " << HexWindow(actual, at);
}

std::string TestDataPath(std::string_view relative) {
  return std::string(ZIELWERK_TEST_DATA_DIR) + "/" + std::string(relative);
}

}  // namespace zielwerk::testing
