// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/form_layout.h"

namespace zielwerk {

const int kMainWindowHeight = 480;

// The smaller window has no room for the empty band of the toolbar's height
// that the Linux form keeps at its top.
FormLayout PlatformFormLayout(int, int form_height, double factor) {
  return CompactFormLayout(ScaleFormLayout(BaseFormLayout(), factor), form_height);
}

}  // namespace zielwerk
