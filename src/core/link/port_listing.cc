// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_listing.h"

#include "text/utf8.h"

namespace zielwerk {

std::vector<std::string> ParsePortListing(std::string_view listing, PortNameRule rule) {
  std::vector<std::string> names;
  while (!listing.empty()) {
    const size_t end = listing.find('\n');
    std::string_view line = listing.substr(0, end);
    listing = end == std::string_view::npos ? std::string_view() : listing.substr(end + 1);
    // chgport ends its lines with CR LF.
    if (line.ends_with('\r')) line.remove_suffix(1);
    const std::string_view name = line.substr(0, line.find(' '));
    if (!name.starts_with(rule.prefix) || !IsValidUtf8(name)) continue;
    if (rule.max_length != 0 && name.size() > rule.max_length) continue;
    names.emplace_back(name);
  }
  return names;
}

std::string FriendlyNameDescription(std::string_view friendly_name, std::string_view port) {
  const std::string suffix = " (" + std::string(port) + ")";
  if (friendly_name.ends_with(suffix)) friendly_name.remove_suffix(suffix.size());
  return std::string(friendly_name);
}

int PortIndex(const std::vector<std::string>& names, std::string_view name) {
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return static_cast<int>(i);
  }
  return -1;
}

PortChoice ChoosePort(const std::vector<std::string>& names,
                      const std::optional<std::string>& stored_name, int64_t stored_index) {
  if (stored_name) return PortChoice{PortIndex(names, *stored_name), *stored_name};
  if (stored_index < 0 || stored_index >= static_cast<int64_t>(names.size())) return PortChoice{};
  const auto index = static_cast<size_t>(stored_index);
  return PortChoice{static_cast<int>(index), names[index]};
}

}  // namespace zielwerk
