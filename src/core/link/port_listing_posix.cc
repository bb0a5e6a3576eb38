#include "link/port_listing.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

}  // namespace

std::optional<std::string> CaptureProgramOutput(const std::vector<std::string>& argv) {
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

  std::string text;
  char chunk[4096];
  for (;;) {
    const ssize_t count = read(output[0], chunk, sizeof chunk);
    if (count > 0) {
      text.append(chunk, static_cast<size_t>(count));
    } else if (count == 0 || errno != EINTR) {
      break;
    }
  }
  close(output[0]);
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
  return text;
}

std::optional<std::vector<std::string>> ListSerialPortNames() {
  const std::optional<std::string> listing = CaptureProgramOutput({"ls", "-1", "/dev"});
  if (!listing) return std::nullopt;
  return ParsePortListing(*listing, kTtyDeviceNames);
}

}  // namespace zielwerk
