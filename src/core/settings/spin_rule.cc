// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/spin_rule.h"

#include <algorithm>

#include "ini/ini_document.h"

namespace zielwerk {

SpinText ApplySpinRule(std::string_view text, int64_t minimum, int64_t maximum) {
  if (text.empty()) return SpinText{std::nullopt, ""};
  const int64_t value = std::clamp(ParseIniInteger(text), minimum, maximum);
  return SpinText{value, std::to_string(value)};
}

}  // namespace zielwerk
