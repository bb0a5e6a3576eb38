// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/form_layout.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace zielwerk {

namespace {

using F = FormControl;

// One row of the form's place table: the control it places, its place at
// 96 dpi, and its stop in the Tab order (1, 2, ...; 0 for a control the
// keyboard does not visit: labels, frames, the preview).
struct FormPlace {
  FormControl control;
  FormRect rect;
  int tab_stop;
};

// Each control's place at 96 dpi and its stop in the Tab order: row by row
// and frame by frame, each frame's controls together (0: no stop).
constexpr std::array<FormPlace, kFormControlCount> kFormPlaces = {{
    {F::kDisplayFrame, {320, 10, 190, 110}, 0},
    {F::kPreviewStartText, {330, 30, 170, 21}, 0},
    {F::kPreviewScrollText, {330, 50, 170, 21}, 0},
    {F::kPreviewEndText, {330, 70, 170, 21}, 0},
    {F::kCarNumberSpin, {220, 390, 50, 20}, 15},
    {F::kTrainPictureImage, {330, 95, 160, 14}, 0},
    {F::kStartModeCombo, {240, 170, 130, 20}, 8},
    {F::kStartTimeSpin, {390, 170, 110, 20}, 9},
    {F::kStartTimeLabel, {350, 150, 150, 20}, 0},
    {F::kEndTimeLabel, {350, 300, 150, 20}, 0},
    {F::kEndModeCombo, {240, 320, 130, 20}, 12},
    {F::kEndTimeSpin, {390, 320, 110, 20}, 13},
    {F::kHideCarNumberCheck, {280, 395, 220, 20}, 16},
    {F::kScrollTextField, {30, 240, 470, 20}, 10},
    {F::kScrollTextLabel, {30, 220, 470, 20}, 0},
    {F::kDccAnalogCombo, {30, 30, 100, 20}, 1},
    {F::kTrainTypeCombo, {30, 395, 160, 20}, 14},
    {F::kPreviewCarNumberText, {363, 90, 16, 20}, 0},
    {F::kPortFrame, {170, 10, 120, 110}, 0},
    {F::kPortCombo, {180, 30, 100, 20}, 3},
    {F::kPortButton, {180, 60, 100, 20}, 4},
    {F::kStartModeFrame, {230, 130, 280, 80}, 0},
    {F::kEndModeFrame, {230, 280, 280, 80}, 0},
    {F::kCarNumberFrame, {210, 370, 300, 60}, 0},
    {F::kTrainTypeFrame, {20, 370, 180, 60}, 0},
    {F::kStartModeLabel, {240, 150, 100, 20}, 0},
    {F::kStartStationField, {30, 180, 170, 20}, 7},
    {F::kStartStationLabel, {30, 160, 140, 20}, 0},
    {F::kEndStationField, {30, 320, 170, 20}, 11},
    {F::kEndModeLabel, {240, 300, 100, 20}, 0},
    {F::kEndStationLabel, {30, 280, 140, 20}, 0},
    {F::kDccAnalogFrame, {20, 10, 120, 110}, 0},
    {F::kDccAddressSpin, {30, 80, 100, 20}, 2},
    {F::kDccAddressLabel, {30, 60, 100, 20}, 0},
    {F::kResetButton, {230, 90, 50, 20}, 5},
    {F::kDisplayLabel, {180, 90, 50, 20}, 0},
    {F::kInvertDirectionCheck, {30, 130, 210, 20}, 6},
}};

// The table is indexed by its controls, and its Tab stops run 1, 2, ... without
// a gap or a twin.
constexpr bool InControlOrder() {
  for (size_t i = 0; i < kFormPlaces.size(); ++i) {
    if (static_cast<size_t>(kFormPlaces[i].control) != i) return false;
  }
  return true;
}
static_assert(InControlOrder());

constexpr bool TabStopsCountUp() {
  int stops = 0;
  for (const FormPlace& place : kFormPlaces) stops += place.tab_stop > 0 ? 1 : 0;
  for (int stop = 1; stop <= stops; ++stop) {
    int found = 0;
    for (const FormPlace& place : kFormPlaces) found += place.tab_stop == stop ? 1 : 0;
    if (found != 1) return false;
  }
  return true;
}
static_assert(TabStopsCountUp());

}  // namespace

const FormLayout& BaseFormLayout() {
  static const FormLayout layout = [] {
    FormLayout rects{};
    for (size_t i = 0; i < kFormPlaces.size(); ++i) rects[i] = kFormPlaces[i].rect;
    return rects;
  }();
  return layout;
}

std::vector<FormControl> TabOrder() {
  std::vector<FormControl> order;
  for (int stop = 1;; ++stop) {
    const auto place = std::find_if(kFormPlaces.begin(), kFormPlaces.end(),
                                    [stop](const FormPlace& p) { return p.tab_stop == stop; });
    if (place == kFormPlaces.end()) return order;
    order.push_back(place->control);
  }
}

int ScaleLength(int pixels, double factor) {
  return static_cast<int>(std::lround(pixels * factor));
}

FormRect ScaleFormRect(const FormRect& rect, double factor) {
  const int x = ScaleLength(rect.x, factor);
  const int y = ScaleLength(rect.y, factor);
  return {x, y, ScaleLength(rect.x + rect.width, factor) - x,
          ScaleLength(rect.y + rect.height, factor) - y};
}

FormLayout ScaleFormLayout(const FormLayout& layout, double factor) {
  FormLayout scaled = layout;
  for (FormRect& rect : scaled) rect = ScaleFormRect(rect, factor);
  return scaled;
}

FormRect PictureInPlace(int width, int height, const FormRect& base, const FormRect& place) {
  const auto enlarge = [](int length, int from, int to) {
    if (from <= 0) return length;
    return static_cast<int>((static_cast<long long>(length) * to + from / 2) / from);
  };
  return {place.x, place.y, enlarge(width, base.width, place.width),
          enlarge(height, base.height, place.height)};
}

FormLayout CompactFormLayout(const FormLayout& base, int form_height) {
  struct Row {
    int top;
    int bottom;
  };
  // Rows from the controls' vertical extents, top to bottom.
  std::vector<Row> extents;
  for (const FormRect& rect : base) extents.push_back({rect.y, rect.y + rect.height});
  std::sort(extents.begin(), extents.end(), [](const Row& a, const Row& b) { return a.top < b.top; });
  std::vector<Row> rows;
  for (const Row& extent : extents) {
    if (!rows.empty() && extent.top < rows.back().bottom) {
      rows.back().bottom = std::max(rows.back().bottom, extent.bottom);
    } else {
      rows.push_back(extent);
    }
  }

  const int top_margin = rows.front().top;
  const int missing = rows.back().bottom + top_margin - form_height;
  if (missing <= 0 || rows.size() < 2) return base;

  std::vector<int> gaps;
  for (size_t i = 1; i < rows.size(); ++i) gaps.push_back(rows[i].top - rows[i - 1].bottom);
  const int total_gap = std::accumulate(gaps.begin(), gaps.end(), 0);
  const int taken = std::min(missing, total_gap);

  // Each gap gives up its share of `taken`, rounded down; what the rounding
  // left over comes from the gaps with the largest remainders, the upper ones
  // first on a tie, so that exactly `taken` pixels go.
  std::vector<int> cuts(gaps.size());
  std::vector<std::pair<long, size_t>> remainders;
  int cut_so_far = 0;
  for (size_t i = 0; i < gaps.size(); ++i) {
    const long share = static_cast<long>(gaps[i]) * taken;
    cuts[i] = static_cast<int>(share / total_gap);
    cut_so_far += cuts[i];
    remainders.push_back({share % total_gap, i});
  }
  std::stable_sort(remainders.begin(), remainders.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  for (size_t k = 0; cut_so_far < taken; ++k, ++cut_so_far) ++cuts[remainders[k].second];

  // Every control moves up by what the gaps above its row gave up.
  std::vector<int> shift(rows.size(), 0);
  for (size_t i = 1; i < rows.size(); ++i) shift[i] = shift[i - 1] + cuts[i - 1];
  FormLayout compact = base;
  for (FormRect& rect : compact) {
    size_t row = 0;
    while (row + 1 < rows.size() && rect.y >= rows[row + 1].top) ++row;
    rect.y -= shift[row];
  }
  return compact;
}

}  // namespace zielwerk
