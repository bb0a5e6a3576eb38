// SPDX-License-Identifier: GPL-3.0-or-later
// Times the picture maker on a large photo, for scripts/benchmark.sh: the
// decoding, the first scaling in each fit, and the cheap steps of a change
// (a new threshold) in the real window until the new frame is painted.
// Prints one "name value" line per figure, in milliseconds.
//
// Usage: zielwerk-picture-maker-bench PHOTO [CHANGES]   (on an X display)
#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "picture_maker/picture_file.h"
#include "picture_maker/picture_maker_window.h"

namespace zielwerk {
namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

void Print(const char* name, double milliseconds) { std::printf("%s %.2f\n", name, milliseconds); }

// Lets GTK run until the window's frame clock has painted a frame.
void WaitForFrame(Gtk::Window& window) {
  bool painted = false;
  GdkFrameClock* clock = gtk_widget_get_frame_clock(GTK_WIDGET(window.gobj()));
  const gulong handler = g_signal_connect_swapped(
      clock, "after-paint", G_CALLBACK(+[](bool* flag) { *flag = true; }), &painted);
  while (!painted) Gtk::Main::iteration(true);
  g_signal_handler_disconnect(clock, handler);
}

int Run(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: zielwerk-picture-maker-bench PHOTO [CHANGES]\n");
    return 2;
  }
  const std::string path = argv[1];
  const int changes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50;
  Gtk::Main kit(argc, argv);

  Clock::time_point start = Clock::now();
  std::string error;
  const SourcePicture source = SourcePicture::Load(path, error);
  Print("decode_ms", MillisecondsSince(start));
  if (source.empty()) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  for (const auto& [name, fit] : {std::pair{"scale_height_ms", PictureFit::kHeight},
                                  {"scale_width_ms", PictureFit::kWidth}}) {
    start = Clock::now();
    const GreyPicture scaled = ScaleToFit(source.view(), fit);
    Print(name, MillisecondsSince(start));
    start = Clock::now();
    for (int i = 0; i < changes; ++i) MakeDisplayDots(scaled, DotSettings{i % 256});
    Print(fit == PictureFit::kHeight ? "dots_height_ms" : "dots_width_ms", MillisecondsSince(start) / changes);
  }

  PictureMakerWindow window{ConversionRequest{}};
  window.show();
  WaitForFrame(window);
  start = Clock::now();
  if (!window.OpenPicture(path)) return 1;
  WaitForFrame(window);
  Print("open_to_frame_ms", MillisecondsSince(start));

  // The threshold alternates between two values that light different dots,
  // so every change really draws a new board.
  std::vector<double> to_frame;
  for (int i = 0; i < changes; ++i) {
    start = Clock::now();
    window.threshold_scale().set_value(i % 2 == 0 ? 100 : 150);
    WaitForFrame(window);
    to_frame.push_back(MillisecondsSince(start));
  }
  Print("change_to_frame_median_ms", Median(to_frame));
  Print("change_to_frame_max_ms", *std::max_element(to_frame.begin(), to_frame.end()));
  return 0;
}

}  // namespace
}  // namespace zielwerk

int main(int argc, char** argv) { return zielwerk::Run(argc, argv); }
