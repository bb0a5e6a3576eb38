// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/window_placement.h"

#include <algorithm>

#include "layout/form_layout.h"

namespace zielwerk {
namespace {

// What a window frame adds around the client area at the standard resolution,
// about as much as the desktops draw (a title bar of some 30 pixels, thin
// borders); the real frame is known only once the window is shown.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 40;
constexpr int kTitleBarHeight = 30;
// The least width of title bar on a monitor that a user can still grab.
constexpr int kGripWidth = 40;
// Where a window that has left every monitor goes, in the primary monitor's
// work area.
constexpr int kFallbackOffset = 20;
// More than any monitor has room for; keeps the sizes far from overflowing
// whatever text size the desktop reports.
constexpr double kLargestFactor = 8.0;

int Overlap(int start_a, int length_a, int start_b, int length_b) {
  return std::min(start_a + length_a, start_b + length_b) - std::max(start_a, start_b);
}

// The monitor holding the largest grip of the title bar of a window `width`
// wide at (x, y); null when no monitor holds one large enough. Only the work
// area counts: a title bar beneath a panel or the task bar cannot be grabbed.
const Monitor* MonitorHoldingTitleBar(int x, int y, int width, double factor,
                                      std::span<const Monitor> monitors) {
  const int title_height = ScaleLength(kTitleBarHeight, factor);
  const int grip = std::min(width, ScaleLength(kGripWidth, factor));
  const Monitor* best = nullptr;
  long best_area = 0;
  for (const Monitor& monitor : monitors) {
    const ScreenRect& screen = monitor.work_area;
    const int across = Overlap(x, width, screen.x, screen.width);
    const int down = Overlap(y, title_height, screen.y, screen.height);
    // Half the title bar's height is enough to take hold of it.
    if (across < grip || 2 * down < title_height) continue;
    const long area = static_cast<long>(across) * down;
    if (area > best_area) {
      best = &monitor;
      best_area = area;
    }
  }
  return best;
}

// The largest factor up to `wanted` at which the window and its frame fit
// into `area`, and never below 1.
double FittingFactor(double wanted, int width, int height, const ScreenRect& area) {
  const double across = static_cast<double>(area.width) / (width + kFrameWidth);
  const double down = static_cast<double>(area.height) / (height + kFrameHeight);
  return std::max(1.0, std::min({wanted, across, down}));
}

}  // namespace

WindowPlacement PlaceMainWindow(int x, int y, int width, int height, double text_factor,
                                std::span<const Monitor> monitors) {
  double wanted = text_factor;
  // Also catches a factor that is no number at all.
  if (!(wanted >= 1.0)) wanted = 1.0;
  wanted = std::min(wanted, kLargestFactor);
  if (monitors.empty()) return {x, y, wanted};
  const Monitor* monitor =
      MonitorHoldingTitleBar(x, y, ScaleLength(width, wanted), wanted, monitors);
  if (monitor == nullptr) {
    monitor = &monitors.front();
    x = monitor->work_area.x + kFallbackOffset;
    y = monitor->work_area.y + kFallbackOffset;
  }
  return {x, y, FittingFactor(wanted, width, height, monitor->work_area)};
}

}  // namespace zielwerk
