// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/icon_file.h"

namespace zielwerk {

const std::string_view kIconFileExtension = ".png";

}  // namespace zielwerk
