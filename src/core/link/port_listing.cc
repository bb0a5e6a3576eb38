// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_listing.h"

#include <algorithm>

#include "ini/ini_store.h"
#include "settings/settings_keys.h"
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

bool IsUsbHardwareId(std::string_view hardware_id) {
  return hardware_id.starts_with("USB\\") || hardware_id.find("VID_") != std::string_view::npos;
}

PortChoice ChoosePort(const std::vector<PortEntry>& ports,
                      const std::optional<std::string>& stored_name,
                      std::optional<int64_t> stored_index) {
  if (stored_name) {
    for (size_t i = 0; i < ports.size(); ++i) {
      if (ports[i].name == *stored_name) return PortChoice{static_cast<int>(i), *stored_name};
    }
    return PortChoice{-1, *stored_name};
  }
  int64_t index = stored_index.value_or(0);
  if (!stored_index) {
    // A first start: the adapter the user has just plugged in, not "tty",
    // which heads a Linux list of a hundred terminals.
    const auto usb = std::find_if(ports.begin(), ports.end(), [](const PortEntry& port) { return port.usb; });
    if (usb != ports.end()) index = usb - ports.begin();
  }
  if (index < 0 || index >= static_cast<int64_t>(ports.size())) return PortChoice{};
  return PortChoice{static_cast<int>(index), ports[static_cast<size_t>(index)].name};
}

PortChoice RememberedPort(const std::vector<PortEntry>& ports) {
  const std::optional<std::string> name =
      HasIniKey(kKeyPortName) ? std::optional(ReadIniText(kKeyPortName, "")) : std::nullopt;
  const std::optional<int64_t> index =
      HasIniKey(kKeyPort) ? std::optional(ReadIniInteger(kKeyPort, 0)) : std::nullopt;
  return ChoosePort(ports, name, index);
}

}  // namespace zielwerk
