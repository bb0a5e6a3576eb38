// SPDX-License-Identifier: GPL-3.0-or-later
// zielwerk-x-requests: counts the requests one program sends to the X server
// over a stretch of time. Used by scripts/benchmark.sh to tell whether an idle
// window costs the X server anything: it records the program's client through
// the RECORD extension, which sees every request, whether it is answered,
// flushed alone or batched with others.

#include <X11/Xlib.h>
#include <X11/extensions/record.h>
#include <poll.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "x11_window.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kUsage[] =
    "Usage: zielwerk-x-requests [--seconds N] [--by-opcode] TITLE_PREFIX\n"
    "Finds the top-level window on $DISPLAY whose title begins with TITLE_PREFIX and\n"
    "counts the requests its program sends to the X server during N seconds\n"
    "(default 10). Prints \"requests COUNT\"; with --by-opcode also one line\n"
    "\"opcode MAJOR[.MINOR] COUNT\" per request type (MINOR for extensions).\n"
    "Exits 1 when there is no such window or the server has no RECORD extension.\n";

struct Tally {
  long total = 0;
  std::map<std::pair<int, int>, long> by_opcode;
};

void CountRequest(XPointer closure, XRecordInterceptData* data) {
  auto* tally = reinterpret_cast<Tally*>(closure);
  if (data->category == XRecordFromClient && data->data_len > 0) {
    ++tally->total;
    // An extension's requests are told apart by their minor opcode.
    const int major = data->data[0];
    const int minor = major >= 128 && data->data_len > 0 ? data->data[1] : -1;
    ++tally->by_opcode[{major, minor}];
  }
  XRecordFreeData(data);
}

// A top-level window (a child of the root, as under a server without window
// manager, or a grandchild inside a manager's frame) titled `prefix`..., or 0.
Window FindWindow(Display* display, std::string_view prefix) {
  Window root_return = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root_return, &parent, &children, &count)) {
    return 0;
  }
  for (unsigned i = 0; i < count && found == 0; ++i) {
    if (zielwerk::WindowTitle(display, children[i]).starts_with(prefix)) {
      found = children[i];
      break;
    }
    Window* inner = nullptr;
    unsigned inner_count = 0;
    if (XQueryTree(display, children[i], &root_return, &parent, &inner, &inner_count)) {
      for (unsigned j = 0; j < inner_count && found == 0; ++j) {
        if (zielwerk::WindowTitle(display, inner[j]).starts_with(prefix)) found = inner[j];
      }
      if (inner) XFree(inner);
    }
  }
  if (children) XFree(children);
  return found;
}

int Run(int argc, char** argv) {
  int seconds = 10;
  bool by_opcode = false;
  std::string_view prefix;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--seconds" && i + 1 < argc) {
      const std::string_view value = argv[++i];
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
      if (error != std::errc() || end != value.data() + value.size() || seconds < 1) {
        std::fputs(kUsage, stderr);
        return 2;
      }
    } else if (argument == "--by-opcode") {
      by_opcode = true;
    } else if (prefix.empty() && !argument.starts_with("--")) {
      prefix = argument;
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (prefix.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }

  // RECORD wants two connections: one to set up the context, one whose
  // replies carry the recorded requests.
  Display* control = XOpenDisplay(nullptr);
  Display* data = XOpenDisplay(nullptr);
  if (control == nullptr || data == nullptr) {
    std::fprintf(stderr, "zielwerk-x-requests: cannot open the display\n");
    return 1;
  }
  int major = 0, minor = 0;
  if (!XRecordQueryVersion(control, &major, &minor)) {
    std::fprintf(stderr, "zielwerk-x-requests: the X server has no RECORD extension\n");
    return 1;
  }
  const Window window = FindWindow(control, prefix);
  if (window == 0) {
    std::fprintf(stderr, "zielwerk-x-requests: no window titled \"%.*s...\"\n",
                 static_cast<int>(prefix.size()), prefix.data());
    return 1;
  }

  XRecordRange* range = XRecordAllocRange();
  range->core_requests.first = 1;
  range->core_requests.last = 127;
  range->ext_requests.ext_major.first = 128;
  range->ext_requests.ext_major.last = 255;
  range->ext_requests.ext_minor.first = 0;
  range->ext_requests.ext_minor.last = 0xFFFF;
  // Any resource of a client names that client: the window names the program.
  XRecordClientSpec client = window;
  const XRecordContext context = XRecordCreateContext(control, 0, &client, 1, &range, 1);
  XFree(range);
  if (context == 0) {
    std::fprintf(stderr, "zielwerk-x-requests: cannot record the program's requests\n");
    return 1;
  }
  XSync(control, False);

  Tally tally;
  if (!XRecordEnableContextAsync(data, context, CountRequest, reinterpret_cast<XPointer>(&tally))) {
    std::fprintf(stderr, "zielwerk-x-requests: cannot record the program's requests\n");
    return 1;
  }
  const Clock::time_point end = Clock::now() + std::chrono::seconds(seconds);
  for (;;) {
    XRecordProcessReplies(data);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    if (left.count() <= 0) break;
    pollfd wanted{ConnectionNumber(data), POLLIN, 0};
    poll(&wanted, 1, static_cast<int>(std::min<long long>(left.count(), 100)));
  }
  XRecordDisableContext(control, context);
  XSync(control, False);
  XRecordProcessReplies(data);
  XRecordFreeContext(control, context);

  std::printf("requests %ld\n", tally.total);
  if (by_opcode) {
    for (const auto& [opcode, count] : tally.by_opcode) {
      if (opcode.second < 0) {
        std::printf("opcode %d %ld\n", opcode.first, count);
      } else {
        std::printf("opcode %d.%d %ld\n", opcode.first, opcode.second, count);
      }
    }
  }
  XCloseDisplay(data);
  XCloseDisplay(control);
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return Run(argc, argv); }
