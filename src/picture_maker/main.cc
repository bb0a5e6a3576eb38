// SPDX-License-Identifier: GPL-3.0-or-later
// Zielwerk Bildwandler: turns photos, logos and text into the 160 x 14
// pictures of the car's display, in a window or, with -o, without one.
#include <glib.h>
#include <gtk/gtk.h>
#include <glibmm/miscutils.h>
#include <gtkmm/main.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "app/desktop.h"
#include "core/console/console.h"
#include "core/file/work_folder.h"
#include "core/messages/messages.h"
#include "core/picture/conversion_options.h"
#include "core/settings/version.h"
#include "picture_maker/batch_conversion.h"
#include "picture_maker/command_line.h"
#include "picture_maker/picture_maker_window.h"

namespace zielwerk {
namespace {

int RunWindow(int argc, char** argv, ConversionRequest request) {
  // An installed copy works in the user's folder, as Zielwerk does, so that
  // its chooser saves where Zielwerk's opens; a picture named on the command
  // line is taken from where it was named.
  for (std::string& input : request.inputs) {
    gchar* absolute = g_canonicalize_filename(input.c_str(), nullptr);
    input = absolute;
    g_free(absolute);
  }
  const WorkFolder work_folder = EnterWorkFolder();
  // As in Zielwerk: Pango reads the font configuration on a thread of its
  // own while GTK starts.
  pango_cairo_font_map_get_default();
  PrepareToolkitEnvironment();
  const bool started = gtk_init_check(&argc, &argv);
  RestoreToolkitEnvironment();
  if (started) FollowHighContrast();
  if (!started) {
    std::cerr << "zielwerk-bildwandler: " << MessageText(Message::kNoDisplay) << "\n";
    return 1;
  }
  Gtk::Main kit(argc, argv);
  Glib::set_application_name("Zielwerk Bildwandler");
  // A desktop session ending the program (or an installer replacing it)
  // closes the window like the user; there is nothing to save.
  WatchSessionEnd([] { Gtk::Main::quit(); }, [] {});
  PictureMakerWindow window(request);
  if (work_folder.installed) {
    // The taskbar groups the window with its Start-menu entry by the ID they
    // share; Windows reads it from the native window, so it is made first.
    gtk_widget_realize(GTK_WIDGET(window.gobj()));
    ShowAsInstalledProgram(window, kPictureMakerAppId, "Zielwerk Bildwandler");
  }
  if (!work_folder.problem.empty()) window.ShowWarning(work_folder.problem);
  Gtk::Main::run(window);
  return 0;
}

int Run(int argc, char** argv) {
  PrepareConsoleOutput();
  const ParsedArguments parsed = ParseConversionArguments(CommandLineArguments(argc, argv));
  if (!parsed.request) {
    std::cerr << "zielwerk-bildwandler: " << parsed.error << "\n"
              << ComposeMessage(Message::kSeeHelp, {"zielwerk-bildwandler"}) << "\n";
    return 2;
  }
  if (parsed.request->help) {
    std::cout << kConversionUsage;
    return 0;
  }
  ConversionRequest request = *parsed.request;
  std::vector<std::string> unmatched;
  request.inputs = ExpandWildcards(request.inputs, unmatched);
  if (!request.output) return RunWindow(argc, argv, request);
  for (const std::string& pattern : unmatched) {
    std::cerr << "zielwerk-bildwandler: " << ComposeMessage(Message::kNoFileMatches, {Quoted(pattern)})
              << "\n";
  }
  const int status = RunBatchConversion(request, std::cout, std::cerr);
  return unmatched.empty() ? status : std::max(status, 1);
}

}  // namespace
}  // namespace zielwerk

int main(int argc, char** argv) { return zielwerk::Run(argc, argv); }
