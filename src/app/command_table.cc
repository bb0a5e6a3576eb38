#include "app/command_table.h"

#include "app/application.h"
#include "app/link/link_commands.h"
#include "app/preview/scroll_preview.h"
#include "app/preview/train_pictures.h"
#include "app/settings/form_rules.h"
#include "app/settings/settings_commands.h"

namespace zielwerk {
namespace {

using Command = void (*)();

// Indexed by menu id; toolbar ids 11-15 map to 0-4 and 16-20 to 6-10.
constexpr Command kMenuCommands[kMenuCommandCount] = {
    LoadSettingsCommand,     SaveSettingsCommand,      SaveSettingsAsCommand,
    TransferSettingsCommand, PrintSettingsCommand,     ExitCommand,
    TransferScrollTextCommand, LoadTrainPictureCommand, TransferPictureCommand,
    HelpCommand,             AboutCommand};

template <typename... Args, typename Signal>
void Connect(Signal signal, ControlEventKind kind, void (*handler)(ControlEventKind)) {
  signal.connect(ControlEventSlot<Args...>(kind, handler));
}

void ConnectSpin(NumericSpinField& spin, void (*handler)(ControlEventKind)) {
  spin.signal_control_event().connect(ControlEventRelay(handler));
}

}  // namespace

void RunCommand(CommandId id) {
  if (id >= 11 && id <= 15) id -= 11;
  else if (id >= 16 && id <= 20) id -= 10;
  if (id < 0 || id >= kMenuCommandCount) return;
  kMenuCommands[id]();
}

void ConnectControlHandlers(MainWindow& w) {
  const auto change = ControlEventKind::kChange;
  const auto click = ControlEventKind::kClick;
  ConnectSpin(w.car_number_spin, CopyCarNumberToPreview);
  ConnectSpin(w.start_time_spin, [](ControlEventKind) {});
  ConnectSpin(w.end_time_spin, [](ControlEventKind) {});
  Connect(w.start_mode_combo.signal_changed(), change, ApplyStartTimeRule);
  Connect(w.end_mode_combo.signal_changed(), change, ApplyEndTimeRule);
  Connect(w.hide_car_number_check.signal_toggled(), click, ApplyCarNumberRule);
  Connect(w.dcc_analog_combo.signal_changed(), change, ApplyDccAddressRule);
  Connect(w.train_type_combo.signal_changed(), change, ShowTrainPicture);
  Connect(w.port_button.signal_toggled(), click, TogglePortCommand);
  Connect(w.reset_button.signal_clicked(), click, ResetDisplayCommand);
  Connect(w.start_station_field.signal_changed(), change, RebuildScrollPreview);
  Connect(w.scroll_text_field.signal_changed(), change, RebuildScrollPreview);
  Connect(w.end_station_field.signal_changed(), change, RebuildScrollPreview);
  Connect(w.invert_direction_check.signal_toggled(), click, RebuildScrollPreview);
}

}  // namespace zielwerk
