// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_open_failure.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <vector>

namespace zielwerk {
namespace {

std::string GroupName(gid_t group) {
  std::vector<char> buffer(4096);
  struct group entry;
  struct group* found = nullptr;
  if (getgrgid_r(group, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return {};
  return found->gr_name;
}

bool SessionHasGroup(gid_t group) {
  if (getegid() == group) return true;
  const int count = getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<size_t>(count));
  const int listed = getgroups(count, groups.data());
  return listed > 0 &&
         std::find(groups.begin(), groups.begin() + listed, group) != groups.begin() + listed;
}

// Whether the user's account lists `group`, as the next login will grant it.
bool AccountHasGroup(gid_t group) {
  std::vector<char> buffer(4096);
  struct passwd entry;
  struct passwd* user = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &user) != 0 || !user) return false;
  int count = 64;
  std::vector<gid_t> groups(static_cast<size_t>(count));
  if (getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
    groups.resize(static_cast<size_t>(count));
    if (getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) return false;
  }
  return std::find(groups.begin(), groups.begin() + count, group) != groups.begin() + count;
}

// The group of the device behind a refused open. Only a group other than
// root's is worth joining.
std::optional<DeviceGroup> SystemDeviceGroup(const std::string& device_path) {
  struct stat status;
  if (stat(device_path.c_str(), &status) != 0 || status.st_gid == 0) return std::nullopt;
  if (SessionHasGroup(status.st_gid)) return DeviceGroup{{}, true, false};
  return DeviceGroup{GroupName(status.st_gid), false, AccountHasGroup(status.st_gid)};
}

constexpr PortErrorKind kErrnoKinds[] = {
    {ENOENT, PortOpenProblem::kMissing},
    {ENODEV, PortOpenProblem::kMissing},
    {ENXIO, PortOpenProblem::kMissing},
    {ENOTDIR, PortOpenProblem::kMissing},
    {EIO, PortOpenProblem::kMissing},  // a ttyS name without its UART behind it
    {EBUSY, PortOpenProblem::kBusy},
    {EWOULDBLOCK, PortOpenProblem::kBusy},  // flock: another open holds the lock
    {EISDIR, PortOpenProblem::kNotSerial},
    {EACCES, PortOpenProblem::kNoPermission},
    {EPERM, PortOpenProblem::kNoPermission},
};

}  // namespace

// The open's own check refuses what is no character device (fstat).
const PortOpenErrors kPortOpenErrors{"fstat", kErrnoKinds, SystemDeviceGroup};

}  // namespace zielwerk
