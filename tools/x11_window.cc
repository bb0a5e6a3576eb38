// SPDX-License-Identifier: GPL-3.0-or-later
#include "x11_window.h"

#include <X11/Xutil.h>

#include <cstddef>

namespace zielwerk {

std::string ReadWindowProperty(Display* display, Window window, const char* name,
                               Atom wanted_type, long max_items) {
  Atom type = None;
  int format = 0;
  unsigned long items = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::string bytes;
  if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, max_items, False,
                         wanted_type, &type, &format, &items, &after, &data) == Success &&
      data != nullptr) {
    const std::size_t item_size =
        format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
    bytes.assign(reinterpret_cast<const char*>(data), items * item_size);
  }
  if (data != nullptr) XFree(data);
  return bytes;
}

std::string WindowTitle(Display* display, Window window) {
  std::string title = ReadWindowProperty(display, window, "_NET_WM_NAME",
                                         XInternAtom(display, "UTF8_STRING", False), 1024);
  if (title.empty()) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name != nullptr) {
      title = name;
      XFree(name);
    }
  }
  return title;
}

}  // namespace zielwerk
