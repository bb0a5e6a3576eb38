// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_table.h"

#include <array>

#include "app/link/link_commands.h"
#include "app/preview/scroll_preview.h"
#include "app/preview/train_pictures.h"
#include "app/settings/form_rules.h"
#include "app/settings/settings_commands.h"
#include "app/shell_commands.h"
#include "app/ui/control_events.h"
#include "app/ui/main_window.h"

namespace zielwerk {
namespace {

// Toolbar groups: 1 file, 2 print, 3 scroll text, 4 train picture, 5 help.
constexpr std::array<CommandEntry, kCommandCount> kCommands = {{
    {Command::kLoadSettings, "Datei", "Laden", false, "Laden", 1, Icon::kOpen,
     LoadSettingsCommand},
    {Command::kSaveSettings, nullptr, "Speichern", false, "Speichern", 1, Icon::kSave,
     SaveSettingsCommand},
    {Command::kSaveSettingsAs, nullptr, "Speichern als...", false, "Speichern als...", 1,
     Icon::kSaveAs, SaveSettingsAsCommand},
    {Command::kTransferSettings, nullptr, "Einstellungen übertragen", true,
     "Einstellungen Übertragen", 1, Icon::kSettingsUpload, TransferSettingsCommand},
    {Command::kPrintSettings, nullptr, "Drucken...", true, "Drucken...", 2, Icon::kPrint,
     PrintSettingsCommand},
    {Command::kExit, nullptr, "Beenden", false, nullptr, 0, Icon::kLogOut, ExitCommand},
    {Command::kTransferScrollText, "Lauftext", "Übertragen", false, "Lauftext Übertragen", 3,
     Icon::kScrollUpload, TransferScrollTextCommand},
    {Command::kLoadTrainPicture, "Bild Zugtyp", "Laden...", false, "Bild Zugtyp Laden...", 4,
     Icon::kPictureOpen, LoadTrainPictureCommand},
    {Command::kTransferPicture, nullptr, "Übertragen", false, "Bild Zugtyp Übertragen", 4,
     Icon::kPictureUpload, TransferPictureCommand},
    {Command::kHelp, "Hilfe", "Hilfe", false, "Hilfe", 5, Icon::kHelp, HelpCommand},
    {Command::kAbout, nullptr, "Über...", false, "Über...", 5, Icon::kInfo, AboutCommand},
}};

// The table is indexed by its commands.
constexpr bool InCommandOrder() {
  for (size_t i = 0; i < kCommands.size(); ++i) {
    if (static_cast<size_t>(kCommands[i].command) != i) return false;
  }
  return true;
}
static_assert(InCommandOrder());

template <typename... Args, typename Signal>
void Connect(Signal signal, ControlEventKind kind, void (*handler)(ControlEventKind)) {
  signal.connect(ControlEventSlot<Args...>(kind, handler));
}

void ConnectSpin(NumericSpinField& spin, void (*handler)(ControlEventKind)) {
  spin.signal_control_event().connect(ControlEventRelay(handler));
}

}  // namespace

std::span<const CommandEntry> CommandTable() { return kCommands; }

void RunCommand(Command command) { kCommands[static_cast<size_t>(command)].procedure(); }

void ConnectControlHandlers(MainWindow& w) {
  const auto change = ControlEventKind::kChange;
  const auto click = ControlEventKind::kClick;
  ConnectSpin(w.car_number_spin, CopyCarNumberToPreview);
  Connect(w.start_mode_combo.signal_changed(), change, ApplyStartTimeRule);
  Connect(w.end_mode_combo.signal_changed(), change, ApplyEndTimeRule);
  Connect(w.hide_car_number_check.signal_toggled(), click, ApplyCarNumberRule);
  Connect(w.dcc_analog_combo.signal_changed(), change, ApplyDccAddressRule);
  Connect(w.train_type_combo.signal_changed(), change, ShowTrainPicture);
  Connect(w.port_button.signal_toggled(), click, TogglePortCommand);
  Connect(w.reset_button.signal_clicked(), click, ResetDisplayCommand);
  // The port list follows the hardware: it is made anew whenever it opens.
  w.port_combo.signal_list_opening().connect([] { DispatchUserEvent(RefreshSerialPorts); });
  Connect(w.start_station_field.signal_changed(), change, RebuildScrollPreview);
  Connect(w.scroll_text_field.signal_changed(), change, RebuildScrollPreview);
  Connect(w.end_station_field.signal_changed(), change, RebuildScrollPreview);
  Connect(w.invert_direction_check.signal_toggled(), click, RebuildScrollPreview);
  FollowTickSettings(w);
}

}  // namespace zielwerk
