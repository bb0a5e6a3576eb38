// SPDX-License-Identifier: GPL-3.0-or-later
// The lines a settings save writes, for comparing saved files byte for byte.
#pragma once

#include <map>
#include <string>

namespace zielwerk::testing {

// The thirteen "key = value" lines of a saved settings file, in their order,
// each ending in a line feed: the form's defaults, with `values` replacing
// those of the keys it names.
std::string FormLines(const std::map<std::string, std::string>& values = {});

}  // namespace zielwerk::testing
