// SPDX-License-Identifier: GPL-3.0-or-later
#include "ini/ini_document.h"

namespace zielwerk {

// Windows editors and tools expect CR LF.
const std::string_view kIniLineEnd = "\r\n";

}  // namespace zielwerk
