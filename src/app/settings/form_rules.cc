#include "app/settings/form_rules.h"

namespace zielwerk {

void ApplyDccAddressRule(ControlEventKind) {}
void ApplyStartTimeRule(ControlEventKind) {}
void ApplyEndTimeRule(ControlEventKind) {}
void ApplyCarNumberRule(ControlEventKind) {}
void CopyCarNumberToPreview(ControlEventKind) {}

}  // namespace zielwerk
