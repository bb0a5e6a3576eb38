// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/console.h"

namespace zielwerk {

OptionArgument SplitOption(const std::string& argument) {
  const size_t equals = argument.find('=');
  if (!argument.starts_with("--") || equals == std::string::npos) return {argument, std::nullopt};
  return {argument.substr(0, equals), argument.substr(equals + 1)};
}

}  // namespace zielwerk
