// SPDX-License-Identifier: GPL-3.0-or-later
#include "ini/safe_save.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace zielwerk {
namespace {

SaveResult Failure(const char* call, int error_number) {
  return SaveResult{false, error_number, call};
}

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Follows symbolic links (up to a sane depth) so that the link itself stays
// and the file it names gets the new content.
std::string FinalTarget(const std::string& path) {
  std::string current = path;
  for (int depth = 0; depth < 40; ++depth) {
    char buffer[PATH_MAX];
    const ssize_t length = readlink(current.c_str(), buffer, sizeof buffer - 1);
    if (length < 0) break;
    std::string link(buffer, static_cast<size_t>(length));
    current = (!link.empty() && link.front() == '/') ? link : DirectoryOf(current) + "/" + link;
  }
  return current;
}

bool WriteAll(int fd, std::string_view bytes, int& error_number) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      error_number = errno;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Opens an unnamed file in `directory` when the file system offers it, else a
// uniquely named one; `name` is empty for the unnamed kind.
int OpenTemporary(const std::string& directory, const std::string& base, std::string& name) {
  name.clear();
  int fd = open(directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (fd >= 0) return fd;
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) return -1;
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = directory + "/." + base + ".tmp" + std::to_string(random() % 1000000);
    fd = open(name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Gives the unnamed temporary file `fd` a name next to `target`.
bool LinkTemporary(int fd, const std::string& directory, const std::string& base,
                   std::string& name) {
  const std::string proc_path = "/proc/self/fd/" + std::to_string(fd);
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = directory + "/." + base + ".tmp" + std::to_string(random() % 1000000);
    if (linkat(AT_FDCWD, proc_path.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return true;
    }
    if (errno != EEXIST) break;
  }
  name.clear();
  return false;
}

SaveResult RewriteInPlace(const std::string& target, std::string_view bytes) {
  const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return Failure("open", errno);
  int error_number = 0;
  // Overwriting first and running out of space after would leave neither the
  // old content nor the new: a growing file claims its space before a byte of
  // it changes, and on failure gets back its old length.
  struct stat state {};
  if (fstat(fd, &state) != 0) {
    error_number = errno;
    close(fd);
    return Failure("fstat", error_number);
  }
  if (static_cast<uint64_t>(state.st_size) < bytes.size()) {
    error_number = posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
    // A file system that cannot reserve space at all gets the plain rewrite.
    if (error_number == EOPNOTSUPP || error_number == EINVAL) error_number = 0;
    if (error_number != 0) {
      [[maybe_unused]] const int ignored = ftruncate(fd, state.st_size);
      close(fd);
      return Failure("posix_fallocate", error_number);
    }
  }
  // Truncating first would lose the old content on a short write; write over
  // it, then cut what is left of a longer old file.
  if (!WriteAll(fd, bytes, error_number)) {
    close(fd);
    return Failure("write", error_number);
  }
  if (ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) error_number = errno;
  if (error_number == 0 && fsync(fd) != 0 && errno != EINVAL) error_number = errno;
  close(fd);
  if (error_number != 0) return Failure("ftruncate", error_number);
  return SaveResult{true, 0, {}};
}

}  // namespace

SaveResult WriteFileAtomically(const std::string& path, std::string_view bytes) {
  if (path.empty()) return Failure("open", ENOENT);
  const std::string target = FinalTarget(path);
  const std::string directory = DirectoryOf(target);
  const size_t slash = target.rfind('/');
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

  struct stat old_state {};
  const bool exists = stat(target.c_str(), &old_state) == 0;
  if (exists && !S_ISREG(old_state.st_mode)) return Failure("stat", EISDIR);
  // A file its owner made read-only stays as it is, although the folder
  // would let a rename replace it.
  if (exists && faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    return Failure("faccessat", errno);
  }

  std::string temporary_name;
  const int fd = OpenTemporary(directory, base, temporary_name);
  if (fd < 0) {
    const int open_error = errno;
    if (exists && (open_error == EACCES || open_error == EPERM || open_error == EROFS)) {
      return RewriteInPlace(target, bytes);
    }
    return Failure("open", open_error);
  }

  const auto abandon = [&](const char* call, int error_number) {
    close(fd);
    if (!temporary_name.empty()) unlink(temporary_name.c_str());
    return Failure(call, error_number);
  };

  int error_number = 0;
  if (!WriteAll(fd, bytes, error_number)) return abandon("write", error_number);
  const mode_t mode = exists ? (old_state.st_mode & 07777) : NewFileMode();
  if (fchmod(fd, mode) != 0) return abandon("fchmod", errno);
  if (exists && (old_state.st_uid != geteuid() || old_state.st_gid != getegid())) {
    // Only root can hand the file back to its owner; anyone else keeps theirs.
    [[maybe_unused]] const int ignored = fchown(fd, old_state.st_uid, old_state.st_gid);
  }
  if (fsync(fd) != 0) return abandon("fsync", errno);

  RunBeforeReplaceHook();

  if (temporary_name.empty() && !LinkTemporary(fd, directory, base, temporary_name)) {
    return abandon("linkat", errno);
  }
  if (rename(temporary_name.c_str(), target.c_str()) != 0) return abandon("rename", errno);
  close(fd);

  const int directory_fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory_fd >= 0) {
    fsync(directory_fd);
    close(directory_fd);
  }
  return SaveResult{true, 0, {}};
}

std::optional<Message> KnownSaveFailure(int error_number) {
  switch (error_number) {
    case EACCES:
    case EPERM:
      return Message::kSaveNoPermission;
    case ENOENT:
    case ENOTDIR:
      return Message::kSaveNoFolder;
    case ENOSPC:
    case EDQUOT:
      return Message::kSaveDiskFull;
    case EROFS:
      return Message::kSaveWriteProtected;
    case EISDIR:
      return Message::kSaveIsFolder;
    default:
      return std::nullopt;
  }
}

}  // namespace zielwerk
