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

}  // namespace zielwerk
