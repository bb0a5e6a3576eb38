// SPDX-License-Identifier: GPL-3.0-or-later
// The picture maker's file names, which the two systems expand differently.
#pragma once

#include <string>
#include <vector>

namespace zielwerk {

// `inputs` with every name holding * or ? replaced by the files it matches,
// sorted: the shell does that on Linux, so nothing changes there; on Windows
// the prompt passes "*.jpg" on as it is. A pattern that matches nothing is
// left out and added to `unmatched`.
std::vector<std::string> ExpandWildcards(const std::vector<std::string>& inputs,
                                         std::vector<std::string>& unmatched);

}  // namespace zielwerk
