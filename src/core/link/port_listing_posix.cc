// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_listing.h"
#include "link/port_listing_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "text/utf8.h"

extern char** environ;

namespace zielwerk {
namespace {

// The parent's environment with LC_ALL replaced by C, so that ls sorts the
// same way on every machine.
std::vector<std::string> ChildEnvironment() {
  std::vector<std::string> entries;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    if (std::strncmp(*entry, "LC_ALL=", 7) != 0) entries.emplace_back(*entry);
  }
  entries.emplace_back("LC_ALL=C");
  return entries;
}

std::vector<char*> PointerArray(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  pointers.reserve(texts.size() + 1);
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// A child started with its standard output on the read end `output`.
struct StartedProgram {
  pid_t child = -1;
  int output = -1;
};

std::optional<StartedProgram> StartProgram(const std::vector<std::string>& argv) {
  if (argv.empty()) return std::nullopt;
  int output[2];
  if (pipe2(output, O_CLOEXEC) != 0) return std::nullopt;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

  std::vector<std::string> arguments = argv;
  std::vector<std::string> environment = ChildEnvironment();
  std::vector<char*> argument_pointers = PointerArray(arguments);
  std::vector<char*> environment_pointers = PointerArray(environment);
  pid_t child = -1;
  const int spawn_error = posix_spawnp(&child, argument_pointers[0], &actions, nullptr,
                                       argument_pointers.data(), environment_pointers.data());
  posix_spawn_file_actions_destroy(&actions);
  close(output[1]);
  if (spawn_error != 0) {
    close(output[0]);
    return std::nullopt;
  }
  return StartedProgram{child, output[0]};
}

// Everything the child writes until it ends, or nullopt when it has not
// ended within `limit` of this call: it is then killed. The child is reaped
// either way. The limit counts from here, the wait the caller feels: a child
// begun early may have been slow only because the machine was busy starting
// the window.
std::optional<std::string> CollectOutput(const StartedProgram& started,
                                         std::chrono::milliseconds limit) {
  using std::chrono::steady_clock;
  const steady_clock::time_point deadline = steady_clock::now() + limit;
  std::string text;
  bool ended = false;
  char chunk[4096];
  while (!ended) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - steady_clock::now());
    pollfd waiting{started.output, POLLIN, 0};
    const int ready = left.count() > 0 ? poll(&waiting, 1, static_cast<int>(left.count())) : 0;
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;
    const ssize_t count = read(started.output, chunk, sizeof chunk);
    if (count > 0) {
      text.append(chunk, static_cast<size_t>(count));
    } else if (count == 0 || errno != EINTR) {
      ended = true;
    }
  }
  close(started.output);
  if (!ended) kill(started.child, SIGKILL);
  while (waitpid(started.child, nullptr, 0) < 0 && errno == EINTR) {
  }
  if (!ended) return std::nullopt;
  return text;
}

// The first line of a small sysfs attribute file, valid UTF-8; empty when
// there is no such file.
std::string AttributeText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string text;
  if (!in || !std::getline(in, text)) return {};
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) text.pop_back();
  return SanitizeUtf8(text);
}

// USB adapters: the usb-serial drivers' ttyUSB* and the modem class's ttyACM*.
bool IsUsbAdapterName(std::string_view name) {
  return name.starts_with("ttyUSB") || name.starts_with("ttyACM");
}

// The folder above the /dev the ports are listed from and the /sys their
// descriptions are read from: the root, unless ZIELWERK_SYSTEM_ROOT names a
// stand-in with dev/ and sys/ of the same layout (the manual's picture of the
// port list is taken with one). Only the list changes: a port is always
// opened under /dev.
std::string SystemRoot() {
  const char* root = std::getenv("ZIELWERK_SYSTEM_ROOT");
  return root != nullptr ? root : "";
}

std::vector<std::string> PortListingCommand() { return {"ls", "-1", SystemRoot() + "/dev"}; }

// The listing StartListingSerialPorts began, until ListSerialPortNames takes
// it: nullopt when none was begun, an empty StartedProgram when "ls" could
// not be started.
std::optional<std::optional<StartedProgram>> listing_in_advance;

}  // namespace

std::string UsbPortDescription(const std::string& sysfs_root, std::string_view name) {
  namespace fs = std::filesystem;
  if (!IsUsbAdapterName(name) || name.find('/') != std::string_view::npos) return {};
  std::error_code error;
  fs::path at = fs::canonical(fs::path(sysfs_root) / "class" / "tty" / name / "device", error);
  if (error) return {};
  // The port's device is the adapter's interface (ttyACM) or a child of it
  // (ttyUSB); the USB device that names maker and product is a step or two
  // above.
  for (int step = 0; step < 4 && at.has_relative_path(); ++step, at = at.parent_path()) {
    if (!fs::exists(at / "idVendor", error)) continue;
    const std::string manufacturer = AttributeText(at / "manufacturer");
    const std::string product = AttributeText(at / "product");
    if (manufacturer.empty() || product.starts_with(manufacturer)) return product;
    if (product.empty()) return manufacturer;
    return manufacturer + " " + product;
  }
  return {};
}

std::vector<PortEntry> DescribeSerialPorts(const std::vector<std::string>& names) {
  const std::string sysfs_root = SystemRoot() + "/sys";
  std::vector<PortEntry> entries;
  entries.reserve(names.size());
  for (const std::string& name : names) {
    entries.push_back({name, UsbPortDescription(sysfs_root, name), IsUsbAdapterName(name)});
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
  if (!listing_in_advance) listing_in_advance = StartProgram(PortListingCommand());
}

std::optional<std::vector<std::string>> ListSerialPortNames() {
  std::optional<StartedProgram> started;
  if (listing_in_advance) {
    started = *listing_in_advance;
    listing_in_advance.reset();
  } else {
    started = StartProgram(PortListingCommand());
  }
  if (!started) return std::nullopt;
  const std::optional<std::string> listing = CollectOutput(*started, kChildProgramLimit);
  if (!listing) return std::nullopt;
  return ParsePortListing(*listing, kTtyDeviceNames);
}

std::optional<std::vector<std::string>> ReadSerialPortNames() {
  DIR* folder = opendir((SystemRoot() + "/dev").c_str());
  if (folder == nullptr) return std::nullopt;
  std::vector<std::string> names;
  while (const dirent* entry = readdir(folder)) {
    if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
  }
  closedir(folder);
  // In the order and by the rules of the listing "ls -1 /dev" gives.
  std::sort(names.begin(), names.end());
  std::string listing;
  for (const std::string& name : names) listing += name + '\n';
  return ParsePortListing(listing, kTtyDeviceNames);
}

}  // namespace zielwerk
