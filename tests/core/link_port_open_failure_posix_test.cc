// SPDX-License-Identifier: GPL-3.0-or-later
// What a user reads when a port on Linux is not theirs: which group to join.
// The other kinds of failure are met with real devices by the window's and
// the sender's suites.
#include "core/link/port_open_failure.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>

#include "support/test_files.h"

namespace zielwerk {
namespace {

const std::string kFailed = "Serielle Schnittstelle konnte nicht geöffnet werden: ";

// The status for the failed open of the port the field shows as `shown`.
std::string StatusFor(const PortResult& result, const std::string& shown,
                      const PortOpenErrors& errors = kPortOpenErrors) {
  return PortOpenFailedStatus(ExplainPortOpenFailure(PortDevicePath(shown), result, errors), shown);
}

// The group the stand-in lookup tells of, and the device it was asked about.
std::optional<DeviceGroup> told_group;
std::string asked_device;

std::optional<DeviceGroup> TellGroup(const std::string& device_path) {
  asked_device = device_path;
  return told_group;
}

// Joining the device's group is the advice, and logging in again once the
// account has it; a group this session has, or none, leaves plain "no access".
TEST(PortOpenFailedStatusTest, PermissionFailureNamesTheGroupToJoin) {
  const struct {
    std::optional<DeviceGroup> group;
    std::string status;
  } cases[] = {
      {DeviceGroup{"dialout", false, false},
       kFailed + "kein Zugriff ohne Gruppe „dialout“ – Benutzer in die Gruppe aufnehmen, dann "
                 "neu anmelden"},
      {DeviceGroup{"dialout", false, true},
       kFailed + "kein Zugriff ohne Gruppe „dialout“ – nach der Aufnahme einmal ab- und wieder "
                 "anmelden"},
      {DeviceGroup{"dialout", true, true}, kFailed + "kein Zugriff auf ttyACM0"},
      {std::nullopt, kFailed + "kein Zugriff auf ttyACM0"},
  };
  PortOpenErrors errors = kPortOpenErrors;
  errors.group_of = TellGroup;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.status);
    told_group = c.group;
    asked_device.clear();
    EXPECT_EQ(StatusFor({false, EACCES, "open"}, "ttyACM0", errors), c.status);
    EXPECT_EQ(asked_device, "/dev/ttyACM0");
  }
}

// The system's own lookup: the device belongs to a group this session lacks.
TEST(ExplainPortOpenFailureTest, NamesTheDevicesGroupThisSessionLacks) {
  testing::TempDir folder;
  const std::string device = folder.File("ttyUSB0");
  testing::WriteFileBytes(device, "");
  const group* dialout = getgrnam("dialout");
  if (dialout == nullptr || chown(device.c_str(), static_cast<uid_t>(-1), dialout->gr_gid) != 0) {
    GTEST_SKIP() << "no group dialout to give the device, or no right to give it";
  }
  const gid_t dialout_gid = dialout->gr_gid;
  gid_t groups[256];
  const int count = getgroups(256, groups);
  for (int i = 0; i < count; ++i) {
    if (groups[i] == dialout_gid) GTEST_SKIP() << "this session is in dialout already";
  }
  const PortOpenFailure failure = ExplainPortOpenFailure(device, {false, EACCES, "open"});
  EXPECT_EQ(failure.problem, PortOpenProblem::kNoPermission);
  EXPECT_EQ(failure.group, "dialout");

  // A device of root's group has no group worth joining.
  ASSERT_EQ(chown(device.c_str(), static_cast<uid_t>(-1), 0), 0);
  EXPECT_EQ(ExplainPortOpenFailure(device, {false, EACCES, "open"}).group, "");
}

}  // namespace
}  // namespace zielwerk
