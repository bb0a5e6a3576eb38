// SPDX-License-Identifier: GPL-3.0-or-later
#include "sender/sender.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/file/file_access.h"
#include "core/ini/ini_store.h"
#include "core/link/display_commands.h"
#include "core/link/port_listing.h"
#include "core/link/port_open_failure.h"
#include "core/link/serial_port.h"
#include "core/link/transfer_queue.h"
#include "core/messages/messages.h"
#include "core/picture/picture_bits.h"
#include "core/picture/picture_location.h"
#include "core/picture/picture_slots.h"
#include "core/preview/scroll_preview.h"
#include "core/settings/form_values.h"
#include "core/settings/settings_keys.h"
#include "core/settings/settings_path.h"

namespace zielwerk {
namespace {

constexpr std::string_view kProgram = "zielwerk-senden: ";

// The ports as the window's list has them; empty when none can be listed.
std::vector<PortEntry> SerialPorts() {
  const std::optional<std::vector<std::string>> names = ReadSerialPortNames();
  return names ? DescribeSerialPorts(*names) : std::vector<PortEntry>();
}

int ListPorts(std::ostream& out, std::ostream& err) {
  const std::vector<PortEntry> ports = SerialPorts();
  if (ports.empty()) {
    err << kProgram << MessageText(Message::kNoPortFound) << "\n";
    return kSendFailed;
  }
  size_t width = 0;
  for (const PortEntry& port : ports) width = std::max(width, port.name.size());
  for (const PortEntry& port : ports) {
    out << port.name;
    if (!port.description.empty()) out << std::string(width - port.name.size() + 2, ' ') << port.description;
    out << "\n";
  }
  return kSendAnswered;
}

// What Zielstell.ini in the current folder remembers: the settings file and
// the port, as the window would choose them.
struct Remembered {
  std::string settings_file;
  std::string port;
};

Remembered ReadAppConfig(bool port_needed) {
  OpenIni(std::string(kAppConfigPath));
  Remembered remembered;
  remembered.settings_file = ReadIniFileName(kKeySettingsFile, kDefaultSettingsPath);
  // The list is read only when the port is not given: on Linux it walks /dev.
  if (port_needed) remembered.port = RememberedPort(SerialPorts()).text;
  CloseIni();
  return remembered;
}

// The settings file read as the window reads it.
struct SettingsFile {
  FormValues values;
  std::string picture_path;
};

std::optional<SettingsFile> ReadSettingsFile(const std::string& path, std::ostream& err) {
  if (!IsRegularFile(path)) {
    err << kProgram << ComposeMessage(Message::kFileMissing, {Quoted(path)}) << "\n";
    return std::nullopt;
  }
  const bool read = OpenIni(path);
  const bool text = IniFileIsText();
  SettingsFile file{ReadFormValues(), ReadIniFileName(kKeyPicture, kNoPicturePath)};
  CloseIni();
  if (!read) {
    err << kProgram << ComposeMessage(Message::kFileUnreadable, {Quoted(path)}) << "\n";
    return std::nullopt;
  }
  if (!text) {
    err << kProgram << ComposeMessage(Message::kSendSettingsNotText, {Quoted(path)}) << "\n";
    return std::nullopt;
  }
  return file;
}

// The jobs for `parts`, each made as the window's button makes it. A part
// the window would refuse is reported to `err` (or, where the window says
// so in its status bar, to `out`) and left out; `refused` tells whether any was.
std::vector<LinkJob> PrepareJobs(const std::vector<SendPart>& parts, const SettingsFile& file,
                                 const std::string& settings_path, std::optional<int> car_number,
                                 std::ostream& out, std::ostream& err, bool& refused) {
  std::vector<LinkJob> jobs;
  const auto text = [&file](std::string_view key) { return FormValueOf(file.values, key).text; };
  for (const SendPart part : parts) {
    switch (part) {
      case SendPart::kReset:
        jobs.push_back(ResetJob());
        break;
      case SendPart::kSettings: {
        SettingsCommandFields fields = SettingsFieldsOf(file.values);
        if (car_number) fields.car_number = *car_number;
        jobs.push_back(SettingsJob(fields));
        break;
      }
      case SendPart::kRoute: {
        const bool invert = FormValueOf(file.values, kKeyInvertDirection).number != 0;
        std::optional<LinkJob> job = ScrollTextJob(
            text(kKeyStartStation), PrepareScrollText(text(kKeyScrollText), invert), text(kKeyEndStation));
        if (job) {
          jobs.push_back(std::move(*job));
        } else {
          err << kProgram << MessageText(Message::kErrorTitle) << ": "
              << MessageText(Message::kFirstCharacterRefused) << "\n";
          refused = true;
        }
        break;
      }
      case SendPart::kPicture: {
        if (!NamesCustomPicture(file.picture_path)) {
          out << MessageText(Message::kNoPictureLoaded) << "\n";
          refused = true;
          break;
        }
        const std::string located = LocatePictureFile(file.picture_path, settings_path);
        const TrainPicture* picture =
            LoadPictureSlot(kCustomPictureSlot, located) ? PictureInSlot(kCustomPictureSlot) : nullptr;
        if (!picture) {
          out << PictureNotSentStatus(located, PictureSlotProblem(kCustomPictureSlot)) << "\n";
          refused = true;
          break;
        }
        jobs.push_back(PictureJob(PictureRowCommands(*picture)));
        break;
      }
    }
  }
  return jobs;
}

}  // namespace

int SenderMain(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  const ParsedSendArguments parsed = ParseSendArguments(arguments);
  if (!parsed.request) {
    err << kProgram << parsed.error << "\n"
        << ComposeMessage(Message::kSeeHelp, {"zielwerk-senden"}) << "\n";
    return kSendWrongCall;
  }
  if (parsed.request->help) {
    out << kSendUsage;
    return kSendAnswered;
  }
  return RunSender(*parsed.request, out, err);
}

int RunSender(const SendRequest& request, std::ostream& out, std::ostream& err) {
  if (request.list) return ListPorts(out, err);

  const Remembered remembered = ReadAppConfig(!request.port);
  const std::string settings_path = request.settings_file.value_or(remembered.settings_file);
  const std::optional<SettingsFile> file = ReadSettingsFile(settings_path, err);
  if (!file) return kSendFailed;

  std::vector<SendPart> parts;
  if (request.parts) {
    parts = *request.parts;
  } else {
    parts = {SendPart::kSettings, SendPart::kRoute};
    // The picture goes along when the file selects it and names one.
    if (FormValueOf(file->values, kKeyTrainType).number == kCustomPictureSlot &&
        NamesCustomPicture(file->picture_path)) {
      parts.push_back(SendPart::kPicture);
    }
  }
  bool refused = false;
  std::vector<LinkJob> jobs =
      PrepareJobs(parts, *file, settings_path, request.car_number, out, err, refused);
  if (jobs.empty()) return kSendFailed;

  // A port given as its device path is named as the window's field names it.
  std::string shown = request.port.value_or(remembered.port);
  if (request.port && shown.starts_with(kPortDevicePrefix)) shown.erase(0, kPortDevicePrefix.size());
  const std::string device = PortDevicePath(shown);
  SerialPort port;
  const PortResult opened = port.Open(device);
  if (!opened.ok) {
    err << kProgram << PortOpenFailedStatus(ExplainPortOpenFailure(device, opened), shown) << "\n";
    return kSendFailed;
  }
  out << MessageText(Message::kPortOpened) << std::endl;
  const size_t unanswered = RunLinkJobs(port, std::move(jobs), [&out](const std::string& status) {
    // Flushed line by line: someone may be watching.
    out << status << std::endl;
  });
  port.Close();
  out << MessageText(Message::kPortClosed) << std::endl;
  return refused || unanswered > 0 ? kSendFailed : kSendAnswered;
}

}  // namespace zielwerk
