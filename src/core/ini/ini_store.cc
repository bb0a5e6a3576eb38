#include "core/ini/ini_store.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

#include "core/ini/ini_document.h"
#include "core/ini/safe_save.h"

namespace zielwerk {
namespace {

struct OpenFile {
  std::string path;
  IniDocument document;
  bool writable = true;  // false when the file exists but could not be read
  bool changed = false;
};

std::optional<OpenFile>& Store() {
  static std::optional<OpenFile> store;
  return store;
}

enum class ReadOutcome { kRead, kMissing, kUnreadable };

ReadOutcome ReadWholeFile(const std::string& path, std::string& bytes) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? ReadOutcome::kMissing : ReadOutcome::kUnreadable;
  char buffer[8192];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      close(fd);
      return ReadOutcome::kUnreadable;  // a folder, or an I/O error
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  return ReadOutcome::kRead;
}

}  // namespace

bool OpenIni(const std::string& path) {
  CloseIni();
  std::string bytes;
  const ReadOutcome outcome = ReadWholeFile(path, bytes);
  OpenFile file;
  file.path = path;
  file.writable = outcome != ReadOutcome::kUnreadable;
  if (outcome == ReadOutcome::kRead) file.document = IniDocument(ParseIniBytes(bytes));
  Store() = std::move(file);
  return outcome == ReadOutcome::kRead;
}

int64_t ReadIniInteger(std::string_view key, int64_t fallback) {
  if (!Store()) return fallback;
  const std::optional<std::string> text = Store()->document.ReadText(key);
  return text ? ParseIniInteger(*text) : fallback;
}

std::string ReadIniText(std::string_view key, std::string_view fallback) {
  if (!Store()) return std::string(fallback);
  return Store()->document.ReadText(key).value_or(std::string(fallback));
}

std::string ReadIniFileName(std::string_view key, std::string_view fallback) {
  if (!Store()) return std::string(fallback);
  return Store()->document.ReadFileName(key).value_or(std::string(fallback));
}

void WriteIniInteger(std::string_view key, int64_t value) {
  WriteIniText(key, std::to_string(value));
}

void WriteIniText(std::string_view key, std::string_view value) {
  if (!Store()) return;
  Store()->document.WriteText(key, value);
  Store()->changed = true;
}

bool CloseIni() {
  std::optional<OpenFile>& store = Store();
  if (!store) return true;
  bool ok = true;
  if (store->changed) {
    ok = store->writable &&
         WriteFileAtomically(store->path, SerializeIni(store->document.entries())).ok;
  }
  store.reset();
  return ok;
}

}  // namespace zielwerk
