// SPDX-License-Identifier: GPL-3.0-or-later
// The serial link to the display as the window shows it: the port list, the
// port button, the transfers and the reset. Each procedure reads the controls
// it needs, calls the link in the core, and shows the outcome in the status
// bar (or, for a missing port and a refused route text, in a message box).
// Transfers run on the main loop, one after the other: a procedure queues
// its transfer and returns at once, and the status bar follows its steps.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "app/ui/control_events.h"
#include "core/link/port_listing.h"

namespace zielwerk {

// Fills PortCombo with the serial ports of the machine (ListSerialPortNames:
// "tty..." from "ls -1 /dev" on Linux, "COM..." on Windows) and what the
// system says each device is, and returns them. When there is none, or no
// listing could be made, shows the modal warning "W A R N U N G" and returns
// when the user closes it.
std::vector<PortEntry> FindSerialPorts();

// Lists the same ports again, straight from the system (ReadSerialPortNames)
// and without the warning, for the list about to open: the field keeps its
// text, and the entry it names is selected. A listing that cannot be made
// keeps the list as it was.
void RefreshSerialPorts();

// Follows PortButton: pressed opens PortDevicePath of the text PortCombo shows
// (ttyS0 opens /dev/ttyS0 on Linux, COM3 the port COM3 on Windows) and puts
// the controls into the open state, or reports the failure with its reason
// and releases the button again; released stops any transfer, closes an open
// link and restores the controls. Releasing while the link is closed does
// nothing.
void TogglePortCommand(ControlEventKind kind);

// Stops any transfer and closes an open link at the end of the program, with
// the status text and the controls of a closed link; does nothing more when
// the link is closed.
void CloseLinkAtShutdown();

// Sends the numeric settings as they stand in the form; the status bar shows
// the exchange's result.
void TransferSettingsCommand();

// Sends start station, prepared scroll text and end station as one route
// command; a route whose first character the display would not take is
// refused with the "F E H L E R" box and nothing is sent.
void TransferScrollTextCommand();

// Sends the custom picture the settings file names, as it is now, in seven
// row-pair commands (SendPicture); a file that names none gives "kein Bild
// geladen", a picture that cannot be read the reason it was not sent.
void TransferPictureCommand();

// Sends the picture's row commands, one after the other, showing which row
// goes and each reply.
void SendPicture(std::span<const std::string> row_commands);

// Pulses DTR on an open link and shows "Display geresettet", or shows that
// the link is closed.
void ResetDisplayCommand(ControlEventKind kind);

}  // namespace zielwerk
