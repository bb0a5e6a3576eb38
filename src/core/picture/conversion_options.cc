// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/conversion_options.h"

#include <charconv>

#include "console/console.h"
#include "messages/messages.h"
#include "picture/text_picture.h"

namespace zielwerk {
namespace {

bool ParseThreshold(std::string_view text, int& threshold) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > 255) return false;
  threshold = value;
  return true;
}

bool ParseDithering(std::string_view text, Dithering& dithering) {
  if (text == "none") dithering = Dithering::kNone;
  else if (text == "floyd-steinberg") dithering = Dithering::kFloydSteinberg;
  else if (text == "atkinson") dithering = Dithering::kAtkinson;
  else return false;
  return true;
}

bool ParseFit(std::string_view text, std::optional<PictureFit>& fit) {
  if (text == "whole") fit = PictureFit::kWhole;
  else if (text == "height") fit = PictureFit::kHeight;
  else if (text == "width") fit = PictureFit::kWidth;
  else return false;
  return true;
}

ParsedArguments Wrong(std::string error) { return ParsedArguments{std::nullopt, std::move(error)}; }

}  // namespace

const std::string_view kConversionUsage =
    "Aufruf: zielwerk-bildwandler [BILD]\n"
    "  oder: zielwerk-bildwandler BILD... -o AUSGABE [OPTIONEN]\n"
    "  oder: zielwerk-bildwandler --text \"TEXT\" [--font \"SCHRIFT\"] -o AUSGABE.bmp [OPTIONEN]\n"
    "\n"
    "Macht aus Bildern oder einem Text Zugbilder mit 160 x 14 Punkten f\xC3\xBCr Zielwerk\n"
    "und speichert sie als BMP-Dateien. Ohne -o \xC3\xB6" "ffnet sich das Fenster, mit dem\n"
    "genannten BILD; mit -o l\xC3\xA4uft die Umwandlung ohne Fenster.\n"
    "\n"
    "Optionen:\n"
    "  -o, --output AUSGABE  die BMP-Datei; bei mehreren Bildern ein Ordner, in dem\n"
    "                        jedes Bild unter seinem Namen mit .bmp gespeichert wird\n"
    "  --threshold N         Helligkeitsschwelle von 0 bis 255 (Standard 128): ein\n"
    "                        Punkt leuchtet, wo das Bild dunkler ist\n"
    "  --dither ART          Rasterung: none (Standard), floyd-steinberg oder atkinson\n"
    "  --invert              leuchtende und dunkle Punkte tauschen\n"
    "  --fit ART             whole: so gro\xC3\x9F, wie es ganz in 160 x 14 Punkte passt\n"
    "                        (Standard bei --text), height: die 14 Zeilen f\xC3\xBCllen\n"
    "                        (Standard bei Bildern), width: die 160 Spalten f\xC3\xBCllen;\n"
    "                        was dann \xC3\xBC" "bersteht, wird abgeschnitten\n"
    "  --text \"TEXT\"         den Text statt eines Bildes setzen\n"
    "  --font \"SCHRIFT\"      Schrift und Schnitt des Textes, etwa \"DejaVu Serif Bold\"\n"
    "                        (Standard \"Sans Bold\")\n"
    "  -h, --help            diese Hilfe\n"
    "\n"
    "Eine vorhandene Ausgabedatei wird ersetzt. Der R\xC3\xBC" "ckgabewert ist 0, wenn alles\n"
    "umgewandelt wurde, 1, wenn ein Bild nicht gelesen oder nicht gespeichert werden\n"
    "konnte, und 2 bei einem falschen Aufruf.\n";

ParsedArguments ParseConversionArguments(const std::vector<std::string>& arguments) {
  ConversionRequest request;
  request.font = kDefaultTextFont;
  std::optional<PictureFit> fit;
  bool options_ended = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (options_ended || argument.size() < 2 || argument[0] != '-') {
      request.inputs.push_back(argument);
      continue;
    }
    if (argument == "--") {
      options_ended = true;
      continue;
    }
    OptionArgument option = SplitOption(argument);
    const std::string& name = option.name;
    std::optional<std::string>& value = option.value;
    const auto take_value = [&]() -> bool {
      if (value) return true;
      if (i + 1 >= arguments.size()) return false;
      value = arguments[++i];
      return true;
    };
    const auto flag = [&]() { return !value; };

    if (name == "-h" || name == "--help") {
      if (!flag()) return Wrong(ComposeMessage(Message::kOptionTakesNoValue, {name}));
      request.help = true;
    } else if (name == "--invert") {
      if (!flag()) return Wrong(ComposeMessage(Message::kOptionTakesNoValue, {name}));
      request.dots.invert = true;
    } else if (name == "-o" || name == "--output" || name == "--threshold" || name == "--dither" ||
               name == "--fit" || name == "--text" || name == "--font") {
      if (!take_value()) return Wrong(ComposeMessage(Message::kOptionValueMissing, {name}));
      if (name == "-o" || name == "--output") {
        if (value->empty()) return Wrong(ComposeMessage(Message::kOutputNameMissing, {name}));
        request.output = *value;
      } else if (name == "--threshold") {
        if (!ParseThreshold(*value, request.dots.threshold)) {
          return Wrong(ComposeMessage(Message::kBadThreshold, {Quoted(*value)}));
        }
      } else if (name == "--dither") {
        if (!ParseDithering(*value, request.dots.dithering)) {
          return Wrong(ComposeMessage(Message::kBadDither, {Quoted(*value)}));
        }
      } else if (name == "--fit") {
        if (!ParseFit(*value, fit)) {
          return Wrong(ComposeMessage(Message::kBadFit, {Quoted(*value)}));
        }
      } else if (name == "--text") {
        request.text = *value;
      } else {
        request.font = *value;
      }
    } else {
      return Wrong(ComposeMessage(Message::kUnknownOption, {Quoted(name)}));
    }
  }

  request.fit = fit.value_or(request.text ? kDefaultTextFit : kDefaultPictureFit);
  if (request.help) return ParsedArguments{std::move(request), {}};
  if (request.text && !request.inputs.empty()) {
    return Wrong(std::string(MessageText(Message::kTextAndFiles)));
  }
  if (request.output && !request.text && request.inputs.empty()) {
    return Wrong(std::string(MessageText(Message::kNothingToConvert)));
  }
  if (!request.output && request.inputs.size() > 1) {
    return Wrong(std::string(MessageText(Message::kOneFileWithoutOutput)));
  }
  return ParsedArguments{std::move(request), {}};
}

std::string OutputInFolder(std::string_view folder, std::string_view input,
                           std::string_view separators) {
  std::string_view name = input;
  if (const size_t last = name.find_last_of(separators); last != std::string_view::npos) {
    name.remove_prefix(last + 1);
  }
  // A leading dot starts a hidden file's name, not its extension.
  if (const size_t dot = name.rfind('.'); dot != std::string_view::npos && dot > 0) {
    name = name.substr(0, dot);
  }
  std::string path(folder);
  if (!path.empty() && separators.find(path.back()) == std::string_view::npos) {
    const size_t used = path.find_last_of(separators);
    path += used != std::string::npos ? path[used] : separators.back();
  }
  path += name.empty() ? "text" : std::string(name);
  return path + ".bmp";
}

}  // namespace zielwerk
