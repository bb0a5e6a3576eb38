// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture_maker/command_line.h"

#include <windows.h>

#include <algorithm>

#include "core/text/wide_text_win32.h"

namespace zielwerk {

std::vector<std::string> ExpandWildcards(const std::vector<std::string>& inputs,
                                         std::vector<std::string>& unmatched) {
  std::vector<std::string> expanded;
  for (const std::string& input : inputs) {
    const std::optional<std::wstring> pattern = WideFromUtf8(input);
    if (input.find_first_of("*?") == std::string::npos || !pattern) {
      expanded.push_back(input);
      continue;
    }
    const size_t separator = input.find_last_of("/\\:");
    const std::string folder = separator == std::string::npos ? "" : input.substr(0, separator + 1);
    std::vector<std::string> matches;
    WIN32_FIND_DATAW entry;
    const HANDLE search =
        FindFirstFileExW(pattern->c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
          matches.push_back(folder + Utf8FromWide(entry.cFileName));
        }
      } while (FindNextFileW(search, &entry));
      FindClose(search);
    }
    std::sort(matches.begin(), matches.end());
    if (matches.empty()) unmatched.push_back(input);
    expanded.insert(expanded.end(), matches.begin(), matches.end());
  }
  return expanded;
}

}  // namespace zielwerk
