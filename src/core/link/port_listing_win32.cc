// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_listing.h"

#include <windows.h>
#include <setupapi.h>

#include <algorithm>
#include <cwchar>
#include <map>

#include "text/wide_text_win32.h"

namespace zielwerk {
namespace {

// One argument quoted so that the child's C runtime splits it back exactly:
// backslashes are literal unless they precede a double quote.
std::wstring QuotedArgument(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    return argument;
  }
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') backslashes = backslashes * 2 + 1;
    quoted.append(backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

// Closes a handle on every way out.
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  ~OwnedHandle() { Reset(); }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  HANDLE get() const { return handle_; }
  HANDLE* out() { return &handle_; }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  // Hands the handle to the caller, who closes it.
  HANDLE Release() {
    const HANDLE handle = handle_;
    handle_ = nullptr;
    return handle;
  }
  void Reset() {
    if (valid()) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

// The data of every text value under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM
// ("COM1", "COM3", ...), which the serial drivers fill in. nullopt when the
// key cannot be opened.
std::optional<std::vector<std::string>> RegistryPortNames() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE,
                    &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::vector<std::string> names;
  for (DWORD index = 0;; ++index) {
    wchar_t value_name[256];
    DWORD value_name_length = 256;
    DWORD type = 0;
    wchar_t data[64] = {};
    DWORD data_bytes = sizeof data - sizeof(wchar_t);
    const LONG result = RegEnumValueW(key, index, value_name, &value_name_length, nullptr, &type,
                                      reinterpret_cast<BYTE*>(data), &data_bytes);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS || type != REG_SZ) continue;
    // The stored text may or may not carry its terminating zero.
    std::wstring_view text(data, data_bytes / sizeof(wchar_t));
    text = text.substr(0, text.find(L'\0'));
    names.push_back(Utf8FromWide(text));
  }
  RegCloseKey(key);
  return names;
}

// The chgport of the system folder. Named without its folder, the program
// would be looked for in the program's own folder and the working folder
// first, and a chgport.exe that lies there would run instead. nullopt when
// Windows does not name its system folder.
std::optional<std::string> ChgportPath() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::nullopt;
  return Utf8FromWide(std::wstring_view(folder, length)) + "\\chgport.exe";
}

// The setup class of serial and parallel ports ("Ports (COM & LPT)").
constexpr GUID kPortsClass = {0x4d36e978, 0xe325, 0x11ce,
                               {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

// What the Device Manager says of a present port.
struct PortDevice {
  std::string description;
  bool usb = false;
};

// The first string of a device's hardware IDs, empty when it has none.
std::string FirstHardwareId(HDEVINFO devices, SP_DEVINFO_DATA& device) {
  wchar_t ids[512] = {};
  if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_HARDWAREID, nullptr,
                                         reinterpret_cast<BYTE*>(ids),
                                         sizeof ids - 2 * sizeof(wchar_t), nullptr)) {
    return {};
  }
  return Utf8FromWide(std::wstring_view(ids, wcsnlen(ids, 512)));
}

// The Device Manager's friendly name of every present port and whether it is
// a USB adapter, by its name ("COM3" -> "USB Serial Port"); empty where
// Windows keeps none (Wine).
std::map<std::string, PortDevice> PortDevices() {
  std::map<std::string, PortDevice> names;
  HDEVINFO devices = SetupDiGetClassDevsW(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
  if (devices == INVALID_HANDLE_VALUE) return names;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
    HKEY key =
        SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
    if (key == INVALID_HANDLE_VALUE) continue;
    wchar_t port[64] = {};
    DWORD port_bytes = sizeof port - sizeof(wchar_t);
    DWORD type = 0;
    const LONG found = RegQueryValueExW(key, L"PortName", nullptr, &type,
                                        reinterpret_cast<BYTE*>(port), &port_bytes);
    RegCloseKey(key);
    if (found != ERROR_SUCCESS || type != REG_SZ) continue;
    wchar_t friendly[256] = {};
    if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, nullptr,
                                           reinterpret_cast<BYTE*>(friendly),
                                           sizeof friendly - sizeof(wchar_t), nullptr)) {
      continue;
    }
    const std::string name = Utf8FromWide(std::wstring_view(port, wcsnlen(port, 64)));
    names[name] = PortDevice{
        FriendlyNameDescription(Utf8FromWide(std::wstring_view(friendly, wcsnlen(friendly, 256))),
                                name),
        IsUsbHardwareId(FirstHardwareId(devices, device))};
  }
  SetupDiDestroyDeviceInfoList(devices);
  return names;
}

// A child started with its standard output on the read end `output`; both
// handles belong to whoever collects it.
struct StartedProgram {
  HANDLE process = nullptr;
  HANDLE output = nullptr;
};

std::optional<StartedProgram> StartProgram(const std::vector<std::string>& argv) {
  if (argv.empty()) return std::nullopt;
  std::wstring command_line;
  for (const std::string& argument : argv) {
    const std::optional<std::wstring> wide = WideFromUtf8(argument);
    if (!wide) return std::nullopt;
    if (!command_line.empty()) command_line.push_back(L' ');
    command_line += QuotedArgument(*wide);
  }

  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  OwnedHandle read_end, write_end;
  if (!CreatePipe(read_end.out(), write_end.out(), &inheritable, 0)) return std::nullopt;
  SetHandleInformation(read_end.get(), HANDLE_FLAG_INHERIT, 0);
  OwnedHandle nothing(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                                  0, nullptr));
  if (!nothing.valid()) return std::nullopt;

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nothing.get();
  startup.hStdOutput = write_end.get();
  startup.hStdError = nothing.get();
  PROCESS_INFORMATION process{};
  // CREATE_NO_WINDOW: a console program started from this GUI program would
  // otherwise flash up a console window.
  if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                      nullptr, nullptr, &startup, &process)) {
    return std::nullopt;
  }
  CloseHandle(process.hThread);
  // The write end closes here: held by the child alone, the pipe ends when
  // the child does.
  return StartedProgram{process.hProcess, read_end.Release()};
}

// Everything the child writes until it ends, or nullopt when it has not
// ended within `limit` of this call (the wait the caller feels): it is then
// ended. Closes both handles.
std::optional<std::string> CollectOutput(const StartedProgram& started,
                                         std::chrono::milliseconds limit) {
  OwnedHandle process_handle(started.process);
  OwnedHandle read_end(started.output);
  // A pipe cannot be read with a time limit: what is waiting is taken as it
  // comes, and the child is waited for in short steps in between.
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(limit.count());
  std::string text;
  const auto take_waiting = [&] {
    char chunk[4096];
    DWORD waiting = 0;
    DWORD count = 0;
    while (PeekNamedPipe(read_end.get(), nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0 &&
           ReadFile(read_end.get(), chunk, std::min<DWORD>(waiting, sizeof chunk), &count,
                    nullptr) &&
           count > 0) {
      text.append(chunk, count);
    }
  };
  for (ULONGLONG now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
    take_waiting();
    const DWORD step = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 10));
    if (WaitForSingleObject(process_handle.get(), step) != WAIT_TIMEOUT) {
      // What it wrote last is still in the pipe.
      take_waiting();
      return text;
    }
  }
  // Ending is not instant, but no reason to wait for it without a limit either.
  TerminateProcess(process_handle.get(), 1);
  WaitForSingleObject(process_handle.get(), 500);
  return std::nullopt;
}

// "chgport /query" of the system folder, started.
std::optional<StartedProgram> StartPortListing() {
  const std::optional<std::string> chgport = ChgportPath();
  return chgport ? StartProgram({*chgport, "/query"}) : std::nullopt;
}

// The listing StartListingSerialPorts began, until ListSerialPortNames takes
// it: nullopt when none was begun, an empty StartedProgram when chgport could
// not be started.
std::optional<std::optional<StartedProgram>> listing_in_advance;

}  // namespace

std::vector<PortEntry> DescribeSerialPorts(const std::vector<std::string>& names) {
  const std::map<std::string, PortDevice> devices = PortDevices();
  std::vector<PortEntry> entries;
  entries.reserve(names.size());
  for (const std::string& name : names) {
    const auto known = devices.find(name);
    entries.push_back(known == devices.end()
                          ? PortEntry{name, {}, false}
                          : PortEntry{name, known->second.description, known->second.usb});
  }
  return entries;
}

std::optional<std::string> CaptureProgramOutput(const std::vector<std::string>& argv,
                                                std::chrono::milliseconds limit) {
  const std::optional<StartedProgram> started = StartProgram(argv);
  if (!started) return std::nullopt;
  return CollectOutput(*started, limit);
}

void StartListingSerialPorts() {
  if (!listing_in_advance) listing_in_advance = StartPortListing();
}

std::optional<std::vector<std::string>> ListSerialPortNames() {
  std::optional<StartedProgram> started;
  if (listing_in_advance) {
    started = *listing_in_advance;
    listing_in_advance.reset();
  } else {
    started = StartPortListing();
  }
  const std::optional<std::string> listing =
      started ? CollectOutput(*started, kChildProgramLimit) : std::nullopt;
  if (listing) {
    std::vector<std::string> names = ParsePortListing(*listing, kComPortNames);
    if (!names.empty()) return names;
  }
  // Not every edition of Windows has chgport.
  std::optional<std::vector<std::string>> stored = ReadSerialPortNames();
  if (!stored) return listing ? std::optional<std::vector<std::string>>(std::vector<std::string>())
                              : std::nullopt;
  return stored;
}

std::optional<std::vector<std::string>> ReadSerialPortNames() {
  std::optional<std::vector<std::string>> stored = RegistryPortNames();
  if (!stored) return std::nullopt;
  std::vector<std::string> names;
  for (const std::string& name : *stored) {
    if (!ParsePortListing(name, kComPortNames).empty()) names.push_back(name);
  }
  // The registry keeps no useful order; sorted as ls sorts /dev, the list
  // stands in the same order each time it opens.
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace zielwerk
