// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_loop.h"

#include <glibmm/main.h>

namespace zielwerk {
namespace {

Glib::RefPtr<Glib::MainLoop> main_loop;
// Set by every close request, also one made before the loop runs.
bool close_requested = false;

}  // namespace

void CreateMainLoop() { main_loop = Glib::MainLoop::create(); }

void RunMainLoop() {
  if (!close_requested) main_loop->run();
}

void ReleaseMainLoop() { main_loop.reset(); }

void RequestClose() {
  close_requested = true;
  if (main_loop && main_loop->is_running()) main_loop->quit();
}

}  // namespace zielwerk
