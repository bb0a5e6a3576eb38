// SPDX-License-Identifier: GPL-3.0-or-later
#include "sender/send_request.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/console/console.h"
#include "core/messages/messages.h"

namespace zielwerk {
namespace {

constexpr std::array<std::pair<std::string_view, SendPart>, 4> kPartWords = {{
    {"reset", SendPart::kReset},
    {"einstellungen", SendPart::kSettings},
    {"lauftext", SendPart::kRoute},
    {"bild", SendPart::kPicture},
}};

ParsedSendArguments Wrong(std::string error) { return ParsedSendArguments{std::nullopt, std::move(error)}; }

// The parts a --nur list names, in sending order; nullopt when a word is
// none of them (an empty list names none).
std::optional<std::vector<SendPart>> ParseParts(std::string_view list) {
  std::vector<SendPart> parts;
  size_t begin = 0;
  for (;;) {
    const size_t comma = list.find(',', begin);
    const std::string_view word = list.substr(begin, comma == std::string_view::npos ? comma : comma - begin);
    const auto known = std::find_if(kPartWords.begin(), kPartWords.end(),
                                    [word](const auto& entry) { return entry.first == word; });
    if (known == kPartWords.end()) return std::nullopt;
    parts.push_back(known->second);
    if (comma == std::string_view::npos) break;
    begin = comma + 1;
  }
  std::sort(parts.begin(), parts.end());
  parts.erase(std::unique(parts.begin(), parts.end()), parts.end());
  return parts;
}

// 1 to 9 in plain decimal digits, else nullopt.
std::optional<int> ParseCarNumber(std::string_view text) {
  if (text.size() != 1 || text[0] < '1' || text[0] > '9') return std::nullopt;
  return text[0] - '0';
}

}  // namespace

const std::string_view kSendUsage =
    "Aufruf: zielwerk-senden [-p PORT] [--nur LISTE] [--wagennummer N] [DATEI]\n"
    "  oder: zielwerk-senden --liste\n"
    "\n"
    "Sendet eine Einstellungsdatei von Zielwerk ohne Fenster an das Display: die\n"
    "Einstellungen, den Lauftext und, wenn die Datei den Zugtyp \xE2\x80\x9E" "Bild Zugtyp\xE2\x80\x9C\n"
    "mit einem Bild w\xC3\xA4hlt, das Bild \xE2\x80\x93 dieselben Befehle, die die Kn\xC3\xB6pfe\n"
    "\xE2\x80\x9E\xC3\x9C" "bertragen\xE2\x80\x9C im Fenster senden. Jede Antwort des Displays steht in einer\n"
    "Zeile, wie in der Statuszeile des Fensters.\n"
    "\n"
    "Optionen:\n"
    "  -p, --port PORT       der Port, etwa ttyUSB0, /dev/ttyUSB0 oder COM3\n"
    "                        (Standard: der Port, den Zielwerk zuletzt benutzt hat,\n"
    "                        aus Zielstell.ini im aktuellen Ordner)\n"
    "  --nur LISTE           nur das Genannte senden, durch Kommas getrennt: reset,\n"
    "                        einstellungen, lauftext, bild (in dieser Reihenfolge)\n"
    "  --wagennummer N       N (1 bis 9) statt der Wagennummer der Datei senden;\n"
    "                        die Datei bleibt, wie sie ist\n"
    "  --liste               die Ports zeigen, wie Zielwerk sie in seiner Liste\n"
    "                        zeigt, und nichts senden\n"
    "  -h, --help            diese Hilfe\n"
    "\n"
    "Ohne DATEI gilt die Einstellungsdatei, die Zielstell.ini im aktuellen Ordner\n"
    "nennt, sonst Default.ini. Keine Datei wird ver\xC3\xA4ndert.\n"
    "\n"
    "Der R\xC3\xBC" "ckgabewert ist 0, wenn das Display jeden Befehl beantwortet hat; 1, wenn\n"
    "der Port nicht aufgeht, ein Befehl ohne Antwort blieb, eine Datei nicht zu\n"
    "lesen war oder ein Befehl abgelehnt wurde; 2 bei einem falschen Aufruf.\n";

ParsedSendArguments ParseSendArguments(const std::vector<std::string>& arguments) {
  SendRequest request;
  bool options_ended = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (options_ended || argument.size() < 2 || argument[0] != '-') {
      if (request.settings_file) {
        return Wrong(ComposeMessage(Message::kSendSecondFile, {Quoted(argument)}));
      }
      request.settings_file = argument;
      continue;
    }
    if (argument == "--") {
      options_ended = true;
      continue;
    }
    OptionArgument option = SplitOption(argument);
    const std::string& name = option.name;
    std::optional<std::string>& value = option.value;
    if (name == "-h" || name == "--help" || name == "--liste") {
      if (value) return Wrong(ComposeMessage(Message::kOptionTakesNoValue, {name}));
      (name == "--liste" ? request.list : request.help) = true;
      continue;
    }
    if (name != "-p" && name != "--port" && name != "--nur" && name != "--wagennummer") {
      return Wrong(ComposeMessage(Message::kUnknownOption, {Quoted(name)}));
    }
    if (!value) {
      if (i + 1 >= arguments.size()) return Wrong(ComposeMessage(Message::kOptionValueMissing, {name}));
      value = arguments[++i];
    }
    if (name == "--nur") {
      request.parts = ParseParts(*value);
      if (!request.parts) return Wrong(ComposeMessage(Message::kSendBadPart, {Quoted(*value)}));
    } else if (name == "--wagennummer") {
      request.car_number = ParseCarNumber(*value);
      if (!request.car_number) return Wrong(ComposeMessage(Message::kSendBadCarNumber, {Quoted(*value)}));
    } else {
      request.port = *value;
    }
  }
  return ParsedSendArguments{std::move(request), {}};
}

}  // namespace zielwerk
