// SPDX-License-Identifier: GPL-3.0-or-later
// Saving under faults: a disk that fills up half-way, a folder or file the
// user may not write, a private file, a file reached through a symbolic link,
// a crash before the new copy takes the old file's place.
// Each save runs in a child process so that a file size limit or dropped
// privileges stay there; the checks run in the test process.
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/ini/ini_store.h"
#include "core/ini/safe_save.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

using testing::BytesEqual;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

// The ordinary user the saves run as when the tests run as root.
constexpr uid_t kNobody = 65534;

const std::string kMark = "\xEF\xBB\xBF";

struct ChildLimits {
  bool ordinary_user = false;             // drop root privileges to nobody
  std::optional<rlim_t> file_size_limit;  // RLIMIT_FSIZE, with SIGXFSZ ignored
};

// Runs `save` in a forked child under `limits` and returns what it reported.
// A child that could not drop its privileges or died reports failed_call
// "child".
SaveResult SaveInChild(const std::function<SaveResult()>& save, const ChildLimits& limits) {
  int channel[2];
  if (pipe(channel) != 0) return SaveResult{false, errno, "pipe"};
  const pid_t child = fork();
  if (child < 0) return SaveResult{false, errno, "fork"};
  if (child == 0) {
    close(channel[0]);
    if (limits.file_size_limit) {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{*limits.file_size_limit, *limits.file_size_limit};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(90);
    }
    if (limits.ordinary_user && geteuid() == 0) {
      if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(91);
    }
    const SaveResult result = save();
    char report[128];
    const int length = std::snprintf(report, sizeof report, "%d %d %s", result.ok ? 1 : 0,
                                     result.error_number, result.failed_call.c_str());
    if (write(channel[1], report, static_cast<size_t>(length)) != length) _exit(92);
    _exit(0);
  }
  close(channel[1]);
  std::string report;
  char chunk[128];
  for (ssize_t got; (got = read(channel[0], chunk, sizeof chunk)) != 0;) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) break;
    report.append(chunk, static_cast<size_t>(got));
  }
  close(channel[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int ok = 0;
  int error_number = 0;
  char call[64] = "";
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      std::sscanf(report.c_str(), "%d %d %63s", &ok, &error_number, call) < 2) {
    return SaveResult{false, WIFEXITED(status) ? WEXITSTATUS(status) : -1, "child"};
  }
  return SaveResult{ok == 1, error_number, call};
}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

struct stat StatOf(const std::string& path) {
  struct stat state {};
  if (lstat(path.c_str(), &state) != 0) ADD_FAILURE() << "lstat failed for " << path;
  return state;
}

// A folder inside a TempDir that the ordinary user owns (when the tests run
// as root) and can reach.
class UserFolder {
 public:
  UserFolder() : path_(dir_.File("home")) {
    chmod(dir_.path().c_str(), 0711);
    std::filesystem::create_directory(path_);
    Own(path_);
  }
  // Hands `path` (not a link it may be) to the ordinary user.
  static void Own(const std::string& path) {
    if (geteuid() == 0) {
      EXPECT_EQ(lchown(path.c_str(), kNobody, kNobody), 0) << path;
    }
  }
  static uid_t Owner() { return geteuid() == 0 ? kNobody : geteuid(); }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  TempDir dir_;
  std::string path_;
};

std::string Content(size_t size, char fill) {
  std::string bytes = kMark + "\nA = ";
  bytes.resize(size - 1, fill);
  return bytes + "\n";
}

// The disk fills up while the new copy is written: the save fails with EFBIG,
// the old file keeps every byte, and no temporary file is left behind.
struct FullDiskCase {
  const char* name;
  size_t old_size;
  size_t new_size;
  rlim_t limit;
  bool ordinary_user_in_read_only_folder;  // forces the in-place rewrite

  friend void PrintTo(const FullDiskCase& c, std::ostream* out) { *out << c.name; }
};

class FullDiskTest : public ::testing::TestWithParam<FullDiskCase> {};

TEST_P(FullDiskTest, OldFileStaysComplete) {
  const FullDiskCase& c = GetParam();
  UserFolder folder;
  const std::string path = folder.File("Default.ini");
  const std::string old_content = Content(c.old_size, 'o');
  WriteFileBytes(path, old_content);
  UserFolder::Own(path);
  if (c.ordinary_user_in_read_only_folder) chmod(folder.path().c_str(), 0555);

  const std::string new_content = Content(c.new_size, 'n');
  const SaveResult result = SaveInChild([&] { return WriteFileAtomically(path, new_content); },
                                        {c.ordinary_user_in_read_only_folder, c.limit});
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error_number, EFBIG) << result.failed_call;
  EXPECT_TRUE(BytesEqual(old_content, ReadFileBytes(path)));
  EXPECT_EQ(FolderNames(folder.path()), std::vector<std::string>{"Default.ini"});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FullDiskTest,
    ::testing::Values(FullDiskCase{"NothingFits", 300, 400, 0, false},
                      FullDiskCase{"HalfOfTheNewCopy", 300, 4000, 2000, false},
                      FullDiskCase{"AllButTheLastByte", 300, 4000, 3999, false},
                      FullDiskCase{"NewCopyShorterThanTheOldFile", 4000, 3000, 1500, false},
                      FullDiskCase{"InPlaceRewriteGrowingTheFile", 1000, 3000, 2000, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FullDiskStoreTest, FailedWriteBackIsReportedAndChangesNothing) {
  UserFolder folder;
  const std::string path = folder.File("Zielstell.ini");
  const std::string old_content = kMark + "\nPort = 2\n";
  WriteFileBytes(path, old_content);
  const SaveResult result = SaveInChild(
      [&] {
        OpenIni(path);
        WriteIniText("Einstellungen", std::string(5000, 'x'));
        return CloseIni();
      },
      {false, 1000});
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(BytesEqual(old_content, ReadFileBytes(path)));
  EXPECT_EQ(FolderNames(folder.path()), std::vector<std::string>{"Zielstell.ini"});
}

// Saving as an ordinary user (nobody when the tests run as root), into a
// folder and over a file with the given modes.
struct UserSaveCase {
  const char* name;
  mode_t folder_mode;
  std::optional<mode_t> file_mode;  // nullopt: no file yet
  bool through_link;                // save to "link.ini", a link to "Default.ini"
  bool saved;                       // the new content arrives

  friend void PrintTo(const UserSaveCase& c, std::ostream* out) { *out << c.name; }
};

class UserSaveTest : public ::testing::TestWithParam<UserSaveCase> {};

TEST_P(UserSaveTest, SavesOrLeavesEverythingAsItWas) {
  const UserSaveCase& c = GetParam();
  UserFolder folder;
  const std::string path = folder.File("Default.ini");
  const std::string old_content = Content(200, 'o');
  std::vector<std::string> names;
  if (c.file_mode) {
    WriteFileBytes(path, old_content);
    UserFolder::Own(path);
    chmod(path.c_str(), *c.file_mode);
    names.push_back("Default.ini");
  }
  std::string save_path = path;
  if (c.through_link) {
    save_path = folder.File("link.ini");
    ASSERT_EQ(symlink("Default.ini", save_path.c_str()), 0);
    UserFolder::Own(save_path);
    names.push_back("link.ini");
  }
  chmod(folder.path().c_str(), c.folder_mode);

  const std::string new_content = Content(300, 'n');
  const SaveResult result =
      SaveInChild([&] { return WriteFileAtomically(save_path, new_content); }, {true, {}});
  EXPECT_EQ(result.ok, c.saved) << result.failed_call << " " << result.error_number;
  if (c.saved && !c.file_mode) names.push_back("Default.ini");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(FolderNames(folder.path()), names) << "no temporary file may be left";
  if (c.through_link) {
    EXPECT_TRUE(S_ISLNK(StatOf(save_path).st_mode));
  }
  if (!testing::FileExists(path)) return;
  EXPECT_TRUE(BytesEqual(c.saved ? new_content : old_content, ReadFileBytes(path)));
  const struct stat state = StatOf(path);
  EXPECT_EQ(state.st_uid, UserFolder::Owner());
  if (c.file_mode) {
    EXPECT_EQ(state.st_mode & 07777, *c.file_mode);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserSaveTest,
    ::testing::Values(
        UserSaveCase{"PrivateFileStaysPrivate", 0755, 0600, false, true},
        UserSaveCase{"LinkKeptAndPrivateTargetReplaced", 0755, 0600, true, true},
        UserSaveCase{"ReadOnlyFolderWritableFileRewrittenInPlace", 0555, 0644, false, true},
        UserSaveCase{"ReadOnlyFolderWritableFileThroughLink", 0555, 0600, true, true},
        UserSaveCase{"ReadOnlyFolderAndFileUnchanged", 0555, 0444, false, false},
        UserSaveCase{"ReadOnlyFileInWritableFolderUnchanged", 0755, 0444, false, false},
        UserSaveCase{"ReadOnlyFileThroughLinkUnchanged", 0755, 0400, true, false},
        UserSaveCase{"NoNewFileInReadOnlyFolder", 0555, std::nullopt, false, false},
        UserSaveCase{"NewFileInWritableFolder", 0755, std::nullopt, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

// The store and the save on Linux file systems: folders and modes that refuse
// reading, a crash just before the rename, permission bits, symbolic links
// and the umask.
// Paths that can be neither read nor written give defaults and stay as they
// were; the ordinary user meets them, since root could read the locked file.
TEST(IniStore, UnusablePathsGiveDefaultsAndWriteNothing) {
  UserFolder folder;
  std::filesystem::create_directory(folder.File("folder.ini"));
  UserFolder::Own(folder.File("folder.ini"));
  const std::string locked = folder.File("locked.ini");
  WriteFileBytes(locked, "A = 1\nB = 2\n");
  UserFolder::Own(locked);
  chmod(locked.c_str(), 0200);

  for (const std::string& path : {folder.File("folder.ini"), locked, folder.File("missing/sub/x.ini")}) {
    SCOPED_TRACE(path);
    const SaveResult defaults = SaveInChild(
        [&] {
          OpenIni(path);
          const bool gave_default = ReadIniText("A", "def") == "def";
          WriteIniText("A", "9");
          CloseIni();
          return SaveResult{gave_default, 0, "ReadIniText"};
        },
        {true, std::nullopt});
    EXPECT_TRUE(defaults.ok) << defaults.failed_call;
  }
  EXPECT_TRUE(std::filesystem::is_directory(folder.File("folder.ini")));
  EXPECT_TRUE(std::filesystem::is_empty(folder.File("folder.ini")));
  EXPECT_FALSE(testing::FileExists(folder.File("missing")));
  chmod(locked.c_str(), 0600);
  EXPECT_TRUE(BytesEqual("A = 1\nB = 2\n", ReadFileBytes(locked)));
}

TEST(SafeSave, DeathBeforeReplaceLeavesOldFileComplete) {
  TempDir dir;
  const std::string path = dir.File("s.ini");
  const std::string old_content = kMark + "\nA = 1\nB = lang genug\n";
  WriteFileBytes(path, old_content);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SetBeforeReplaceHookForTesting([] { _exit(3); });
    OpenIni(path);
    WriteIniText("A", "2");
    CloseIni();
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3) << "the hook must have run";
  EXPECT_TRUE(BytesEqual(old_content, ReadFileBytes(path)));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
      << "no temporary file may be left";
}

TEST(SafeSave, KeepsPermissionsAndSymbolicLinks) {
  TempDir dir;
  const std::string target = dir.File("real.ini");
  const std::string link = dir.File("link.ini");
  WriteFileBytes(target, "A = 1\n");
  chmod(target.c_str(), 0600);
  ASSERT_EQ(symlink("real.ini", link.c_str()), 0);

  OpenIni(link);
  WriteIniText("A", "2");
  CloseIni();

  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_TRUE(BytesEqual(kMark + "\nA = 2\n", ReadFileBytes(target)));
  struct stat state {};
  ASSERT_EQ(stat(target.c_str(), &state), 0);
  EXPECT_EQ(state.st_mode & 0777, 0600u);
}

TEST(SafeSave, NewFileFollowsUmask) {
  TempDir dir;
  const mode_t old_mask = umask(022);
  const SaveResult result = WriteFileAtomically(dir.File("new.ini"), "x");
  umask(old_mask);
  ASSERT_TRUE(result.ok);
  struct stat state {};
  ASSERT_EQ(stat(dir.File("new.ini").c_str(), &state), 0);
  EXPECT_EQ(state.st_mode & 0777, 0644u);
}

}  // namespace
}  // namespace zielwerk
