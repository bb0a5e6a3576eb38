// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/support/program_process.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <atspi/atspi.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include "x11_window.h"

extern char** environ;

namespace zielwerk::testing {
namespace {

Display* Dpy(void* display) { return static_cast<Display*>(display); }

// A program that died leaves a window id behind that no longer exists; the
// test's checks report that, instead of Xlib ending the test process.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

long WindowPid(Display* display, Window window) {
  const std::string bytes = ReadWindowProperty(display, window, "_NET_WM_PID", XA_CARDINAL, 1);
  if (bytes.size() != sizeof(unsigned long)) return -1;
  unsigned long pid;
  std::memcpy(&pid, bytes.data(), sizeof pid);
  return static_cast<long>(pid);
}

bool IsPopupMenu(Display* display, Window window) {
  const std::string bytes = ReadWindowProperty(display, window, "_NET_WM_WINDOW_TYPE", XA_ATOM, 1);
  if (bytes.size() != sizeof(Atom)) return false;
  Atom atom;
  std::memcpy(&atom, bytes.data(), sizeof atom);
  return atom == XInternAtom(display, "_NET_WM_WINDOW_TYPE_POPUP_MENU", False);
}

void CollectFieldTexts(AtspiAccessible* node, int depth, std::vector<std::string>& texts) {
  GError* error = nullptr;
  if (atspi_accessible_get_role(node, &error) == ATSPI_ROLE_TEXT) {
    if (AtspiText* text = atspi_accessible_get_text_iface(node)) {
      if (gchar* content = atspi_text_get_text(text, 0, -1, &error)) {
        texts.emplace_back(content);
        g_free(content);
      }
      g_object_unref(text);
    }
  }
  g_clear_error(&error);
  const gint count = depth < 32 ? atspi_accessible_get_child_count(node, &error) : 0;
  g_clear_error(&error);
  for (gint i = 0; i < count; ++i) {
    AtspiAccessible* child = atspi_accessible_get_child_at_index(node, i, &error);
    g_clear_error(&error);
    if (child == nullptr) continue;
    CollectFieldTexts(child, depth + 1, texts);
    g_object_unref(child);
  }
}

// The program's application node on the accessibility bus, or nullptr.
AtspiAccessible* FindApplication(pid_t pid) {
  AtspiAccessible* desktop = atspi_get_desktop(0);
  AtspiAccessible* found = nullptr;
  GError* error = nullptr;
  const gint count = atspi_accessible_get_child_count(desktop, &error);
  g_clear_error(&error);
  for (gint i = 0; i < count && found == nullptr; ++i) {
    AtspiAccessible* app = atspi_accessible_get_child_at_index(desktop, i, &error);
    g_clear_error(&error);
    if (app == nullptr) continue;
    if (atspi_accessible_get_process_id(app, &error) == static_cast<guint>(pid)) {
      found = app;
    } else {
      g_object_unref(app);
    }
    g_clear_error(&error);
  }
  g_object_unref(desktop);
  return found;
}

}  // namespace

ProgramProcess::ProgramProcess(const std::string& folder, std::vector<std::string> extra_env) {
  stderr_path_ = folder + "/.stderr.txt";
  // `extra_env` entries replace inherited ones of the same name.
  std::vector<std::string> env_strings = extra_env;
  for (char** e = environ; *e; ++e) {
    const std::string entry(*e);
    const std::string name = entry.substr(0, entry.find('=') + 1);
    bool replaced = false;
    for (const auto& extra : extra_env) replaced |= extra.rfind(name, 0) == 0;
    if (!replaced) env_strings.push_back(entry);
  }
  std::vector<char*> envp;
  for (auto& e : env_strings) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, stderr_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  std::string program = std::string(ZIELWERK_BINARY_DIR) + "/zielwerk";
  char* argv[] = {program.data(), nullptr};
  if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  XSetErrorHandler(IgnoreXError);
  display_ = XOpenDisplay(nullptr);
}

ProgramProcess::~ProgramProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (display_) XCloseDisplay(Dpy(display_));
}

unsigned long ProgramProcess::WaitForOwnWindow(const std::function<bool(unsigned long)>& wanted,
                                               int timeout_ms) const {
  if (!display_ || pid_ <= 0) return 0;
  Display* display = Dpy(display_);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (std::chrono::steady_clock::now() < deadline) {
    Window found = 0;
    Window root_return, parent;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root_return, &parent, &children, &count)) {
      for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (WindowPid(display, children[i]) == pid_ &&
            XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable && wanted(children[i])) {
          found = children[i];
        }
      }
      if (children) XFree(children);
    }
    if (found) return found;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return 0;
}

bool ProgramProcess::WaitForWindow(const std::string& title_prefix, int timeout_ms) {
  window_ = WaitForOwnWindow(
      [&](unsigned long window) {
        return WindowTitle(Dpy(display_), window).rfind(title_prefix, 0) == 0;
      },
      timeout_ms);
  return window_ != 0;
}

bool ProgramProcess::WaitForMenu(int timeout_ms) const {
  return WaitForOwnWindow([&](unsigned long window) { return IsPopupMenu(Dpy(display_), window); },
                          timeout_ms) != 0;
}

std::string ProgramProcess::Title() const { return WindowTitle(Dpy(display_), window_); }

std::vector<std::string> ProgramProcess::AccessibleFieldTexts(int timeout_ms) const {
  static const bool initialised = atspi_init() >= 0;
  std::vector<std::string> texts;
  if (!initialised || pid_ <= 0) return texts;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (texts.empty() && std::chrono::steady_clock::now() < deadline) {
    if (AtspiAccessible* app = FindApplication(pid_)) {
      CollectFieldTexts(app, 0, texts);
      g_object_unref(app);
    }
    if (texts.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return texts;
}

bool ProgramProcess::Position(int& x, int& y) const {
  Window child;
  return XTranslateCoordinates(Dpy(display_), window_, DefaultRootWindow(Dpy(display_)), 0, 0, &x,
                               &y, &child);
}

bool ProgramProcess::Size(int& width, int& height) const {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(Dpy(display_), window_, &attributes)) return false;
  width = attributes.width;
  height = attributes.height;
  return true;
}

void ProgramProcess::SendCloseRequest() const {
  Display* display = Dpy(display_);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window_;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window_, False, NoEventMask, &event);
  // Synchronous, so that the request is queued for the program before any
  // input that the test sends next through another connection.
  XSync(display, False);
}

int ProgramProcess::XDoTool(const std::string& args) const {
  // Bounded, so that a window that never appears fails the test instead of
  // hanging it; generous, as a sanitizer build on a busy machine starts slowly.
  return std::system(("timeout 30 xdotool " + args + " >/dev/null 2>&1").c_str());
}

int ProgramProcess::WaitForExit(int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (pid_ > 0 && std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return -1;
}

std::string ProgramProcess::Stderr() const {
  std::ifstream in(stderr_path_);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace zielwerk::testing
