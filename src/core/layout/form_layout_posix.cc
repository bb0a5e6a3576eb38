// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/form_layout.h"

namespace zielwerk {

const int kMainWindowHeight = 600;

FormLayout PlatformFormLayout(int toolbar_height, int, double factor) {
  FormLayout layout = BaseFormLayout();
  for (FormRect& rect : layout) rect.y += toolbar_height;
  return ScaleFormLayout(layout, factor);
}

}  // namespace zielwerk
