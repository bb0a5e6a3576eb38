#include "app/desktop.h"

#include <glib-unix.h>
#include <glibmm/spawn.h>

#include <csignal>
#include <cstdlib>
#include <vector>

namespace zielwerk {
namespace {

void (*session_end_handler)() = nullptr;

}  // namespace

void PrepareToolkitEnvironment() { setenv("GDK_BACKEND", "x11", 1); }

void WatchSessionEnd(void (*request_close)()) {
  session_end_handler = request_close;
  for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
    g_unix_signal_add(signal_number, [](gpointer) -> gboolean {
      session_end_handler();
      return G_SOURCE_CONTINUE;
    }, nullptr);
  }
}

void OpenInBrowser(const std::string& url) {
  try {
    // Without DO_NOT_REAP_CHILD GLib detaches the child through an
    // intermediate process, so no zombie is left; descriptors other than the
    // standard three are not inherited.
    Glib::spawn_async("", std::vector<std::string>{"xdg-open", url}, Glib::SPAWN_SEARCH_PATH);
  } catch (const Glib::Error&) {
    // No browser opener on this machine: the command does nothing.
  }
}

}  // namespace zielwerk
