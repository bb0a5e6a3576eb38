// zielwerk-launcher: starts Zielwerk in the user's own working folder.
//
// Zielwerk reads and writes its files (Zielstell.ini, Default.ini, the icons
// and train pictures) relative to its working folder, and a program installed
// under Program Files may not write beside itself. So this launcher makes
// %APPDATA%\Zielwerk, copies into it every installed data file (from the
// folder "Daten" beside the launcher) that is not there yet -- a file the user
// already has is never touched, so edited settings and replaced pictures
// survive updates -- and starts zielwerk.exe, which sits beside the launcher,
// in that folder with the launcher's arguments. It waits for the program and
// ends with its exit status. Errors are shown in a message box.
//
// With --bildwandler as its first argument it starts the picture maker,
// zielwerk-bildwandler.exe, there instead (its Start-menu entry does so),
// with the arguments after it: the pictures it saves then lie where Zielwerk
// looks for them first.
//
// ZIELWERK_PROGRAM, when set, names the program to start instead of the
// installed one (the package tests use it).
//
// Every path is UTF-16 from end to end: user names with umlauts are common.

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <iterator>
#include <string>

namespace {

constexpr wchar_t kTitle[] = L"Zielwerk";
constexpr wchar_t kProgramName[] = L"zielwerk.exe";
constexpr wchar_t kPictureMakerName[] = L"zielwerk-bildwandler.exe";
constexpr wchar_t kPictureMakerSwitch[] = L"--bildwandler";
constexpr wchar_t kDataFolderName[] = L"Daten";
constexpr wchar_t kWorkFolderName[] = L"Zielwerk";

// Windows' own text for error `code`, in the user's language.
std::wstring SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
      0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = length > 0 ? std::wstring(text, length) : L"Fehler " + std::to_wstring(code);
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ')) {
    message.pop_back();
  }
  return message;
}

// Shows `message` and the text of `code` in a German message box and ends.
[[noreturn]] void Fail(const std::wstring& message, DWORD code) {
  const std::wstring text = message + L"\n\n" + SystemMessage(code);
  MessageBoxW(nullptr, text.c_str(), kTitle, MB_OK | MB_ICONERROR);
  ExitProcess(1);
}

// The folder this launcher lies in, without a trailing backslash.
std::wstring OwnFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) Fail(L"Der Ort von Zielwerk kann nicht ermittelt werden.", GetLastError());
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L'\\'));
}

// The value of environment variable `name`, empty when it is not set.
std::wstring Environment(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
  value.resize(length < size ? length : 0);
  return value;
}

// %APPDATA%\Zielwerk, created if missing.
std::wstring WorkFolder() {
  wchar_t* app_data = nullptr;
  const HRESULT result = SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &app_data);
  if (FAILED(result)) {
    CoTaskMemFree(app_data);
    Fail(L"Der Ordner für Anwendungsdaten (%APPDATA%) ist nicht zu finden.", static_cast<DWORD>(result));
  }
  std::wstring folder = std::wstring(app_data) + L"\\" + kWorkFolderName;
  CoTaskMemFree(app_data);
  if (!CreateDirectoryW(folder.c_str(), nullptr)) {
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (error != ERROR_ALREADY_EXISTS || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      Fail(L"Der Arbeitsordner kann nicht angelegt werden:\n" + folder, error);
    }
  }
  return folder;
}

// True unless `path` is known not to exist. Anything in the way that cannot be
// looked at (no access, a dangling link) counts as present, so it is left alone.
bool Present(const std::wstring& path) {
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  const DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

// Copies `source` to `target` in folder `folder` unless `target` exists. The
// copy is made under a temporary name, written through to the disk and then
// renamed without replacing: an interrupted copy never leaves a truncated
// file that later starts would keep, and a file that has appeared meanwhile
// stays as it is. A file that cannot be copied is skipped; the program copes.
void AddFile(const std::wstring& source, const std::wstring& target, const std::wstring& folder) {
  const std::wstring partial = folder + L"\\.zielwerk-partial." + std::to_wstring(GetCurrentProcessId());
  DeleteFileW(partial.c_str());
  if (CopyFileW(source.c_str(), partial.c_str(), FALSE)) {
    // A read-only installed file would stay read-only for the user otherwise.
    SetFileAttributesW(partial.c_str(), FILE_ATTRIBUTE_NORMAL);
    const HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      const bool flushed = FlushFileBuffers(file);
      CloseHandle(file);
      if (flushed) MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    }
  }
  DeleteFileW(partial.c_str());
}

// Adds what is missing from folder `source` to folder `target`, folders included.
void AddMissing(const std::wstring& source, const std::wstring& target) {
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
      const DWORD attributes = GetFileAttributesW(to.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
          (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        AddMissing(from, to);
      }
    } else if (!Present(to)) {
      AddFile(from, to, target);
    }
  } while (FindNextFileW(search, &entry));
  FindClose(search);
}

// The launcher's own command line after the program name, unchanged (with its
// leading blank), so the program gets exactly the arguments the launcher got.
// The program name ends at the closing quote when it starts with one, else at
// the first blank or tab: the rule Windows itself uses for it.
std::wstring OwnArguments() {
  const wchar_t* rest = GetCommandLineW();
  if (*rest == L'"') {
    ++rest;
    while (*rest != L'\0' && *rest != L'"') ++rest;
    if (*rest == L'"') ++rest;
  } else {
    while (*rest != L'\0' && *rest != L' ' && *rest != L'\t') ++rest;
  }
  return rest;
}

// Takes --bildwandler off the front of `arguments` (OwnArguments); true when
// it was there.
bool TakePictureMakerSwitch(std::wstring& arguments) {
  constexpr size_t kLength = std::size(kPictureMakerSwitch) - 1;
  const size_t start = arguments.find_first_not_of(L" \t");
  if (start == std::wstring::npos || arguments.compare(start, kLength, kPictureMakerSwitch) != 0) return false;
  const size_t end = start + kLength;
  if (end < arguments.size() && arguments[end] != L' ' && arguments[end] != L'\t') return false;
  arguments.erase(0, end);
  return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::wstring here = OwnFolder();
  std::wstring arguments = OwnArguments();
  const bool picture_maker = TakePictureMakerSwitch(arguments);
  std::wstring program = Environment(L"ZIELWERK_PROGRAM");
  if (program.empty()) program = here + L"\\" + (picture_maker ? kPictureMakerName : kProgramName);
  const std::wstring work_folder = WorkFolder();

  const std::wstring data_folder = here + L"\\" + kDataFolderName;
  const DWORD data_attributes = GetFileAttributesW(data_folder.c_str());
  if (data_attributes != INVALID_FILE_ATTRIBUTES && (data_attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    AddMissing(data_folder, work_folder);
  }

  std::wstring command_line = L"\"" + program + L"\"" + arguments;
  STARTUPINFOW own{};
  own.cb = sizeof own;
  GetStartupInfoW(&own);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  // A shortcut's "minimised" or "maximised" reaches the program's window.
  if ((own.dwFlags & STARTF_USESHOWWINDOW) != 0) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = own.wShowWindow;
  }
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      work_folder.c_str(), &startup, &process)) {
    Fail(L"Zielwerk kann nicht gestartet werden:\n" + program, GetLastError());
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}
