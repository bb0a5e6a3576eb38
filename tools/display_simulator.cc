// zielwerk-display-sim: stands in for the car's destination display on a
// pseudo-terminal. It prints the name to type into the port field, shows every
// command line it receives in readable form, and answers each line after a
// delay, as the display's acknowledgement.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "core/link/command_description.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kUsage[] =
    "Usage: zielwerk-display-sim [options]\n"
    "Opens a pseudo-terminal that behaves like the destination display and prints\n"
    "the port name to type into Zielwerk's port field.\n"
    "\n"
    "  --reply TEXT      answer every line with TEXT (default: OK)\n"
    "  --crlf            end the answer with CR LF instead of LF\n"
    "  --delay MS        answer MS milliseconds after the line arrived (default: 50)\n"
    "  --silent          never answer\n"
    "  --exit-after N    end after N lines have been received and answered\n"
    "  --help            show this text\n";

struct Options {
  std::string reply = "OK";
  bool crlf = false;
  long delay_ms = 50;
  bool silent = false;
  long exit_after = 0;  // 0: run until interrupted
};

struct PendingReply {
  Clock::time_point due;
};

volatile sig_atomic_t stop_requested = 0;

void RequestStop(int) { stop_requested = 1; }

std::optional<long> ParseCount(std::string_view text) {
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

// Returns nullopt after printing the reason when the arguments are unusable.
std::optional<Options> ParseOptions(int argc, char** argv, bool& help) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    const bool has_value = i + 1 < argc;
    if (argument == "--help") {
      help = true;
      return options;
    } else if (argument == "--silent") {
      options.silent = true;
    } else if (argument == "--crlf") {
      options.crlf = true;
    } else if (argument == "--reply" && has_value) {
      options.reply = argv[++i];
    } else if ((argument == "--delay" || argument == "--exit-after") && has_value) {
      const std::optional<long> value = ParseCount(argv[++i]);
      if (!value) {
        std::fprintf(stderr, "%s needs a whole number of 0 or more, not \"%s\"\n", argv[i - 1],
                     argv[i]);
        return std::nullopt;
      }
      (argument == "--delay" ? options.delay_ms : options.exit_after) = *value;
    } else {
      std::fprintf(stderr, "unknown or incomplete option \"%s\"\n\n%s", argv[i], kUsage);
      return std::nullopt;
    }
  }
  return options;
}

void MakeRaw(int fd) {
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) return;
  cfmakeraw(&settings);
  cfsetispeed(&settings, B9600);
  cfsetospeed(&settings, B9600);
  tcsetattr(fd, TCSANOW, &settings);
}

void WriteReply(int master, const std::string& reply) {
  size_t written = 0;
  while (written < reply.size()) {
    const ssize_t count = write(master, reply.data() + written, reply.size() - written);
    if (count > 0) {
      written += static_cast<size_t>(count);
    } else if (count < 0 && errno == EINTR) {
      continue;
    } else {
      // Nobody reads the slave side and its queue is full: the answer is lost,
      // as it would be on a real line.
      std::printf("    (answer dropped: %s)\n", std::strerror(errno));
      return;
    }
  }
  std::printf("    answered \"%s\"\n", zielwerk::ReadableBytes(reply).c_str());
}

// Closing the master hangs the line up, which throws away answers the
// program has not read yet; so wait until the last answer has reached the
// slave's input queue (the pseudo-terminal passes it on asynchronously) and
// then until the program has read it, each for a bounded time.
void WaitUntilAnswersAreTaken(int slave) {
  const auto waiting = [slave] {
    int count = 0;
    return ioctl(slave, FIONREAD, &count) == 0 ? count : 0;
  };
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(300);
  while (waiting() == 0 && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  deadline = Clock::now() + std::chrono::seconds(2);
  while (waiting() > 0 && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

int Run(const Options& options) {
  int master = -1;
  int slave = -1;
  if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
    std::fprintf(stderr, "openpty failed: %s\n", std::strerror(errno));
    return 1;
  }
  char slave_path[PATH_MAX];
  if (ptsname_r(master, slave_path, sizeof slave_path) != 0) {
    std::fprintf(stderr, "ptsname failed: %s\n", std::strerror(errno));
    return 1;
  }
  fcntl(master, F_SETFD, FD_CLOEXEC);
  fcntl(slave, F_SETFD, FD_CLOEXEC);
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  // The slave descriptor stays open for the whole run, never read: while the
  // program closes and reopens the port, the master would otherwise see a
  // hangup.
  MakeRaw(slave);

  std::string_view port_name = slave_path;
  if (port_name.starts_with("/dev/")) port_name.remove_prefix(5);
  std::printf("Port: %.*s\n", static_cast<int>(port_name.size()), port_name.data());
  std::printf("Type the name above into the port field and press \"Öffnen\". "
              "Ctrl+C ends the simulator.\n");

  const std::string reply = options.reply + (options.crlf ? "\r\n" : "\n");
  const auto delay = std::chrono::milliseconds(options.delay_ms);

  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  sigset_t waiting_mask;
  sigprocmask(SIG_BLOCK, &stop_signals, &waiting_mask);
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);

  std::string pending_bytes;
  std::deque<PendingReply> replies;
  long lines_received = 0;
  int status = 0;
  while (!stop_requested) {
    const Clock::time_point now = Clock::now();
    while (!replies.empty() && replies.front().due <= now) {
      WriteReply(master, reply);
      replies.pop_front();
    }
    if (options.exit_after > 0 && lines_received >= options.exit_after && replies.empty()) {
      if (!options.silent) WaitUntilAnswersAreTaken(slave);
      break;
    }

    timespec timeout{};
    timespec* timeout_pointer = nullptr;
    if (!replies.empty()) {
      const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(replies.front().due - now);
      timeout.tv_sec = static_cast<time_t>(left.count() / 1'000'000'000);
      timeout.tv_nsec = static_cast<long>(left.count() % 1'000'000'000);
      timeout_pointer = &timeout;
    }
    pollfd entry{master, POLLIN, 0};
    // The stop signals are let through only while waiting, so one that comes
    // in between cannot be missed.
    const int ready = ppoll(&entry, 1, timeout_pointer, &waiting_mask);
    if (ready < 0) {
      if (errno == EINTR) continue;
      std::fprintf(stderr, "poll failed: %s\n", std::strerror(errno));
      status = 1;
      break;
    }
    if (ready == 0) continue;

    char chunk[512];
    const ssize_t count = read(master, chunk, sizeof chunk);
    if (count < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (count <= 0) {
      std::fprintf(stderr, "read failed: %s\n", count < 0 ? std::strerror(errno) : "end of file");
      status = 1;
      break;
    }
    const Clock::time_point arrived = Clock::now();
    pending_bytes.append(chunk, static_cast<size_t>(count));
    for (size_t end; (end = pending_bytes.find('\n')) != std::string::npos;) {
      const std::string line = pending_bytes.substr(0, end);
      pending_bytes.erase(0, end + 1);
      ++lines_received;
      bool first = true;
      for (const std::string& text : zielwerk::DescribeCommandLine(line)) {
        if (first) {
          std::printf("[%ld] %s\n", lines_received, text.c_str());
        } else {
          std::printf("    %s\n", text.c_str());
        }
        first = false;
      }
      if (!options.silent) replies.push_back(PendingReply{arrived + delay});
    }
  }
  if (stop_requested) std::printf("Stopped.\n");
  close(slave);
  close(master);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IOLBF, 0);
  bool help = false;
  const std::optional<Options> options = ParseOptions(argc, argv, help);
  if (!options) return 2;
  if (help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  return Run(*options);
}
