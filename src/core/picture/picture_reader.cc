#include "core/picture/picture_reader.h"

#include <cerrno>
#include <new>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zielwerk {

namespace {

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() && bytes.substr(0, prefix.size()) == prefix;
}

bool LooksLikeBmp(std::string_view bytes) {
  return bytes.size() >= 14 && StartsWith(bytes, "BM") && bytes[6] == 0 && bytes[7] == 0 &&
         bytes[8] == 0 && bytes[9] == 0;
}

bool LooksLikeJpeg(std::string_view bytes) {
  return bytes.size() >= 3 && StartsWith(bytes, "\xFF\xD8");
}

bool LooksLikePng(std::string_view bytes) {
  return StartsWith(bytes, std::string_view("\x89PNG\r\n\x1A\n", 8));
}

bool LooksLikeGif(std::string_view bytes) { return StartsWith(bytes, "GIF"); }

// Closes the descriptor on every way out of ReadPictureFile.
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

std::optional<TrainPicture> ReadPictureFileUnguarded(const std::string& path) {
  // O_NONBLOCK keeps a FIFO from blocking the open; regular files ignore it.
  FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) return std::nullopt;
  struct stat status {};
  if (fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0 ||
      static_cast<uint64_t>(status.st_size) > kMaxPictureFileBytes) {
    return std::nullopt;
  }
  std::string bytes(static_cast<size_t>(status.st_size), '\0');
  size_t filled = 0;
  while (filled < bytes.size()) {
    ssize_t got = read(file.get(), bytes.data() + filled, bytes.size() - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    filled += static_cast<size_t>(got);
  }
  // A file that shrank while it was read is decoded as far as it went.
  bytes.resize(filled);
  return DecodePicture(bytes);
}

}  // namespace

bool PictureSizeAllowed(int64_t width, int64_t height) {
  return width >= 1 && height >= 1 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

std::optional<TrainPicture> DecodePicture(std::string_view bytes) {
  if (LooksLikeBmp(bytes)) return DecodeBmp(bytes);
  if (LooksLikeJpeg(bytes)) return DecodeJpeg(bytes);
  if (LooksLikePng(bytes)) return DecodePng(bytes);
  if (LooksLikeGif(bytes)) return DecodeGif(bytes);
  return std::nullopt;
}

std::optional<TrainPicture> ReadPictureFile(const std::string& path) {
  try {
    return ReadPictureFileUnguarded(path);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace zielwerk
