// SPDX-License-Identifier: GPL-3.0-or-later
// Where the controls of the main window's form area lie. One table holds the
// places of the Linux window (530 x 600) at the standard resolution of 96 dpi;
// ScaleFormLayout draws it larger for a desktop that lays its texts out at a
// higher resolution, and the Windows window (530 x 480) is computed from it by
// CompactFormLayout. form_layout_posix.cc and form_layout_win32.cc choose the
// window height and the layout.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace zielwerk {

// The form's controls, in the order they are created.
enum class FormControl {
  kDisplayFrame,
  kPreviewStartText,
  kPreviewScrollText,
  kPreviewEndText,
  kCarNumberSpin,
  kTrainPictureImage,
  kStartModeCombo,
  kStartTimeSpin,
  kStartTimeLabel,
  kEndTimeLabel,
  kEndModeCombo,
  kEndTimeSpin,
  kHideCarNumberCheck,
  kScrollTextField,
  kScrollTextLabel,
  kDccAnalogCombo,
  kTrainTypeCombo,
  kPreviewCarNumberText,
  kPortFrame,
  kPortCombo,
  kPortButton,
  kStartModeFrame,
  kEndModeFrame,
  kCarNumberFrame,
  kTrainTypeFrame,
  kStartModeLabel,
  kStartStationField,
  kStartStationLabel,
  kEndStationField,
  kEndModeLabel,
  kEndStationLabel,
  kDccAnalogFrame,
  kDccAddressSpin,
  kDccAddressLabel,
  kResetButton,
  kDisplayLabel,
  kInvertDirectionCheck,
};
inline constexpr size_t kFormControlCount = 37;

struct FormRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  bool operator==(const FormRect&) const = default;
};

using FormLayout = std::array<FormRect, kFormControlCount>;

inline constexpr int kMainWindowWidth = 530;
// The client area's height: 600 on Linux, 480 on Windows.
extern const int kMainWindowHeight;

// The place of every control in the Linux window at 96 dpi, in FormControl's
// order, with y counted from the top of the form area before the toolbar's
// height is added.
const FormLayout& BaseFormLayout();

// The controls Tab visits, in that order.
std::vector<FormControl> TabOrder();

// `pixels` at the standard resolution drawn `factor` times as large, to the
// nearest whole pixel (halves away from zero). Every size of the form goes
// through here, so that its parts grow together; factor 1 returns `pixels`.
int ScaleLength(int pixels, double factor);

// `rect` drawn `factor` times as large: each of its edges scaled and rounded
// on its own (ScaleLength), so rounding never makes neighbours overlap that
// did not, a control inside a frame stays inside it, and factor 1 returns
// `rect` unchanged.
FormRect ScaleFormRect(const FormRect& rect, double factor);
// Every rectangle of `layout` through ScaleFormRect.
FormLayout ScaleFormLayout(const FormLayout& layout, double factor);

// Where a picture of width x height lies when shown from the top-left corner
// of a control that was `base` in the table and is `place` in the window:
// each side enlarged as the control's was, so that a picture of the
// control's own size fills its place exactly (a side of the control that is
// empty leaves that side as it is).
FormRect PictureInPlace(int width, int height, const FormRect& base, const FormRect& place);

// `base` fitted into a form area `form_height` pixels high. Every x, width
// and height stays. The controls fall into rows (controls whose vertical
// extents overlap, directly or through others, form one row). When the rows
// do not fit with a margin below them as large as the one above the first
// row, the gaps between the rows give up what is missing, each in proportion
// to its size, down to no gap at all. A layout that fits is returned as it is.
FormLayout CompactFormLayout(const FormLayout& base, int form_height);

// The layout this build shows at scale `factor`, given the height the toolbar
// takes and the height of the form area (both in the window's pixels): on
// Linux the base layout moved down by the toolbar's height (the form area
// already starts below the toolbar, so the form keeps an empty band of that
// height at its top) and scaled, band and all; on Windows the scaled base
// layout compacted to fit the smaller window.
FormLayout PlatformFormLayout(int toolbar_height, int form_height, double factor = 1.0);

}  // namespace zielwerk
