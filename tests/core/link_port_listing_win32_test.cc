// SPDX-License-Identifier: GPL-3.0-or-later
// Listing the serial ports on Windows: "chgport /query" of the system folder
// (a stand-in, as Wine has none) run without a console window, and the
// registry when there is no chgport there.
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/link/port_listing.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

// Sets PATH for the life of the object, then puts the old one back.
class ScopedPath {
 public:
  explicit ScopedPath(const std::wstring& path) {
    wchar_t old[32767];
    const DWORD length = GetEnvironmentVariableW(L"PATH", old, 32767);
    old_.assign(old, length);
    SetEnvironmentVariableW(L"PATH", path.c_str());
  }
  ~ScopedPath() { SetEnvironmentVariableW(L"PATH", old_.c_str()); }
  ScopedPath(const ScopedPath&) = delete;
  ScopedPath& operator=(const ScopedPath&) = delete;

 private:
  std::wstring old_;
};

std::wstring StandInFolder() { return testing::FsPath(ZIELWERK_CHGPORT_STAND_IN_DIR).wstring(); }

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  return std::wstring(folder, length);
}

// Named by its full path: the other case puts a chgport into the system
// folder for a moment, and the system folder is searched before PATH.
TEST(PortListingWin32Test, AConsoleProgramRunsWithoutAConsoleWindow) {
  const std::string stand_in = testing::FsPath(ZIELWERK_CHGPORT_STAND_IN_DIR).string() + "\\chgport.exe";
  EXPECT_EQ(CaptureProgramOutput({stand_in, "/console"}), "no console\r\n");
  EXPECT_EQ(CaptureProgramOutput({stand_in, "/unknown"}), "");
  EXPECT_EQ(CaptureProgramOutput({"zielwerk-no-such-program"}), std::nullopt);
}

// Values written into the key the serial drivers fill; removed again at the end.
class SerialCommKey {
 public:
  SerialCommKey() {
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr,
                    REG_OPTION_VOLATILE, KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &key_, nullptr);
  }
  ~SerialCommKey() {
    for (const std::wstring& name : names_) RegDeleteValueW(key_, name.c_str());
    if (key_ != nullptr) RegCloseKey(key_);
  }
  SerialCommKey(const SerialCommKey&) = delete;
  SerialCommKey& operator=(const SerialCommKey&) = delete;

  bool Add(const std::wstring& device, const std::wstring& port) {
    names_.push_back(device);
    return key_ != nullptr &&
           RegSetValueExW(key_, device.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(port.c_str()),
                          static_cast<DWORD>((port.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }

 private:
  HKEY key_ = nullptr;
  std::vector<std::wstring> names_;
};

// Sets the working folder for the life of the object, then puts the old one back.
class ScopedWorkingFolder {
 public:
  explicit ScopedWorkingFolder(const std::filesystem::path& folder) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~ScopedWorkingFolder() { std::filesystem::current_path(old_); }
  ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
  ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;

 private:
  std::filesystem::path old_;
};

// One case for both sources, as the second puts a chgport into the system folder.
TEST(PortListingWin32Test, ChgportOfTheSystemFolderElseTheRegistryInByteOrder) {
  const std::filesystem::path system_chgport = std::filesystem::path(SystemFolder()) / L"chgport.exe";
  const std::filesystem::path stand_in = std::filesystem::path(StandInFolder()) / L"chgport.exe";
  if (std::filesystem::exists(system_chgport)) GTEST_SKIP() << "this system has a chgport of its own";
  SerialCommKey key;
  ASSERT_TRUE(key.Add(L"\\Device\\ZielwerkTest0", L"COM7"));
  ASSERT_TRUE(key.Add(L"\\Device\\ZielwerkTest1", L"COM12"));
  ASSERT_TRUE(key.Add(L"\\Device\\ZielwerkTest2", L"COM123"));

  {
    // A chgport in the working folder and along PATH is not the system's.
    testing::TempDir dir;
    std::filesystem::copy_file(stand_in, testing::FsPath(dir.File("chgport.exe")));
    ScopedWorkingFolder working(testing::FsPath(dir.path()));
    ScopedPath path(StandInFolder() + L";" + SystemFolder());
    const std::optional<std::vector<std::string>> names = ListSerialPortNames();
    ASSERT_TRUE(names.has_value());
    // Wine lists ports of its own there too; ours keep their relative order.
    const auto at = [&](const std::string& name) { return std::find(names->begin(), names->end(), name); };
    EXPECT_NE(at("COM7"), names->end());
    EXPECT_LT(at("COM12"), at("COM7"));
    EXPECT_EQ(at("COM123"), names->end());
    EXPECT_EQ(at("COMX"), names->end()) << "the stand-in ran";
    EXPECT_TRUE(std::is_sorted(names->begin(), names->end()));
  }

  // A listing begun in advance runs with the environment of its start and is
  // the one the next call takes; the call after that lists anew.
  std::filesystem::copy_file(stand_in, system_chgport);
  SetEnvironmentVariableW(L"ZIELWERK_STAND_IN_PORT", L"COM55");
  StartListingSerialPorts();
  StartListingSerialPorts();  // the listing already begun stands
  SetEnvironmentVariableW(L"ZIELWERK_STAND_IN_PORT", nullptr);
  const std::optional<std::vector<std::string>> early = ListSerialPortNames();
  const std::optional<std::vector<std::string>> names = ListSerialPortNames();
  std::filesystem::remove(system_chgport);
  EXPECT_EQ(early, (std::vector<std::string>{"COM1", "COM10", "COMX", "COM55"}));
  EXPECT_EQ(names, (std::vector<std::string>{"COM1", "COM10", "COMX"}));
}

}  // namespace
}  // namespace zielwerk
