// The serial link to the display as the window shows it: the port list, the
// port button, the transfers and the reset. Each procedure reads the controls
// it needs, calls the link in the core, and shows the outcome in the status
// bar (or, for a missing port and a refused route text, in a message box).
#pragma once

#include "app/ui/control_events.h"

namespace zielwerk {

// Appends the serial port names of the machine (ListSerialPortNames: "tty..."
// from "ls -1 /dev" on Linux, "COM..." on Windows) to PortCombo. When there is
// none, or no listing could be made, shows the modal warning "W A R N U N G"
// and returns when the user closes it.
void FindSerialPorts();

// Follows PortButton: pressed opens PortDevicePath of the text PortCombo shows
// (ttyS0 opens /dev/ttyS0 on Linux, COM3 the port COM3 on Windows) and puts
// the controls into the open state, or reports the failure and releases the
// button again; released closes an open link and restores the controls.
// Releasing while the link is closed does nothing.
void TogglePortCommand(ControlEventKind kind);

// Closes an open link at the end of the program, with the status text and the
// controls of a closed link; does nothing when the link is closed.
void CloseLinkAtShutdown();

// Sends the numeric settings as they stand in the form and shows the
// exchange's result in the status bar.
void TransferSettingsCommand();

// Sends start station, prepared scroll text and end station as one route
// command and shows the result; a route whose first character the display
// would not take is refused with the "F E H L E R" box and nothing is sent.
void TransferScrollTextCommand();
void TransferPictureCommand();

// Pulses DTR on an open link and shows "Display geresettet", or shows that
// the link is closed.
void ResetDisplayCommand(ControlEventKind kind);

}  // namespace zielwerk
