// SPDX-License-Identifier: GPL-3.0-or-later
#include "file/work_folder.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <string>

#include "file/help_page.h"
#include "file/work_folder_win32.h"
#include "messages/messages.h"
#include "text/wide_text_win32.h"

namespace zielwerk {
namespace {

constexpr wchar_t kDataFolderName[] = L"Daten";
constexpr wchar_t kWorkFolderName[] = L"Zielwerk";

// Windows' own text for error `code`, in the user's language.
std::string SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
      0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = length > 0 ? std::wstring(text, length) : L"Fehler " + std::to_wstring(code);
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ')) {
    message.pop_back();
  }
  return Utf8FromWide(message);
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The folder the program file lies in, without a trailing backslash; empty
// when Windows does not say.
std::wstring WideProgramFolder() {
  const std::wstring path = ProgramFilePath();
  const size_t separator = path.find_last_of(L'\\');
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

// True unless `path` is known not to exist. Anything in the way that cannot be
// looked at (no access, a dangling link) counts as present, so it is left alone.
bool Present(const std::wstring& path) {
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  const DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

// Copies `source` to `target` in `folder` unless `target` is there by then.
void AddFile(const std::wstring& source, const std::wstring& target, const std::wstring& folder) {
  const std::wstring partial = folder + L"\\.zielwerk-partial." + std::to_wstring(GetCurrentProcessId());
  DeleteFileW(partial.c_str());
  if (CopyFileW(source.c_str(), partial.c_str(), FALSE)) {
    SetFileAttributesW(partial.c_str(), FILE_ATTRIBUTE_NORMAL);
    const HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      const bool flushed = FlushFileBuffers(file);
      CloseHandle(file);
      // Without MOVEFILE_REPLACE_EXISTING: a file that appeared meanwhile stays.
      if (flushed) MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    }
  }
  DeleteFileW(partial.c_str());
}

}  // namespace

std::wstring ProgramFilePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return path.substr(0, length);
    // The path was cut to fit: try again with room for a longer one.
    path.resize(path.size() * 2);
  }
}

void AddMissingFiles(const std::wstring& source, const std::wstring& target) {
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileExW((source + L"\\*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                         nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring from = source + L"\\" + name;
    const std::wstring to = target + L"\\" + name;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      if (!Present(to)) CreateDirectoryW(to.c_str(), nullptr);
      // A link the user put there is not followed.
      const DWORD attributes = GetFileAttributesW(to.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
          (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        AddMissingFiles(from, to);
      }
    } else if (!Present(to)) {
      AddFile(from, to, target);
    }
  } while (FindNextFileW(search, &entry));
  FindClose(search);
}

std::string ProgramFolder() { return Utf8FromWide(WideProgramFolder()); }

WorkFolder EnterWorkFolder() {
  const std::wstring program_folder = WideProgramFolder();
  const std::wstring data_folder = program_folder + L"\\" + kDataFolderName;
  if (program_folder.empty() || !IsFolder(data_folder)) return {};

  WorkFolder result{.installed = true, .problem = {}};
  wchar_t* app_data = nullptr;
  const HRESULT found = SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &app_data);
  if (FAILED(found)) {
    CoTaskMemFree(app_data);
    result.problem =
        ComposeMessage(Message::kAppDataMissing, {SystemMessage(static_cast<DWORD>(found))});
    return result;
  }
  const std::wstring folder = std::wstring(app_data) + L"\\" + kWorkFolderName;
  CoTaskMemFree(app_data);
  if (!CreateDirectoryW(folder.c_str(), nullptr)) {
    const DWORD error = GetLastError();
    if (!IsFolder(folder)) {
      result.problem =
          ComposeMessage(Message::kWorkFolderNotMade, {Utf8FromWide(folder), SystemMessage(error)});
      return result;
    }
  }
  AddMissingFiles(data_folder, folder);
  if (!SetCurrentDirectoryW(folder.c_str())) {
    result.problem = ComposeMessage(Message::kWorkFolderNotEntered,
                                   {Utf8FromWide(folder), SystemMessage(GetLastError())});
  }
  return result;
}

}  // namespace zielwerk
