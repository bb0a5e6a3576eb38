// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/display_state.h"

#include "simulator/command_description.h"
#include "text/utf8.h"

namespace zielwerk {
namespace {

std::string QuotedLine(std::string_view line) {
  return "\xE2\x80\x9E" + ReadableBytes(line) + "\xE2\x80\x9C";  // „…“
}

}  // namespace

DisplayRoute ParseRouteCommand(std::string_view command) {
  const std::string text = SanitizeUtf8(RestoreUmlauts(command));
  const size_t first = text.find(kScrollFieldSeparator);
  if (first == std::string::npos) return {text, "", ""};
  const size_t last = text.rfind(kScrollFieldSeparator);
  if (first == last) return {text.substr(0, first), "", text.substr(first + 1)};
  return {text.substr(0, first), text.substr(first + 1, last - first - 1), text.substr(last + 1)};
}

DisplayLineSummary DisplayState::TakeLine(std::string_view line) {
  ++lines_received_;
  if (line.empty()) return {DisplayLineKind::kEmpty, "Leere Zeile"};
  const auto first = static_cast<unsigned char>(line.front());
  if (first == '!') {
    const std::optional<SettingsCommandFields> fields = ParseSettingsCommand(line);
    if (!fields) return {DisplayLineKind::kMalformed, "Fehlerhafte Einstellungen " + QuotedLine(line)};
    settings_ = *fields;
    return {DisplayLineKind::kSettings, "Einstellungen " + QuotedLine(line)};
  }
  if (first >= '0' && first <= '6') {
    const std::optional<std::array<std::string, 2>> rows = DecodePictureRowCommand(line);
    if (!rows) return {DisplayLineKind::kMalformed, "Fehlerhafte Bildzeilen " + QuotedLine(line)};
    const int pair = first - '0';
    for (int half = 0; half < 2; ++half) {
      std::bitset<kDisplayPictureWidth>& row = picture_[static_cast<size_t>(2 * pair + half)];
      const std::string& dots = (*rows)[static_cast<size_t>(half)];
      for (size_t x = 0; x < row.size(); ++x) row[x] = dots[x] == '#';
    }
    return {DisplayLineKind::kPictureRows, "Bildzeilen " + std::to_string(2 * pair) + " und " +
                                               std::to_string(2 * pair + 1)};
  }
  if (first >= 'A') {
    route_ = ParseRouteCommand(line);
    return {DisplayLineKind::kRoute, "Lauftext " + QuotedLine(RestoreUmlauts(line))};
  }
  return {DisplayLineKind::kUnknown, "Unbekannter Befehl " + QuotedLine(line)};
}

void DisplayState::Tick() {
  PreviewTickResult result =
      TickPreview(preview_, PreviewTickInput{route_.scroll_text, settings_.start_mode,
                                             settings_.start_time_text, settings_.end_mode,
                                             settings_.end_time_text});
  preview_ = result.next;
  window_ = std::move(result.window);
}

bool DisplayState::PictureDot(int x, int y) const {
  if (x < 0 || y < 0 || x >= kDisplayPictureWidth || y >= kDisplayPictureHeight) return false;
  return picture_[static_cast<size_t>(y)][static_cast<size_t>(x)];
}

PreviewStations DisplayState::Stations() const {
  return PrepareStations(route_.start_station, route_.end_station, settings_.invert_direction == 1);
}

std::string DisplayState::CarNumberText() const {
  if (settings_.hide_car_number == 1) return "";
  return std::to_string(settings_.car_number);
}

}  // namespace zielwerk
