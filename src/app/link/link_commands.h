// The serial link to the display: the port list, the port button, the
// transfers and the reset.
#pragma once

#include "app/ui/control_events.h"

namespace zielwerk {

// Lists the serial devices into PortCombo; warns when there is none.
void FindSerialPorts();
void TogglePortCommand(ControlEventKind kind);
// Closes an open port at the end of the program.
void CloseLinkAtShutdown();
void TransferSettingsCommand();
void TransferScrollTextCommand();
void TransferPictureCommand();
void ResetDisplayCommand(ControlEventKind kind);

}  // namespace zielwerk
