// SPDX-License-Identifier: GPL-3.0-or-later
#include "file/file_access.h"

#include <windows.h>

#include <optional>

#include "text/wide_text_win32.h"

namespace zielwerk {
namespace {

class OwnedFile {
 public:
  explicit OwnedFile(HANDLE handle) : handle_(handle) {}
  ~OwnedFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  OwnedFile(const OwnedFile&) = delete;
  OwnedFile& operator=(const OwnedFile&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

const std::string_view kPathSeparators = "/\\";

FileReadOutcome ReadWholeFile(const std::string& path, std::string& bytes,
                              const FileReadRules& rules) {
  bytes.clear();
  const std::optional<std::wstring> wide_path = WideFromUtf8(path);
  if (!wide_path || wide_path->empty()) return FileReadOutcome::kMissing;
  // Others may go on reading, writing, renaming or deleting the file meanwhile,
  // as they may on Linux.
  OwnedFile file(CreateFileW(wide_path->c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
               ? FileReadOutcome::kMissing
               : FileReadOutcome::kUnreadable;
  }

  size_t limit = rules.max_bytes;
  if (rules.regular_file_only) {
    LARGE_INTEGER size{};
    if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &size) ||
        size.QuadPart < 0) {
      return FileReadOutcome::kUnreadable;
    }
    if (static_cast<uint64_t>(size.QuadPart) > rules.max_bytes) return FileReadOutcome::kTooLarge;
    limit = static_cast<size_t>(size.QuadPart);
    bytes.reserve(limit);
  }
  char buffer[8192];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
      bytes.clear();
      return FileReadOutcome::kUnreadable;
    }
    if (got == 0) break;
    const size_t room = limit - bytes.size();
    if (got > room) {
      if (!rules.regular_file_only) {
        bytes.clear();
        return FileReadOutcome::kUnreadable;
      }
      bytes.append(buffer, room);
      break;
    }
    bytes.append(buffer, got);
  }
  return FileReadOutcome::kRead;
}

bool IsRegularFile(const std::string& path) {
  const std::optional<std::wstring> wide = WideFromUtf8(path);
  if (!wide) return false;
  const DWORD attributes = GetFileAttributesW(wide->c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

std::string WorkingFolder() {
  const DWORD needed = GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) return "./";
  std::wstring folder(needed, L'\0');
  const DWORD length = GetCurrentDirectoryW(needed, folder.data());
  if (length == 0 || length >= needed) return "./";
  folder.resize(length);
  if (folder.back() != L'\\' && folder.back() != L'/') folder.push_back(L'\\');
  return Utf8FromWide(folder);
}

}  // namespace zielwerk
