// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/link/link_commands.h"

#include <glibmm/main.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/preview/scroll_preview.h"
#include "app/settings/settings_file.h"
#include "app/ui/main_window.h"
#include "app/ui/message_box.h"
#include "core/link/display_commands.h"
#include "core/link/port_listing.h"
#include "core/link/port_open_failure.h"
#include "core/link/serial_port.h"
#include "core/link/transfer_queue.h"

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

void ShowStatus(std::string_view text) { Form().SetStatusText(std::string(text)); }

// The transfers on the program's one link. Their waits run on the main loop,
// so the window repaints, the preview runs and every control answers while a
// transfer goes on, also while a message box is open.
TransferQueue& Transfers() {
  static TransferQueue queue(SerialLink());
  return queue;
}

// The main loop's timeout for the transfers' next step; not connected while
// no step is due.
sigc::connection next_step_timer;

// Carries the transfers on as far as they go now and has the main loop come
// back when the next step is due.
void AdvanceTransfers() {
  next_step_timer.disconnect();
  const TransferQueue::Outcome outcome = Transfers().Advance(std::chrono::steady_clock::now());
  for (const std::string& status : outcome.statuses) ShowStatus(status);
  if (!outcome.call_again_at) return;
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*outcome.call_again_at -
                                                                 std::chrono::steady_clock::now());
  next_step_timer = Glib::signal_timeout().connect(
      [] {
        RunProgramCode(AdvanceTransfers);
        return false;
      },
      static_cast<unsigned>(std::max<std::chrono::milliseconds::rep>(wait.count(), 0)));
}

// Queues `job` behind any transfer still going on; a command is carried out
// whole before the next one's bytes go out.
void Send(LinkJob job) {
  Transfers().Add(std::move(job));
  AdvanceTransfers();
}

void StopTransfers() {
  next_step_timer.disconnect();
  Transfers().Cancel();
}

}  // namespace

std::vector<PortEntry> FindSerialPorts() {
  // The list starts empty, and a listing that cannot be made leaves it so.
  const std::optional<std::vector<std::string>> names = ListSerialPortNames();
  const std::vector<PortEntry> ports = names ? DescribeSerialPorts(*names) : std::vector<PortEntry>();
  Form().port_combo.SetPorts(ports);
  if (ports.empty()) ShowMessageBox(MessageText(Message::kWarningTitle), MessageText(Message::kNoPortFound));
  return ports;
}

void RefreshSerialPorts() {
  // A listing that cannot be made at all keeps the list as it was.
  const std::optional<std::vector<std::string>> names = ReadSerialPortNames();
  if (names) Form().port_combo.SetPorts(DescribeSerialPorts(*names));
}

void TogglePortCommand(ControlEventKind) {
  MainWindow& form = Form();
  SerialPort& link = SerialLink();
  if (form.port_button.get_active()) {
    const std::string shown = form.port_combo.Text();
    const std::string path = PortDevicePath(shown);
    const PortResult opened = link.Open(path);
    ShowStatus(opened.ok ? MessageText(Message::kPortOpened)
                         : PortOpenFailedStatus(ExplainPortOpenFailure(path, opened), shown));
    ShowLinkState(opened.ok);
  } else if (link.IsOpen()) {
    StopTransfers();
    link.Close();
    ShowStatus(MessageText(Message::kPortClosed));
    ShowLinkState(false);
  }
}

void CloseLinkAtShutdown() {
  StopTransfers();
  SerialPort& link = SerialLink();
  if (!link.IsOpen()) return;
  link.Close();
  ShowStatus(MessageText(Message::kPortClosed));
  ShowLinkState(false);
}

void TransferSettingsCommand() { Send(SettingsJob(SettingsFieldsOf(ShownFormValues()))); }

void TransferScrollTextCommand() {
  MainWindow& form = Form();
  // The preview shows the stations swapped for an inverted direction; the
  // command takes them from their fields as they stand.
  std::optional<LinkJob> job =
      ScrollTextJob(form.start_station_field.get_text().raw(), PreparedScrollText(),
                    form.end_station_field.get_text().raw());
  if (!job) {
    ShowMessageBox(MessageText(Message::kErrorTitle), MessageText(Message::kFirstCharacterRefused));
    return;
  }
  Send(std::move(*job));
}

void SendPicture(std::span<const std::string> row_commands) { Send(PictureJob(row_commands)); }

void ResetDisplayCommand(ControlEventKind) { Send(ResetJob()); }

}  // namespace zielwerk
