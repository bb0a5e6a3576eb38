#include "app/link/link_commands.h"

namespace zielwerk {

void FindSerialPorts() {}
void TogglePortCommand(ControlEventKind) {}
void CloseLinkAtShutdown() {}
void TransferSettingsCommand() {}
void TransferScrollTextCommand() {}
void TransferPictureCommand() {}
void ResetDisplayCommand(ControlEventKind) {}

}  // namespace zielwerk
