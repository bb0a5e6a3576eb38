// SPDX-License-Identifier: GPL-3.0-or-later
// zielwerk-window-wait: starts a program and reports how long it took until
// its window was on the screen. Used by scripts/benchmark.sh to time start-up
// under Xvfb without polling: it watches the X server's own map and title
// events on the root window, which it selects before the program starts.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "x11_window.h"

namespace {

using Clock = std::chrono::steady_clock;
using zielwerk::WindowTitle;

constexpr char kUsage[] =
    "Usage: zielwerk-window-wait [--timeout SECONDS] [--stop] TITLE_PREFIX -- PROGRAM [ARGUMENTS...]\n"
    "Starts PROGRAM on $DISPLAY and waits until one of its top-level windows is\n"
    "mapped with a title that begins with TITLE_PREFIX. Prints \"pid N\" at once,\n"
    "then \"mapped MS\" (milliseconds from the start) and \"cpu MS\" (the CPU time\n"
    "the program had used by then), then waits until the\n"
    "program ends; with --stop it sends the program SIGTERM first (SIGKILL after\n"
    "10 s). Exits 0 once the window was seen, 1 on timeout (the program is then\n"
    "killed) and 3 when the program ended before its window appeared.\n";

// Waits for `child` to end, killing it after `grace` when it does not.
void Reap(pid_t child, std::chrono::seconds grace) {
  const Clock::time_point deadline = Clock::now() + grace;
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (Clock::now() >= deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return;
    }
    usleep(10000);
  }
}

// Windows vanish between an event and the look at them; such errors are expected.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// CPU time (user + system) that process `pid` has used so far, in
// milliseconds; -1 when /proc cannot tell.
double CpuMilliseconds(pid_t pid) {
  std::FILE* file = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
  if (file == nullptr) return -1;
  char line[1024];
  const bool read = std::fgets(line, sizeof line, file) != nullptr;
  std::fclose(file);
  if (!read) return -1;
  // The command name may hold blanks and parentheses; the fields count from its last ")".
  const char* rest = std::strrchr(line, ')');
  unsigned long user = 0;
  unsigned long system = 0;
  if (rest == nullptr ||
      std::sscanf(rest + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user, &system) != 2) {
    return -1;
  }
  return static_cast<double>(user + system) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

bool IsShown(Display* display, Window window) {
  XWindowAttributes attributes{};
  return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IOLBF, 0);
  long timeout_seconds = 30;
  bool stop = false;
  int index = 1;
  while (index < argc && std::string_view(argv[index]).starts_with("--") &&
         std::string_view(argv[index]) != "--") {
    const std::string_view option = argv[index];
    if (option == "--stop") {
      stop = true;
      ++index;
      continue;
    }
    if (option != "--timeout" || index + 1 >= argc) {
      std::fputs(kUsage, stderr);
      return 2;
    }
    const std::string_view text = argv[index + 1];
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), timeout_seconds);
    if (error != std::errc() || end != text.data() + text.size() || timeout_seconds <= 0) {
      std::fputs(kUsage, stderr);
      return 2;
    }
    index += 2;
  }
  if (index + 2 >= argc || std::string_view(argv[index + 1]) != "--") {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string_view title_prefix = argv[index];
  char** command = argv + index + 2;

  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "zielwerk-window-wait: cannot open display \"%s\"\n",
                 std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "");
    return 2;
  }
  XSetErrorHandler(IgnoreXError);
  const Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);

  const Clock::time_point start = Clock::now();
  const pid_t child = fork();
  if (child < 0) {
    std::perror("zielwerk-window-wait: fork");
    return 2;
  }
  if (child == 0) {
    close(ConnectionNumber(display));
    execvp(command[0], command);
    std::fprintf(stderr, "zielwerk-window-wait: cannot start %s: %s\n", command[0], std::strerror(errno));
    _exit(127);
  }
  std::printf("pid %d\n", static_cast<int>(child));

  const Atom net_wm_name = XInternAtom(display, "_NET_WM_NAME", False);
  const Clock::time_point deadline = start + std::chrono::seconds(timeout_seconds);
  const auto matches = [&](Window window) {
    return IsShown(display, window) && WindowTitle(display, window).starts_with(title_prefix);
  };
  while (true) {
    while (XPending(display) > 0) {
      XEvent event{};
      XNextEvent(display, &event);
      std::optional<Window> candidate;
      if (event.type == CreateNotify) {
        // Titles set after mapping arrive as property changes of the window itself.
        XSelectInput(display, event.xcreatewindow.window, PropertyChangeMask);
      } else if (event.type == MapNotify) {
        candidate = event.xmap.window;
      } else if (event.type == PropertyNotify &&
                 (event.xproperty.atom == XA_WM_NAME || event.xproperty.atom == net_wm_name)) {
        candidate = event.xproperty.window;
      }
      if (candidate && matches(*candidate)) {
        const auto elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start);
        std::printf("mapped %.1f\n", elapsed.count());
        std::printf("cpu %.0f\n", CpuMilliseconds(child));
        XCloseDisplay(display);
        if (stop) {
          kill(child, SIGTERM);
          Reap(child, std::chrono::seconds(10));
        } else {
          int status = 0;
          waitpid(child, &status, 0);
        }
        return 0;
      }
    }
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) {
      std::fprintf(stderr, "zielwerk-window-wait: %s ended before its window appeared\n", command[0]);
      return 3;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      std::fprintf(stderr, "zielwerk-window-wait: no window \"%.*s...\" within %ld s\n",
                   static_cast<int>(title_prefix.size()), title_prefix.data(), timeout_seconds);
      kill(child, SIGKILL);
      Reap(child, std::chrono::seconds(5));
      return 1;
    }
    // Wake up at least every 50 ms to notice a program that ended.
    pollfd entry{ConnectionNumber(display), POLLIN, 0};
    poll(&entry, 1, static_cast<int>(std::min<long>(left.count(), 50)));
  }
}
