// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/support/form_lines.h"

#include <utility>

namespace zielwerk::testing {

std::string FormLines(const std::map<std::string, std::string>& values) {
  const std::pair<const char*, const char*> defaults[] = {
      {"DCC-Adresse", "4"},
      {"DCC/Analog", "0"},
      {"Zugtyp", "0"},
      {"Anfangsstation", "St. Moritz"},
      {"Scrollstring", "Pontresina-Morteratsch-Ospizio Bernina-Alp Gr\xC3\xBCm-Poschiavo-Brusio"},
      {"Endstation", "Tirano"},
      {"Modus Anfang", "0"},
      {"Zeit Anfang", "1000"},
      {"Modus Ende", "0"},
      {"Zeit Ende", "1000"},
      {"Wagennummer", "1"},
      {"keine Wagennummer anzeigen", "0"},
      {"Fahrtrichtung invertieren", "0"}};
  std::string out;
  for (const auto& [key, value] : defaults) {
    const auto replaced = values.find(key);
    out += std::string(key) + " = " + (replaced != values.end() ? replaced->second : value) + "\n";
  }
  return out;
}

}  // namespace zielwerk::testing
