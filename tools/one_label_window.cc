// SPDX-License-Identifier: GPL-3.0-or-later
// zielwerk-label-gtk and zielwerk-label-gtkmm: a window titled "Floor" with
// one label, the first in plain GTK, the second through gtkmm as Zielwerk
// starts it (Gtk::Main). scripts/benchmark.sh times their start-up and
// measures their peak memory beside Zielwerk's: what a window costs before a
// program puts anything in it, with and without the C++ binding. Both run
// until they are ended.

#include <cstdlib>

#ifdef WITH_GTKMM
#include <gtkmm/label.h>
#include <gtkmm/main.h>
#include <gtkmm/window.h>
#else
#include <gtk/gtk.h>
#endif

int main(int argc, char** argv) {
  // As in Zielwerk: no OpenGL probe of the display.
  setenv("GDK_GL", "disable", 0);
#ifdef WITH_GTKMM
  Gtk::Main kit(argc, argv);
  Gtk::Window window;
  Gtk::Label label("Zielwerk");
  window.set_title("Floor");
  window.add(label);
  window.show_all();
  Gtk::Main::run();
#else
  gtk_init(&argc, &argv);
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), "Floor");
  gtk_container_add(GTK_CONTAINER(window), gtk_label_new("Zielwerk"));
  gtk_widget_show_all(window);
  gtk_main();
#endif
  return 0;
}
