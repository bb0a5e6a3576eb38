#include "app/link/link_commands.h"

#include <optional>
#include <string>
#include <vector>

#include "app/preview/scroll_preview.h"
#include "app/ui/main_window.h"
#include "app/ui/message_box.h"
#include "core/link/command_exchange.h"
#include "core/link/display_commands.h"
#include "core/link/port_listing.h"
#include "core/link/serial_port.h"

namespace zielwerk {
namespace {

// While the link is open the port cannot be changed and the display can be
// reset; the pressed button is what shows an open link.
void ShowLinkState(bool open) {
  MainWindow& form = Form();
  form.port_button.set_active(open);
  form.port_combo.set_sensitive(!open);
  form.display_label.set_sensitive(open);
  form.reset_button.set_sensitive(open);
}

constexpr const char* kStatusPortOpened = "Serielle Schnittstelle geöffnet";
constexpr const char* kStatusPortOpenFailed = "Serielle Schnittstelle konnte nicht geöffnet werden";
constexpr const char* kStatusPortClosed = "Serielle Schnittstelle geschlossen";
constexpr const char* kStatusDisplayReset = "Display geresettet";
constexpr const char* kStatusResetPortClosed = "Fehler: Serielle Schnittstelle ist geschlossen";

void ShowStatus(std::string_view text) { Form().SetStatusText(std::string(text)); }

}  // namespace

void FindSerialPorts() {
  const std::optional<std::vector<std::string>> names = ListSerialPortNames();
  if (names) {
    for (const std::string& name : *names) Form().port_combo.append(name);
  }
  if (!names || names->empty()) {
    ShowMessageBox(kWarningTitle, "Es wurde kein COM-Port gefunden");
  }
}

void TogglePortCommand(ControlEventKind) {
  MainWindow& form = Form();
  SerialPort& link = SerialLink();
  if (form.port_button.get_active()) {
    const PortResult opened = link.Open(PortDevicePath(form.port_combo.get_entry_text().raw()));
    ShowStatus(opened.ok ? kStatusPortOpened : kStatusPortOpenFailed);
    ShowLinkState(opened.ok);
  } else if (link.IsOpen()) {
    link.Close();
    ShowStatus(kStatusPortClosed);
    ShowLinkState(false);
  }
}

void CloseLinkAtShutdown() {
  SerialPort& link = SerialLink();
  if (!link.IsOpen()) return;
  link.Close();
  ShowStatus(kStatusPortClosed);
  ShowLinkState(false);
}

void TransferSettingsCommand() {
  MainWindow& form = Form();
  SettingsCommandFields fields;
  fields.car_number = static_cast<int>(form.car_number_spin.GetValue());
  fields.hide_car_number = form.hide_car_number_check.get_active() ? 1 : 0;
  fields.train_type = SelectedEntry(form.train_type_combo);
  fields.start_mode = SelectedEntry(form.start_mode_combo);
  fields.start_time_text = form.start_time_spin.GetText();
  fields.end_mode = SelectedEntry(form.end_mode_combo);
  fields.end_time_text = form.end_time_spin.GetText();
  fields.dcc_analog = SelectedEntry(form.dcc_analog_combo);
  fields.dcc_address_text = form.dcc_address_spin.GetText();
  fields.invert_direction = form.invert_direction_check.get_active() ? 1 : 0;
  ShowStatus(CommandExchange(SettingsCommand(fields)));
}

void TransferScrollTextCommand() {
  MainWindow& form = Form();
  // The preview shows the stations swapped for an inverted direction; the
  // command takes them from their fields as they stand.
  const std::optional<std::string> result =
      SendScrollText(SerialLink(), form.start_station_field.get_text().raw(), PreparedScrollText(),
                     form.end_station_field.get_text().raw());
  if (!result) {
    ShowMessageBox(kErrorTitle, "Erstes Zeichen muss ein Grossbuchstaben sein");
    return;
  }
  ShowStatus(*result);
}


void ResetDisplayCommand(ControlEventKind) {
  ShowStatus(ResetDisplay() ? kStatusDisplayReset : kStatusResetPortClosed);
}

}  // namespace zielwerk
