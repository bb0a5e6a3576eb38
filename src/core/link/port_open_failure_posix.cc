// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_open_failure.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

}  // namespace

PortOpenFailure ExplainPortOpenFailure(const std::string& device_path, const PortResult& result) {
  PortOpenFailure failure;
  failure.result = result;
  // The open's own checks refuse what is no character device (fstat) and a
  // device another program has locked (flock).
  if (result.failed_call == "fstat") {
    failure.problem = PortOpenProblem::kNotSerial;
    return failure;
  }
  switch (result.error_number) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
    case EIO:  // a ttyS name without its UART behind it
      failure.problem = PortOpenProblem::kMissing;
      break;
    case EBUSY:
    case EWOULDBLOCK:
      failure.problem = PortOpenProblem::kBusy;
      break;
    case EISDIR:
      failure.problem = PortOpenProblem::kNotSerial;
      break;
    case EACCES:
    case EPERM: {
      failure.problem = PortOpenProblem::kNoPermission;
      struct stat status;
      // Only a group other than root's that this session lacks is worth
      // joining.
      if (stat(device_path.c_str(), &status) == 0 && status.st_gid != 0 &&
          !SessionHasGroup(status.st_gid)) {
        failure.group = GroupName(status.st_gid);
        failure.group_needs_login = !failure.group.empty() && AccountHasGroup(status.st_gid);
      }
      break;
    }
    default:
      failure.problem = PortOpenProblem::kOther;
      break;
  }
  return failure;
}

}  // namespace zielwerk
