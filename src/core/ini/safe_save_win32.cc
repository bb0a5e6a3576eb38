// SPDX-License-Identifier: GPL-3.0-or-later
#include "ini/safe_save.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <random>

#include "text/wide_text_win32.h"

namespace zielwerk {
namespace {

SaveResult Failure(const char* call, DWORD error) {
  return SaveResult{false, static_cast<int>(error), call};
}

class OwnedFile {
 public:
  explicit OwnedFile(HANDLE handle) : handle_(handle) {}
  ~OwnedFile() { Close(); }
  OwnedFile(const OwnedFile&) = delete;
  OwnedFile& operator=(const OwnedFile&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  void Close() {
    if (valid()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

bool WriteAll(HANDLE file, std::string_view bytes, DWORD& error) {
  while (!bytes.empty()) {
    const DWORD wanted = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1 << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), wanted, &written, nullptr)) {
      error = GetLastError();
      return false;
    }
    if (written == 0) {
      error = ERROR_WRITE_FAULT;
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

bool SetLength(HANDLE file, int64_t length) {
  LARGE_INTEGER position{};
  position.QuadPart = length;
  return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

// Writes over the file itself, for when no copy can take its place.
SaveResult RewriteInPlace(const std::wstring& target, std::string_view bytes) {
  // Sharing read access only: a program that merely reads the file may keep
  // it open, one that writes it makes this open fail.
  OwnedFile file(CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return Failure("CreateFileW", GetLastError());
  LARGE_INTEGER old_size{};
  if (!GetFileSizeEx(file.get(), &old_size)) return Failure("GetFileSizeEx", GetLastError());
  const auto new_size = static_cast<int64_t>(bytes.size());
  // Overwriting first and running out of space after would leave neither the
  // old content nor the new: a growing file claims its space before a byte of
  // it changes, and on failure gets back its old length.
  if (old_size.QuadPart < new_size && !SetLength(file.get(), new_size)) {
    const DWORD error = GetLastError();
    SetLength(file.get(), old_size.QuadPart);
    return Failure("SetEndOfFile", error);
  }
  if (!SetFilePointerEx(file.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN)) {
    return Failure("SetFilePointerEx", GetLastError());
  }
  // Truncating first would lose the old content on a short write; write over
  // it, then cut what is left of a longer old file.
  DWORD error = ERROR_SUCCESS;
  if (!WriteAll(file.get(), bytes, error)) return Failure("WriteFile", error);
  if (!SetEndOfFile(file.get())) return Failure("SetEndOfFile", GetLastError());
  if (!FlushFileBuffers(file.get())) return Failure("FlushFileBuffers", GetLastError());
  return SaveResult{true, 0, {}};
}

// Creates a new, uniquely named file beside the target; `name` gets its path.
HANDLE CreateTemporary(const std::wstring& folder, const std::wstring& base, std::wstring& name) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = folder + L"." + base + L".tmp" + std::to_wstring(random() % 1000000);
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      SetLastError(error);
      break;
    }
  }
  name.clear();
  return INVALID_HANDLE_VALUE;
}

}  // namespace

SaveResult WriteFileAtomically(const std::string& path, std::string_view bytes) {
  if (path.empty()) return Failure("CreateFileW", ERROR_FILE_NOT_FOUND);
  const std::optional<std::wstring> wide_target = WideFromUtf8(path);
  if (!wide_target) return Failure("CreateFileW", ERROR_INVALID_NAME);
  const std::wstring& target = *wide_target;
  const size_t separator = target.find_last_of(L"\\/:");
  const std::wstring folder = separator == std::wstring::npos ? L"" : target.substr(0, separator + 1);
  const std::wstring base = separator == std::wstring::npos ? target : target.substr(separator + 1);

  const DWORD attributes = GetFileAttributesW(target.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return Failure("GetFileAttributesW", ERROR_DIRECTORY);
  }
  // A file its owner made read-only stays as it is, although a rename could
  // replace it.
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return Failure("GetFileAttributesW", ERROR_ACCESS_DENIED);
  }

  std::wstring temporary_name;
  OwnedFile temporary(CreateTemporary(folder, base, temporary_name));
  if (!temporary.valid()) {
    const DWORD error = GetLastError();
    if (exists && error == ERROR_ACCESS_DENIED) return RewriteInPlace(target, bytes);
    return Failure("CreateFileW", error);
  }
  const auto abandon = [&](const char* call, DWORD error) {
    temporary.Close();
    DeleteFileW(temporary_name.c_str());
    return Failure(call, error);
  };

  DWORD error = ERROR_SUCCESS;
  if (!WriteAll(temporary.get(), bytes, error)) return abandon("WriteFile", error);
  if (!FlushFileBuffers(temporary.get())) return abandon("FlushFileBuffers", GetLastError());
  temporary.Close();
  // A hidden or system file stays so.
  if (exists) {
    SetFileAttributesW(temporary_name.c_str(),
                       attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                     FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED));
  }

  RunBeforeReplaceHook();

  if (!MoveFileExW(temporary_name.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD move_error = GetLastError();
    DeleteFileW(temporary_name.c_str());
    // Another program has the file open without letting it be deleted or
    // renamed (the C runtime's fopen opens files so): the rename cannot
    // replace it, but the file may still be written.
    if (exists && (move_error == ERROR_ACCESS_DENIED || move_error == ERROR_SHARING_VIOLATION)) {
      return RewriteInPlace(target, bytes);
    }
    return Failure("MoveFileExW", move_error);
  }
  return SaveResult{true, 0, {}};
}

std::optional<Message> KnownSaveFailure(int error_number) {
  switch (static_cast<DWORD>(error_number)) {
    case ERROR_ACCESS_DENIED:
      return Message::kSaveNoPermission;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return Message::kSaveNoFolder;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return Message::kSaveDiskFull;
    case ERROR_WRITE_PROTECT:
      return Message::kSaveWriteProtected;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return Message::kSaveFileHeld;
    default:
      return std::nullopt;
  }
}

}  // namespace zielwerk
