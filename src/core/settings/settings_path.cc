// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_path.h"

#include <cctype>

#include "text/utf8.h"

namespace zielwerk {

std::string WindowTitle(std::string_view settings_path, std::string_view separators) {
  std::string_view file = settings_path;
  if (const size_t slash = file.find_last_of(separators); slash != std::string_view::npos) {
    file.remove_prefix(slash + 1);
  }
  if (file.size() >= 2 && file.front() == '"' && file.back() == '"') {
    file = file.substr(1, file.size() - 2);
  } else {
    while (!file.empty() && file.front() == '"') file.remove_prefix(1);
    while (!file.empty() && file.back() == '"') file.remove_suffix(1);
  }
  return std::string(kAppNameAndVersion) + " - [" + std::string(file) + "]";
}

std::string WithSettingsExtension(std::string_view path) {
  std::string tail(path.substr(path.size() >= 4 ? path.size() - 4 : 0));
  for (char& c : tail) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::string result(path);
  if (tail != ".INI") result += ".ini";
  return result;
}

std::vector<FileFilter> ParseFilterText(std::string_view text) {
  std::vector<std::string_view> parts;
  for (size_t start = 0;;) {
    const size_t bar = text.find('|', start);
    parts.push_back(TrimBlanks(text.substr(start, bar == std::string_view::npos ? bar : bar - start)));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  std::vector<FileFilter> filters;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    FileFilter filter{std::string(parts[i]), {}};
    std::string_view list = parts[i + 1];
    for (size_t start = 0;;) {
      const size_t semicolon = list.find(';', start);
      const std::string_view pattern = TrimBlanks(
          list.substr(start, semicolon == std::string_view::npos ? semicolon : semicolon - start));
      if (!pattern.empty()) filter.patterns.emplace_back(pattern == "*.*" ? "*" : pattern);
      if (semicolon == std::string_view::npos) break;
      start = semicolon + 1;
    }
    filters.push_back(std::move(filter));
  }
  return filters;
}

std::string CaseBlindPattern(std::string_view pattern) {
  std::string out;
  for (char c : pattern) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (std::isalpha(u) && u < 0x80) {
      out += '[';
      out += static_cast<char>(std::tolower(u));
      out += static_cast<char>(std::toupper(u));
      out += ']';
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace zielwerk
