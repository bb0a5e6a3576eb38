// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop.h"
#include "core/file/help_page.h"

#include <gdk/gdk.h>
#include <glib-unix.h>
#include <glibmm/spawn.h>

#include <csignal>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace zielwerk {
namespace {

void (*session_end_handler)() = nullptr;

// A variable PrepareToolkitEnvironment set and what it held before.
struct SavedVariable {
  const char* name;
  std::optional<std::string> value;
};
std::vector<SavedVariable> saved_variables;

void SetForToolkit(const char* name, const char* value) {
  const char* before = std::getenv(name);
  saved_variables.push_back({name, before ? std::optional<std::string>(before) : std::nullopt});
  setenv(name, value, 1);
}

}  // namespace

void PrepareToolkitEnvironment() {
  SetForToolkit("GDK_BACKEND", "x11");
  // GDK sets up OpenGL on the display unless an earlier GTK program on the
  // same X server left its findings there; the program draws nothing with
  // OpenGL, and loading the system's GL driver (Mesa's software renderer
  // loads LLVM) costs more start-up time and memory than the rest of GTK.
  // A GDK_GL of the user's own is kept.
  if (std::getenv("GDK_GL") == nullptr) SetForToolkit("GDK_GL", "disable");
}

void RestoreToolkitEnvironment() {
  for (const SavedVariable& variable : saved_variables) {
    if (variable.value) {
      setenv(variable.name, variable.value->c_str(), 1);
    } else {
      unsetenv(variable.name);
    }
  }
  saved_variables.clear();
}

void WatchSessionEnd(void (*request_close)(), void (*)()) {
  session_end_handler = request_close;
  for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
    g_unix_signal_add(signal_number, [](gpointer) -> gboolean {
      session_end_handler();
      return G_SOURCE_CONTINUE;
    }, nullptr);
  }
}

void ShowAsInstalledProgram(Gtk::Window&, std::string_view, std::string_view) {}

void FollowHighContrast() {}

double TextResolution() {
  return gdk_screen_get_resolution(gdk_screen_get_default());
}

bool OpenInBrowser(const std::string& url) {
  try {
    // Without DO_NOT_REAP_CHILD GLib detaches the child through an
    // intermediate process, so no zombie is left; descriptors other than the
    // standard three are not inherited.
    Glib::spawn_async("", std::vector<std::string>{"xdg-open", url}, Glib::SPAWN_SEARCH_PATH);
    return true;
  } catch (const Glib::Error&) {
    return false;  // no browser opener on this machine
  }
}

bool OpenLocalPage(const std::string& path) { return OpenInBrowser(FileUrl(path)); }

}  // namespace zielwerk
