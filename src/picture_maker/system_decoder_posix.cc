// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture_maker/system_decoder.h"

namespace zielwerk {

SystemDecoding DecodeWithSystem(std::string_view) { return {}; }

std::vector<std::string> SystemPictureExtensions() { return {}; }

}  // namespace zielwerk
