// SPDX-License-Identifier: GPL-3.0-or-later
#include "file/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace zielwerk {
namespace {

// Closes the descriptor on every way out.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

const std::string_view kPathSeparators = "/";

FileReadOutcome ReadWholeFile(const std::string& path, std::string& bytes,
                              const FileReadRules& rules) {
  bytes.clear();
  // O_NONBLOCK keeps a FIFO from blocking the open; regular files ignore it.
  const int flags = O_RDONLY | O_CLOEXEC | (rules.regular_file_only ? O_NONBLOCK : 0);
  FileDescriptor file(open(path.c_str(), flags));
  if (file.get() < 0) return errno == ENOENT ? FileReadOutcome::kMissing : FileReadOutcome::kUnreadable;

  size_t limit = rules.max_bytes;
  if (rules.regular_file_only) {
    struct stat status {};
    if (fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0) {
      return FileReadOutcome::kUnreadable;
    }
    if (static_cast<uint64_t>(status.st_size) > rules.max_bytes) return FileReadOutcome::kTooLarge;
    limit = static_cast<size_t>(status.st_size);
    bytes.reserve(limit);
  }
  char buffer[8192];
  for (;;) {
    const ssize_t got = read(file.get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      bytes.clear();
      return FileReadOutcome::kUnreadable;  // a folder, or an I/O error
    }
    if (got == 0) break;
    const size_t room = limit - bytes.size();
    if (static_cast<size_t>(got) > room) {
      // A regular file that grew while it was read is taken at its size at
      // the open; anything else beyond the limit is refused.
      if (!rules.regular_file_only) {
        bytes.clear();
        return FileReadOutcome::kUnreadable;
      }
      bytes.append(buffer, room);
      break;
    }
    bytes.append(buffer, static_cast<size_t>(got));
  }
  return FileReadOutcome::kRead;
}

bool IsRegularFile(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string WorkingFolder() {
  char buffer[PATH_MAX];
  if (getcwd(buffer, sizeof buffer) == nullptr) return "./";
  std::string folder(buffer);
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace zielwerk
