// SPDX-License-Identifier: GPL-3.0-or-later
// What the system's error of a failed open means on Linux, and which group
// a user who may not open a device has to join.
#include "core/link/port_open_failure.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "support/test_files.h"

namespace zielwerk {
namespace {

using P = PortOpenProblem;

struct ErrnoCase {
  PortResult result;
  PortOpenProblem problem;
};

TEST(ExplainPortOpenFailureTest, TellsTheProblemByTheFailedCallAndItsErrno) {
  const ErrnoCase cases[] = {
      {{false, ENOENT, "open"}, P::kMissing},  {{false, ENXIO, "open"}, P::kMissing},
      {{false, EIO, "open"}, P::kMissing},     {{false, EBUSY, "open"}, P::kBusy},
      {{false, EWOULDBLOCK, "flock"}, P::kBusy}, {{false, ENODEV, "fstat"}, P::kNotSerial},
      {{false, EISDIR, "open"}, P::kNotSerial}, {{false, EACCES, "open"}, P::kNoPermission},
      {{false, EPERM, "open"}, P::kNoPermission}, {{false, ELOOP, "open"}, P::kOther},
  };
  for (const ErrnoCase& c : cases) {
    SCOPED_TRACE(c.result.error_number);
    const PortOpenFailure failure = ExplainPortOpenFailure("/dev/zielwerk-missing", c.result);
    EXPECT_EQ(failure.problem, c.problem);
    EXPECT_EQ(failure.result.error_number, c.result.error_number);
  }
}

// The device belongs to a group this session lacks: joining it is the
// advice, and "log in again" only once the account already has it.
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
  EXPECT_EQ(failure.problem, P::kNoPermission);
  EXPECT_EQ(failure.group, "dialout");

  // A device of root's group has no group worth joining.
  ASSERT_EQ(chown(device.c_str(), static_cast<uid_t>(-1), 0), 0);
  EXPECT_EQ(ExplainPortOpenFailure(device, {false, EACCES, "open"}).group, "");
}

}  // namespace
}  // namespace zielwerk
