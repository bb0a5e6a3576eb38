// SPDX-License-Identifier: GPL-3.0-or-later
#include "ini/ini_document.h"

namespace zielwerk {

const std::string_view kIniLineEnd = "\n";

}  // namespace zielwerk
